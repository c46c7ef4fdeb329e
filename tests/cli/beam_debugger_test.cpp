// snake-render's beam views, as a user runs them: the CSV of every beam tick
// against the budget and the frames' pictures, and the trace of one frame as
// SVG and PNG against the CSV.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/image/frame_image.h"
#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

run_t render(const std::string &tail) { return run_program(SNAKE_RENDER_BIN, tail); }

std::string text_of(const std::string &path)
{
    const std::vector<std::uint8_t> bytes = read_file(path);
    return {bytes.begin(), bytes.end()};
}

struct csv_tick_t {
    long tick;
    std::size_t pass; // index into BEAM_PASS_NAMES
    bool lit;
    int x, y;
};

std::size_t pass_index(const std::string &name)
{
    for (std::size_t k = 0; k < BEAM_PASS_COUNT; ++k)
        if (name == BEAM_PASS_NAMES[k])
            return k;
    ADD_FAILURE() << "no pass " << name;
    return 0;
}

// The beam CSV by frame; its form is checked on the way.
std::map<long, std::vector<csv_tick_t>> beam_rows(const std::string &csv)
{
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "frame,tick,pass,lit,x,y");
    std::map<long, std::vector<csv_tick_t>> frames;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line + ",");
        for (std::string cell; std::getline(fields, cell, ',');)
            cells.push_back(cell);
        if (cells.size() != 6 || (cells[3] != "0" && cells[3] != "1")) {
            ADD_FAILURE() << line;
            continue;
        }
        const bool lit = cells[3] == "1";
        EXPECT_EQ(cells[4].empty(), !lit) << line;
        EXPECT_EQ(cells[5].empty(), !lit) << line;
        frames[std::stol(cells[0])].push_back({std::stol(cells[1]), pass_index(cells[2]), lit,
                                               lit ? std::stoi(cells[4]) : 0,
                                               lit ? std::stoi(cells[5]) : 0});
    }
    return frames;
}

// The budget CSV by frame: total, then the passes.
std::map<long, std::vector<long>> budget_rows(const std::string &csv)
{
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    std::map<long, std::vector<long>> rows;
    while (std::getline(in, line)) {
        std::vector<long> row;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            row.push_back(std::stol(cell));
        rows[row[0]] = {row.begin() + 1, row.end()};
    }
    return rows;
}

// The lit points sent through the raster again, walls as wall strokes: the
// picture they leave.
rgb_image_t replayed(const std::vector<csv_tick_t> &ticks)
{
    static snake_t painter;
    const auto glow = std::make_unique<afterglow_t>();
    const beam_listening_t listening(afterglow_listener(glow.get()));
    raster_watch(&painter);
    raster_begin_frame(1, frame_use_t::asked);
    beam.tick = 0;
    raster.skip = 1; // every frame follows the dark tick that ended the last
    for (const csv_tick_t &t : ticks) {
        painter.paint_state = t.pass == 1 ? PAINT_WALL : PAINT_FOOD;
        t.lit ? beam_xy(static_cast<std::uint8_t>(t.x), static_cast<std::uint8_t>(t.y))
              : beam_skip();
    }
    return frame_image(glow->pixel.data());
}

// Each frame's ticks: numbered from 1, as many per pass as the budget says.
void expect_budget(const std::map<long, std::vector<csv_tick_t>> &beam,
                   const std::map<long, std::vector<long>> &budget)
{
    ASSERT_EQ(beam.size(), budget.size());
    for (const auto &[frame, ticks] : beam) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        ASSERT_EQ(budget.count(frame), 1u);
        const std::vector<long> &row = budget.at(frame);
        std::vector<long> by_pass(BEAM_PASS_COUNT, 0);
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            ASSERT_EQ(ticks[i].tick, static_cast<long>(i) + 1);
            ++by_pass[ticks[i].pass];
        }
        EXPECT_EQ(static_cast<long>(ticks.size()), row[0]);
        EXPECT_EQ(by_pass, std::vector<long>(row.begin() + 1, row.end()));
    }
}

std::string frame_png(const std::string &dir, int level, long frame)
{
    char name[64];
    std::snprintf(name, sizeof name, "/level%d_frame%06ld.png", level, frame);
    return dir + name;
}

// The first frames (the first key comes after frame 2), the first meal, the
// crashes (frame 308 at levels 3 and 4, 336 at 1 and 2), the drain after
// them and a far frame: each frame's ticks are its budget's, and its lit
// points drawn again are its picture.
TEST(BeamCsv, TheTicksOfEveryFrameAreItsBudgetAndItsPicture)
{
    for (int level = 1; level <= 4; ++level) {
        for (const char *frames : {"1-3", "112", "308-336/28", "400", "2147483647"}) {
            SCOPED_TRACE("level " + std::to_string(level) + " frames " + frames);
            scratch_dir_t dir;
            const run_t r =
                render(std::to_string(level) + " " + frames + " -q --beam " + (dir / "beam.csv") +
                       " --budget " + (dir / "budget.csv") + " --png-dir " + dir.path);
            ASSERT_EQ(r.status, 0) << r.err;
            const auto beam = beam_rows(text_of(dir / "beam.csv"));
            expect_budget(beam, budget_rows(text_of(dir / "budget.csv")));
            for (const auto &[frame, ticks] : beam)
                ASSERT_EQ(replayed(ticks).rgb,
                          decode_png(read_file(frame_png(dir.path, level, frame))).rgb)
                    << "frame " << frame;
        }
    }
}

TEST(BeamCsv, AFrameOverTheBudgetListsItsTicksToTheAbort)
{
    scratch_dir_t dir;
    const std::string keys = " -q --keys " + std::string(TEST_DATA) + "/over_budget.keys";
    ASSERT_EQ(render("1 4000-6000/10 --budget " + (dir / "find.csv") + keys).status, 2);
    const long over = budget_rows(text_of(dir / "find.csv")).rbegin()->first;
    const run_t r =
        render("1 " + std::to_string(over - 1) + "-" + std::to_string(over) + " --beam " +
               (dir / "beam.csv") + " --budget " + (dir / "budget.csv") + keys);
    ASSERT_EQ(r.status, 2) << r.err;
    const auto beam = beam_rows(text_of(dir / "beam.csv"));
    ASSERT_EQ(beam.size(), 2u);
    EXPECT_EQ(beam.at(over).size(), BEAM_TICK_LIMIT + 1u);
    expect_budget(beam, budget_rows(text_of(dir / "budget.csv")));
}

// "#rrggbb" as the decoded PNG's bytes.
std::array<std::uint8_t, 3> rgb_of(const char *colour)
{
    const unsigned long v = std::stoul(std::string(colour).substr(1), nullptr, 16);
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

// The SVG's marks of the frame, as a reader finds them: its lit points'
// ticks, and the dark ticks' count.
struct svg_marks_t {
    std::set<long> lit_ticks;
    std::size_t dark = 0;
    struct dot_t {
        double cx, cy;
        std::array<std::uint8_t, 3> rgb;
        long tick;
    };
    std::vector<dot_t> dots;
    int width = 0, height = 0;
};

long title_tick(const tinyxml2::XMLElement *e)
{
    const tinyxml2::XMLElement *title = e->FirstChildElement("title");
    if (title == nullptr || title->GetText() == nullptr)
        return -1;
    return std::stol(std::string(title->GetText()).substr(5)); // "tick N: ..."
}

svg_marks_t svg_marks(const std::string &svg)
{
    svg_marks_t marks;
    tinyxml2::XMLDocument doc;
    EXPECT_EQ(doc.Parse(svg.c_str(), svg.size()), tinyxml2::XML_SUCCESS) << doc.ErrorStr();
    const tinyxml2::XMLElement *root = doc.RootElement();
    if (root == nullptr)
        return marks;
    marks.width = root->IntAttribute("width");
    marks.height = root->IntAttribute("height");
    for (const tinyxml2::XMLElement *e = root->FirstChildElement("circle"); e != nullptr;
         e = e->NextSiblingElement("circle")) {
        const std::string cls = e->Attribute("class");
        if (cls == "lit") {
            const long tick = title_tick(e);
            EXPECT_TRUE(marks.lit_ticks.insert(tick).second) << "tick " << tick << " twice";
            marks.dots.push_back({e->DoubleAttribute("cx"), e->DoubleAttribute("cy"),
                                  rgb_of(e->Attribute("fill")), tick});
        }
        marks.dark += cls == "dark";
    }
    return marks;
}

TEST(BeamTrace, SvgAndPngHoldEveryLitPointAtItsPlace)
{
    const char *frames[] = {"1 1", "2 112", "3 308", "4 400"}; // start, meal, crash, drain
    for (const char *frame : frames) {
        SCOPED_TRACE(frame);
        scratch_dir_t dir;
        ASSERT_EQ(render(std::string(frame) + " --beam " + (dir / "beam.csv") + " --trace " +
                         (dir / "t.svg"))
                      .status,
                  0);
        ASSERT_EQ(render(std::string(frame) + " --trace " + (dir / "t.png")).status, 0);
        const auto beam = beam_rows(text_of(dir / "beam.csv"));
        ASSERT_EQ(beam.size(), 1u);
        const std::vector<csv_tick_t> &ticks = beam.begin()->second;
        std::set<long> lit;
        std::size_t dark = 0;
        for (const csv_tick_t &t : ticks)
            t.lit ? void(lit.insert(t.tick)) : void(++dark);

        const svg_marks_t marks = svg_marks(text_of(dir / "t.svg"));
        EXPECT_EQ(marks.lit_ticks, lit);
        EXPECT_EQ(marks.dark, dark);
        // Points keep their places: the same scale on both axes, y upwards.
        const csv_tick_t &first = ticks[marks.dots.front().tick - 1];
        for (const auto &dot : marks.dots) {
            const csv_tick_t &t = ticks[static_cast<std::size_t>(dot.tick) - 1];
            EXPECT_DOUBLE_EQ(dot.cx - marks.dots.front().cx, 4.0 * (t.x - first.x));
            EXPECT_DOUBLE_EQ(dot.cy - marks.dots.front().cy, -4.0 * (t.y - first.y));
        }
        // The PNG is the same picture: each point's dot in its pass's colour,
        // the last one drawn where two fall on the same point.
        const rgb_image_t png = decode_png(read_file(dir / "t.png"));
        ASSERT_EQ(png.width, marks.width);
        ASSERT_EQ(png.height, marks.height);
        std::map<std::pair<int, int>, const svg_marks_t::dot_t *> on_top;
        for (const auto &dot : marks.dots)
            on_top[{static_cast<int>(dot.cx), static_cast<int>(dot.cy)}] = &dot;
        for (const auto &[at, dot] : on_top) {
            const std::size_t i =
                (static_cast<std::size_t>(at.second) * static_cast<std::size_t>(png.width) +
                 static_cast<std::size_t>(at.first)) *
                3;
            const std::array<std::uint8_t, 3> got = {png.rgb[i], png.rgb[i + 1], png.rgb[i + 2]};
            ASSERT_EQ(got, dot->rgb) << "tick " << dot->tick;
        }
    }
}

TEST(BeamTrace, FaultsAreReportedAndLeaveNoFiles)
{
    scratch_dir_t dir;
    struct case_t {
        std::string args;
        int status;
        std::string message; // stderr contains it
    };
    const case_t cases[] = {
        {"1 1-2 --trace " + (dir / "t.svg"), 1, "--trace draws one frame, not a range"},
        {"1 5 --trace " + (dir / "t.jpg"), 1, "must end in .svg or .png"},
        {"1 5 --trace " + (dir / "no/t.png"), 1, dir / "no/t.png"},
        {"1 5 --beam " + (dir / "no/b.csv"), 1, dir / "no/b.csv"},
        // at the first frame, not after all of them
        {"1 1-2147483647 --beam /dev/full", 4, "cannot write /dev/full: No space left on device"},
    };
    for (const case_t &c : cases) {
        const run_t r = render(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_TRUE(fs::is_empty(dir.path)) << "a failed run left files behind";
}

} // namespace
