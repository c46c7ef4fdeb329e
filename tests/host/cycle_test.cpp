// Leaping over whole periods once the keys are spent gives exactly the frames
// that playing every frame gives.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "host/keys/stimuli.h"
#include "host/sim/scripted_run.h"
#include "snake/snake_state.h"
#include "tests/support/heard_frame.h"
#include "tests/support/image_compare.h"
#include "tests/support/run_program.h"

namespace {

// A frame asked for, as the raster's listeners heard it.
struct shot_t {
    std::vector<double> pixel;
    frame_budget_t budget;
};

// Records `frames` (rising) in one run, as snake-render records a range; the
// snake must be alive after frame `alive_after`, if given.
std::vector<shot_t> play(scripted_run_t *run, std::int64_t search_frames,
                         const std::vector<std::int64_t> &frames, std::int64_t alive_after = 0)
{
    run->cycle_search_frames = search_frames;
    const auto heard = std::make_unique<heard_frame_t>();
    run_start(run);
    if (alive_after > 0) {
        run_to_frame(run, alive_after);
        EXPECT_EQ(run->game.game_over, 0) << "the snake outlives the script";
    }
    std::vector<shot_t> shots;
    for (const std::int64_t n : frames) {
        EXPECT_FALSE(beam_faulted(run_to_frame(run, n)));
        shots.push_back({heard->pixels(), heard->budget});
    }
    return shots;
}

struct case_t {
    const char *name;
    std::uint8_t level;
    const char *keys; // nullptr: pc-snake's own script
    std::uint16_t seed = parith::INITIAL_SEED;
    bool device_pace = false;
    std::int64_t search_frames = CYCLE_SEARCH_FRAMES;
};

// Round and round a square of 32 at the start of level 1, the body never in the way.
constexpr const char *CIRCLING = "2 left\n34 up\n66 right\n98 down\n"
                                 "130 left\n162 up\n194 right\n226 down\n";
constexpr std::int64_t FAR = 2147483647;

TEST(Cycle, LeapingGivesTheFramesOfPlainPlay)
{
    const case_t cases[] = {
        {"level 1", 1, nullptr},
        {"level 2", 2, nullptr},
        {"level 3", 3, nullptr},
        {"level 4", 4, nullptr},
        {"circling", 1, CIRCLING},
        {"circling, device pace, seed 999", 2, CIRCLING, 999, true},
        // Brent's method needs twice the period past the last key: not found.
        {"search given up", 1, nullptr, parith::INITIAL_SEED, false, 600},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scripted_run_t run;
        run.setup = {c.level, c.seed, c.device_pace};
        std::string error;
        run.keys = builtin_key_script();
        if (c.keys != nullptr) {
            ASSERT_TRUE(parse_key_script(c.keys, c.name, &run.keys, &error)) << error;
        }
        const std::int64_t spent = last_key_frame(run.keys);
        const std::int64_t alive_after = c.keys == CIRCLING ? spent : 0;
        // 5537 is three periods after 4001: nothing but that frame is left to play.
        std::vector<std::int64_t> frames = {spent, 1500, 1501, 4000, 4001, 5537, 20000};
        std::vector<std::int64_t> leapt_frames = frames;
        const bool finds = c.search_frames == CYCLE_SEARCH_FRAMES;
        if (finds) // plain play would take hours
            leapt_frames.push_back(FAR);
        const std::vector<shot_t> leapt = play(&run, c.search_frames, leapt_frames, alive_after);

        // Once the tail has drained only "Game over!" moves: up one line
        // every second frame, round the screen in 512 frames. The far frame
        // is the one whole periods before it.
        EXPECT_EQ(run.cycle.period, finds ? 512 : 0);
        if (finds) {
            EXPECT_LT(run.cycle.since + 2 * 512, 4000); // every frame from 4000 on was leapt to
            frames.push_back(20000 + (FAR - 20000) % 512);
        }
        const std::vector<shot_t> plain = play(&run, 0, frames, alive_after);
        for (std::size_t i = 0; i < plain.size(); ++i) {
            SCOPED_TRACE(frames[i]);
            EXPECT_TRUE(
                same_afterglow("leapt_" + std::string(c.name) + "_" + std::to_string(frames[i]),
                               leapt[i].pixel.data(), plain[i].pixel.data()));
            EXPECT_EQ(leapt[i].budget.total, plain[i].budget.total);
            EXPECT_EQ(leapt[i].budget.by_pass, plain[i].budget.by_pass);
            EXPECT_EQ(leapt[i].budget.frame, leapt_frames[i]);
        }
    }
}

// Variables kept between calls: those in the writable sections of an
// object's symbol table ("nm -f sysv": name|value|class|type|size|line|section).
std::map<std::string, std::size_t> kept_variables(const std::string &object)
{
    const run_t nm = run_program(NM_PROGRAM, "-f sysv -C '" + object + "'");
    EXPECT_EQ(nm.status, 0) << nm.err;
    std::map<std::string, std::size_t> kept;
    std::istringstream lines(nm.out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> field;
        std::istringstream parts(line);
        for (std::string f; std::getline(parts, f, '|');)
            field.push_back(f.substr(0, f.find_last_not_of(' ') + 1));
        if (field.size() < 7)
            continue;
        const std::string &section = field[6];
        if (section == ".bss" || section == ".data" || section == ".tbss" || section == ".tdata")
            kept[field[0]] = std::stoul(field[4], nullptr, 16);
    }
    return kept;
}

// The leap compares snake_statics_t; a variable the module keeps and that
// state leaves out would make two different moments look the same.
TEST(Cycle, TheComparedStateHoldsEveryVariableTheModuleKeeps)
{
    std::map<std::string, std::size_t> kept;
    std::ifstream objects(MODULE_OBJECT_LIST); // one object file a line
    for (std::string object; std::getline(objects, object);)
        kept.merge(kept_variables(object));
    ASSERT_GE(kept.size(), 4u) << "the symbol tables were not read";
    for (const auto &entry : kept) {
        const std::string &symbol = entry.first;
        const std::size_t bytes = entry.second;
        const auto listed =
            std::find_if(MODULE_STATICS.begin(), MODULE_STATICS.end(),
                         [&](const module_static_t &m) { return symbol == m.symbol; });
        ASSERT_NE(listed, MODULE_STATICS.end())
            << symbol << " (" << bytes << " bytes) is kept between calls: add it to "
            << "snake_statics_t and MODULE_STATICS (snake/snake_state.h)";
        if (listed->copied_bytes != 0) {
            EXPECT_EQ(listed->copied_bytes, bytes) << symbol << ", kept in " << listed->note;
        }
    }
    for (const module_static_t &m : MODULE_STATICS)
        EXPECT_EQ(kept.count(m.symbol), 1u) << m.symbol << " is listed but no longer kept";
}

} // namespace
