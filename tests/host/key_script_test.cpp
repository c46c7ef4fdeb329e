// Key scripts and frame ranges as a user writes them.
#include <gtest/gtest.h>

#include <fstream>

#include "host/keys/game_settings.h"
#include "host/keys/key_script.h"
#include "host/keys/key_script_file.h"
#include "host/keys/stimuli.h"
#include "host/render/frame_range.h"
#include "tests/support/run_program.h"

namespace {

TEST(KeyScript, BuiltinScriptIsTheKeyTableAndSurvivesItsTextForm)
{
    const key_script_t builtin = builtin_key_script();
    // The table hands index i over after frame i + 1: index 1 (left) after frame 2,
    // index 321 (right) after frame 322; 11 presses in all.
    ASSERT_EQ(builtin.presses.size(), 11u);
    EXPECT_EQ(key_after(builtin, 2), 0x11);
    EXPECT_EQ(key_after(builtin, 42), 0x21);
    EXPECT_EQ(key_after(builtin, 322), 0x10);
    EXPECT_EQ(key_after(builtin, 1), 0);
    EXPECT_EQ(key_after(builtin, 323), 0);
    EXPECT_EQ(last_key_frame(builtin), 322);
    // It names pc-snake's game, seed and pace, at no level of its own.
    game_settings_t pc_snakes = settings_of({1, 0x2200, false, 1, 20});
    pc_snakes.level.reset();
    EXPECT_EQ(builtin.settings, pc_snakes);

    key_script_t back;
    std::string error;
    ASSERT_TRUE(parse_key_script(format_key_script(builtin), "dump", &back, &error)) << error;
    ASSERT_EQ(back.presses.size(), builtin.presses.size());
    for (std::size_t i = 0; i < back.presses.size(); ++i) {
        EXPECT_EQ(back.presses[i].frame, builtin.presses[i].frame);
        EXPECT_EQ(back.presses[i].key, builtin.presses[i].key);
    }
    EXPECT_EQ(back.settings, builtin.settings);

    // Settings and codes without a name survive as well.
    key_script_t mine;
    mine.settings.level = 3;
    mine.settings.seed = 77;
    mine.settings.device = true;
    mine.presses = {{5, 0x42}, {6, 0x0A}, {2147483647, 0x28}};
    ASSERT_TRUE(parse_key_script(format_key_script(mine), "mine", &back, &error)) << error;
    EXPECT_EQ(back.settings, mine.settings);
    EXPECT_EQ(format_key_script(back), format_key_script(mine));
}

TEST(KeyScript, ReadsNamesCodesCommentsAndSettings)
{
    const char *text = "# a game\n"
                       "\n"
                       "level 2\r\n"
                       "seed 0x10   # hexadecimal too\n"
                       "speed 0\n"
                       "growth 0xA\n" // one hexadecimal digit
                       "  3 left\n"
                       "4\tup2\n"
                       "5 0x5\n"
                       "7 0x38\n"
                       "9 17\n";
    key_script_t s;
    std::string error;
    ASSERT_TRUE(parse_key_script(text, "k", &s, &error)) << error;
    EXPECT_EQ(s.settings.level, 2);
    EXPECT_EQ(s.settings.seed, 16);
    EXPECT_EQ(s.settings.speed, 0);
    EXPECT_EQ(s.settings.growth, 10);
    ASSERT_EQ(s.presses.size(), 5u);
    EXPECT_EQ(key_after(s, 3), 0x11);
    EXPECT_EQ(key_after(s, 4), 0x20);
    EXPECT_EQ(key_after(s, 5), 5);
    EXPECT_EQ(key_after(s, 7), 0x38);
    EXPECT_EQ(key_after(s, 9), 17);
}

// Read from a text or a file alike: faults name the file and line; a line
// may hold 4096 bytes, and the last needs no newline.
TEST(KeyScript, LinesWithinTheirBoundsAndFaultsNamingTheFileAndLine)
{
    const std::string most(KEY_SCRIPT_LINE_MAX - 7, ' '); // after "2 right"
    const std::pair<std::string, std::string> cases[] = {
        {"1 left\n2 right" + most + "\n", ""},
        {"1 left\n2 right", ""},
        {"1 left\n3 sideways", "k:2: unknown key 'sideways'"},
        {"5 left\n5 right\n", "k:2: frame 5 does not come after frame 5"},
        {"5 left\n4 right\n", "k:2: frame 4 does not come after frame 5"},
        {"3 sideways\n", "k:1: unknown key 'sideways'"},
        {"3 0\n", "k:1: unknown key '0'"},
        {"3 256\n", "k:1: unknown key '256'"},
        {"3\n", "k:1: frame 3 has no key"},
        {"0 left\n", "k:1: frame 0 is out of range"},
        {"2147483648 left\n", "k:1: frame 2147483648 is out of range"},
        {"-1 left\n", "k:1: expected 'FRAME KEY' or a setting, not '-1'"},
        {"\n\n3 left right\n", "k:3: unexpected 'right' after the key"},
        {"lvl 2\n", "k:1: expected 'FRAME KEY' or a setting, not 'lvl'"},
        {"level 5\n", "k:1: level wants one number from 1 to 4"},
        {"seed 0\n", "k:1: seed wants one number from 1 to 32767"},
        {"speed 1 2\n", "k:1: speed wants one number from 0 to 255"},
        {"device 1\n", "k:1: 'device' takes no value"},
        {std::string("3 le\0ft\n", 8), "k:1: not a text file"},
        // What a terminal would take for commands is shown escaped, and long words cut.
        {"\x1b[2J\xff left\n", "k:1: expected 'FRAME KEY' or a setting, not '\\x1b[2J\\xff'\n"},
        {"1 " + std::string(50, 'q') + "\n", "k:1: unknown key '" + std::string(40, 'q') + "...'"},
        {"1 left\n2 right" + most + " \n", "k:2: a line longer than 4096 bytes"},
        {std::string(KEY_SCRIPT_SIZE_MAX + 1, '\n'), "k:1: longer than 64 MiB"},
    };
    scratch_dir_t dir;
    for (const auto &[text, message] : cases) {
        // A file past the size bound is refused where the reading got to.
        const bool file_too = text.size() <= KEY_SCRIPT_SIZE_MAX;
        std::ofstream(dir / "k", std::ios::binary) << (file_too ? text : "");
        for (const bool from_file : {false, file_too}) {
            SCOPED_TRACE(text.substr(0, 40) + (from_file ? " from a file" : ""));
            key_script_t s;
            std::string error;
            const bool read = from_file ? load_key_script(dir / "k", &s, &error)
                                        : parse_key_script(text, "k", &s, &error);
            EXPECT_EQ(read, message.empty()) << error;
            EXPECT_TRUE(read ? key_after(s, 2) == 0x10 // the last line is read
                             : (error + "\n").rfind(from_file ? dir / message : message, 0) == 0)
                << "got: " << error;
        }
    }
}

// Field by field the command line wins over the script and the script over
// the defaults; a layer that names a speed or a growth (or device) sets the pace.
TEST(GameSettings, CommandLineOverScriptOverDefaults)
{
    const game_setup_t render{};                                   // simulator's pace
    const game_setup_t play{1, parith::INITIAL_SEED, true, 1, 20}; // device pace
    game_settings_t speed_only, growth_only, device, level3_seed9, sim;
    speed_only.speed = 3;
    growth_only.growth = 50;
    device.device = true;
    level3_seed9.level = 3;
    level3_seed9.seed = 9;
    sim.speed = SIM_SPEED;
    sim.growth = SIM_GROWTH;
    struct case_t {
        const char *name;
        game_settings_t command_line, script;
        game_setup_t defaults, want;
    };
    const case_t cases[] = {
        {"nothing named", {}, {}, play, play},
        {"script's speed alone", {}, speed_only, play, {1, parith::INITIAL_SEED, false, 3, 20}},
        {"script's growth alone", {}, growth_only, play, {1, parith::INITIAL_SEED, false, 1, 50}},
        {"script's device", {}, device, render, {1, parith::INITIAL_SEED, true, 1, 20}},
        {"--sim over a device script", sim, device, play, {1, parith::INITIAL_SEED, false, 1, 20}},
        {"--device over a paced script",
         device,
         speed_only,
         render,
         {1, parith::INITIAL_SEED, true, 3, 20}},
        {"script's level and seed", {}, level3_seed9, render, {3, 9, false, 1, 20}},
        {"command line's seed wins", level3_seed9, growth_only, render, {3, 9, false, 1, 50}},
    };
    for (const case_t &c : cases) {
        const game_setup_t got = settle_setup(c.command_line, c.script, c.defaults);
        EXPECT_EQ(got.level, c.want.level) << c.name;
        EXPECT_EQ(got.seed, c.want.seed) << c.name;
        EXPECT_EQ(got.device_pace, c.want.device_pace) << c.name;
        if (!c.want.device_pace) { // the level table's pace makes speed and growth moot
            EXPECT_EQ(got.speed, c.want.speed) << c.name;
            EXPECT_EQ(got.growth, c.want.growth) << c.name;
        }
        EXPECT_EQ(settle_setup(settings_of(got), {}, c.defaults).device_pace, got.device_pace)
            << c.name << ": a recording names its pace";
    }
}

TEST(FrameRange, FormsAndFaults)
{
    struct case_t {
        const char *text;
        std::int64_t first, last, step, count;
    };
    const case_t good[] = {
        {"7", 7, 7, 1, 1},
        {"1-1000", 1, 1000, 1, 1000},
        {"1-1000/10", 1, 991, 10, 100}, // the last frame the step reaches
        {"5-5/3", 5, 5, 3, 1},
        {"2147483646-2147483647", 2147483646, 2147483647, 1, 2},
    };
    for (const case_t &c : good) {
        frame_range_t r;
        std::string error;
        ASSERT_TRUE(parse_frame_range(c.text, &r, &error)) << c.text << ": " << error;
        EXPECT_EQ(r.first, c.first) << c.text;
        EXPECT_EQ(r.last, c.last) << c.text;
        EXPECT_EQ(r.step, c.step) << c.text;
        EXPECT_EQ(frame_count(r), c.count) << c.text;
    }
    for (const char *bad :
         {"", "0", "x", "5-", "-5", "9-3", "1-2/0", "1-2/", "1-2147483648", "1 - 3", "3a"}) {
        frame_range_t r;
        std::string error;
        EXPECT_FALSE(parse_frame_range(bad, &r, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

} // namespace
