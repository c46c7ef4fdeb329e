// Leaping over whole periods once the keys are spent gives exactly the frames
// that playing every frame gives.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "host/beam_raster.h"
#include "host/scripted_run.h"

namespace {

// A recorded frame as the raster left it.
struct shot_t {
    std::vector<double> pixel;
    frame_budget_t budget;
    std::uint8_t game_over;
};

// Records `frames` (rising) in one run, as snake-render records a range.
std::vector<shot_t> play(scripted_run_t run, std::int64_t search_frames,
                         const std::vector<std::int64_t> &frames, run_cycle_t *cycle = nullptr)
{
    run.cycle.search_frames = search_frames;
    run_start(&run);
    std::vector<shot_t> shots;
    for (const std::int64_t n : frames) {
        run_to_frame(&run, n);
        shots.push_back({std::vector<double>(std::begin(pixel), std::end(pixel)), beam_budget,
                         snake.game_over});
    }
    if (cycle != nullptr)
        *cycle = run.cycle;
    return shots;
}

// Round and round a square of 32 at the start of level 1, the body never in the way.
constexpr const char *CIRCLING = "2 left\n34 up\n66 right\n98 down\n"
                                 "130 left\n162 up\n194 right\n226 down\n";

struct case_t {
    const char *name;
    std::uint8_t level;
    const char *keys; // nullptr: pc-snake's own script
    std::uint16_t seed = parith::INITIAL_SEED;
    bool device_pace = false;
    std::int64_t search_frames = CYCLE_SEARCH_FRAMES;
};

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
        // Brent's method needs twice the period of 512 past the last key: not found.
        {"search given up", 1, nullptr, parith::INITIAL_SEED, false, 600},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scripted_run_t run;
        run.setup.level = c.level;
        run.setup.seed = c.seed;
        run.setup.device_pace = c.device_pace;
        std::string error;
        if (c.keys == nullptr) {
            run.keys = builtin_key_script();
        } else {
            ASSERT_TRUE(parse_key_script(c.keys, c.name, &run.keys, &error)) << error;
        }
        const std::int64_t keys_spent = last_key_frame(run.keys);
        // 5537 is three periods after 4001: nothing but that frame is left to play.
        std::vector<std::int64_t> frames = {keys_spent, 1500, 1501, 4000, 4001, 5537, 20000};

        run_cycle_t cycle;
        const bool finds = c.search_frames >= 1024;
        std::vector<std::int64_t> leapt_frames = frames;
        if (finds) // plain play would take hours
            leapt_frames.push_back(FAR);
        const std::vector<shot_t> leapt = play(run, c.search_frames, leapt_frames, &cycle);
        if (finds) { // the far frame is the frame whole periods before it
            // Once the tail has drained, only "Game over!" moves: up one
            // line every second frame, round the screen in 512 frames.
            ASSERT_EQ(cycle.period, 512);
            frames.push_back(20000 + (FAR - 20000) % cycle.period);
        } else {
            EXPECT_EQ(cycle.period, 0);
        }
        const std::vector<shot_t> plain = play(run, 0, frames);
        for (std::size_t i = 0; i < plain.size(); ++i) {
            SCOPED_TRACE(frames[i]);
            EXPECT_TRUE(leapt[i].pixel == plain[i].pixel);
            EXPECT_EQ(leapt[i].budget.total, plain[i].budget.total);
            EXPECT_EQ(leapt[i].budget.by_pass, plain[i].budget.by_pass);
            EXPECT_EQ(leapt[i].budget.frame, leapt_frames[i]);
            EXPECT_EQ(leapt[i].game_over, plain[i].game_over);
        }
        if (c.keys == CIRCLING && !c.device_pace) {
            EXPECT_EQ(plain[0].game_over, 0) << "the snake outlives the script";
        }
        if (!finds)
            continue;

        // Found early enough for every frame from 4000 on to be leapt to; and
        // plain play confirms it: the whole state comes back after exactly
        // one period, and not before.
        EXPECT_GE(cycle.since, keys_spent);
        EXPECT_LT(cycle.since + 2 * cycle.period, 4000);
        run.cycle.search_frames = 0;
        run_start(&run);
        run_to_frame(&run, cycle.since);
        const run_state_t start = current_run_state();
        std::int64_t back_after = 0;
        while (back_after == 0 && run.drawn < cycle.since + cycle.period) {
            run_to_frame(&run, run.drawn + 1);
            if (current_run_state() == start)
                back_after = run.drawn - cycle.since;
        }
        EXPECT_EQ(back_after, cycle.period);
    }
}

} // namespace
