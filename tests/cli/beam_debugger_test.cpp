// snake-render's beam views, as a user runs them: the CSV of every beam tick
// against the budget and the frames' pictures, and the trace of one frame as
// SVG and PNG against the CSV.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <array>
#include <map>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "host/image/frame_image.h"
#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

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

// The SVG's marks of the frame, as a reader finds them: its dots and rings
// with their ticks, its lines in order (not the legend's samples, on the
// right), the screen's disc, and the legend's words row by row.
struct svg_marks_t {
    struct mark_t {
        double cx, cy, r;
        std::array<std::uint8_t, 3> rgb; // a dot's fill, a ring's stroke
        long tick;
    };
    std::vector<mark_t> dots, rings;
    struct line_t {
        std::string kind; // path or move
        double x1, y1, x2, y2;
        bool operator==(const line_t &) const = default;
    };
    std::vector<line_t> lines;
    mark_t screen{};
    std::map<double, std::vector<std::string>> legend; // by baseline
    int width = 0, height = 0;
};

long title_tick(const tinyxml2::XMLElement *e)
{
    const tinyxml2::XMLElement *title = e->FirstChildElement("title");
    return title ? std::stol(std::string(title->GetText()).substr(5)) : -1; // "tick N: ..."
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
    for (const tinyxml2::XMLElement *e = root->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement()) {
        const std::string tag = e->Name(), cls = e->Attribute("class") ? e->Attribute("class") : "";
        const auto at = [e](const char *name) { return e->DoubleAttribute(name); };
        const char *paint = e->Attribute(cls == "dark" ? "stroke" : "fill");
        const svg_marks_t::mark_t mark{at("cx"), at("cy"), at("r"),
                                       paint ? rgb_of(paint) : std::array<std::uint8_t, 3>{},
                                       title_tick(e)};
        if (tag == "circle" && cls == "lit")
            marks.dots.push_back(mark);
        else if (tag == "circle" && cls == "dark")
            marks.rings.push_back(mark);
        else if (tag == "circle" && cls == "screen")
            marks.screen = mark;
        else if (tag == "line" && (cls == "path" || cls == "move") &&
                 at("x1") <= marks.screen.cx + marks.screen.r)
            marks.lines.push_back({cls, at("x1"), at("y1"), at("x2"), at("y2")});
        else if (tag == "text")
            marks.legend[at("y")].push_back(e->GetText());
    }
    return marks;
}

// The legend's row that starts with `first`, or none.
std::vector<std::string> legend_row(const svg_marks_t &marks, const std::string &first)
{
    for (const auto &[y, words] : marks.legend)
        if (words.front() == first)
            return words;
    return {};
}

std::string per_cent(long ticks)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 100.0 * static_cast<double>(ticks) / BEAM_TICK_LIMIT);
    return text;
}

// The legend names the frame and counts its ticks, lit ticks and share of the
// budget by pass, from the frame's own ticks.
void expect_legend(const svg_marks_t &marks, const std::string &level_frame,
                   const std::vector<csv_tick_t> &ticks)
{
    EXPECT_EQ(legend_row(marks, "level " + level_frame).size(), 1u) << level_frame;
    const long n = static_cast<long>(ticks.size());
    const std::string count = n > BEAM_TICK_LIMIT ? "over the budget at tick " + std::to_string(n)
                                                  : std::to_string(n) + " beam ticks";
    EXPECT_EQ(legend_row(marks, count).size(), 1u) << count;
    std::vector<long> all(BEAM_PASS_COUNT), lit(BEAM_PASS_COUNT);
    for (const csv_tick_t &t : ticks) {
        ++all[t.pass];
        lit[t.pass] += t.lit;
    }
    for (std::size_t k = 0; k <= BEAM_PASS_COUNT; ++k) {
        const bool total = k == BEAM_PASS_COUNT;
        const long a = total ? n : all[k];
        const long l = total ? std::accumulate(lit.begin(), lit.end(), 0L) : lit[k];
        const std::string name = total ? "total" : BEAM_PASS_NAMES[k];
        EXPECT_EQ(
            legend_row(marks, name),
            (std::vector<std::string>{name, std::to_string(a), std::to_string(l), per_cent(a)}));
    }
}

// The frames' start, a meal, a crash, the drain, a frame of exactly the
// budget and one over it (its ticks up to the 2001st).
TEST(BeamTrace, SvgAndPngHoldEveryMarkAtItsPlaceAndTheLegendCountsThem)
{
    const std::string over = " --keys " + std::string(TEST_DATA) + "/over_budget.keys";
    const std::pair<std::string, int> frames[] = {{"1 1", 0},           {"2 112", 0},
                                                  {"3 308", 0},         {"4 400", 0},
                                                  {"1 5033" + over, 0}, {"1 5034" + over, 2}};
    for (const auto &[frame, status] : frames) {
        SCOPED_TRACE(frame);
        scratch_dir_t dir;
        ASSERT_EQ(
            render(frame + " --beam " + (dir / "beam.csv") + " --trace " + (dir / "t.svg")).status,
            status);
        ASSERT_EQ(render(frame + " --trace " + (dir / "t.png")).status, status);
        const auto beam = beam_rows(text_of(dir / "beam.csv"));
        ASSERT_EQ(beam.size(), 1u);
        const std::vector<csv_tick_t> &ticks = beam.begin()->second;
        const svg_marks_t marks = svg_marks(text_of(dir / "t.svg"));
        expect_legend(marks, frame.substr(0, 1) + ", frame " + std::to_string(beam.begin()->first),
                      ticks);

        // Every lit tick a dot, in its pass's colour, at its point: four pixels
        // a point about the round screen's centre (128, 128), y upwards, the
        // screen's rows between margins of equal height.
        std::map<long, const svg_marks_t::mark_t *> dot_of;
        std::map<std::size_t, std::array<std::uint8_t, 3>> colour_of; // by pass
        for (const auto &dot : marks.dots) {
            const csv_tick_t &t = ticks.at(static_cast<std::size_t>(dot.tick) - 1);
            ASSERT_TRUE(t.lit && dot_of.emplace(dot.tick, &dot).second) << "tick " << dot.tick;
            EXPECT_DOUBLE_EQ(dot.cx - marks.screen.cx, 4.0 * (t.x - 128));
            EXPECT_DOUBLE_EQ(dot.cy - marks.screen.cy, -4.0 * (t.y - 128));
            EXPECT_DOUBLE_EQ(dot.cy - 1.5 - 4 * (255 - t.y),
                             marks.height - (dot.cy + 2.5 + 4 * t.y));
            EXPECT_EQ(colour_of.emplace(t.pass, dot.rgb).first->second, dot.rgb)
                << "tick " << dot.tick;
        }
        // Successive lit points joined, a dashed move where dark ticks came
        // between; each dark tick a ring in its pass's colour at the point
        // the beam goes to next (the last lit one at the frame's end).
        std::vector<svg_marks_t::line_t> joins;
        std::map<long, const svg_marks_t::mark_t *> ring_at; // dark tick: where
        const svg_marks_t::mark_t *last = nullptr;
        std::vector<long> waiting;
        for (const csv_tick_t &t : ticks) {
            if (!t.lit) {
                waiting.push_back(t.tick);
                continue;
            }
            const svg_marks_t::mark_t *here = dot_of.at(t.tick);
            if (last != nullptr)
                joins.push_back(
                    {waiting.empty() ? "path" : "move", last->cx, last->cy, here->cx, here->cy});
            for (const long d : waiting)
                ring_at[d] = here;
            waiting.clear();
            last = here;
        }
        for (const long d : waiting) // the frame's last ticks: where the beam stays
            ring_at[d] = last;
        EXPECT_TRUE(marks.lines == joins) << "the lines are not the beam's path";
        ASSERT_EQ(marks.rings.size(), ring_at.size());
        for (const auto &ring : marks.rings) {
            const svg_marks_t::mark_t *to = ring_at.at(ring.tick);
            EXPECT_EQ(std::tie(ring.cx, ring.cy), std::tie(to->cx, to->cy)) << "tick " << ring.tick;
            const auto pass = colour_of.find(ticks[static_cast<std::size_t>(ring.tick) - 1].pass);
            if (pass != colour_of.end()) {
                EXPECT_EQ(ring.rgb, pass->second) << "tick " << ring.tick;
            }
        }
        // The PNG is the same picture: each point's dot in its pass's colour,
        // the last one drawn where two fall on the same point.
        const rgb_image_t png = decode_png(read_file(dir / "t.png"));
        ASSERT_EQ(png.width, marks.width);
        ASSERT_EQ(png.height, marks.height);
        std::map<std::pair<int, int>, const svg_marks_t::mark_t *> on_top;
        for (const auto &dot : marks.dots)
            on_top[{static_cast<int>(dot.cx), static_cast<int>(dot.cy)}] = &dot;
        for (const auto &[at, dot] : on_top) {
            const auto i = 3 * (static_cast<std::size_t>(at.second) * png.width + at.first);
            ASSERT_EQ((std::array{png.rgb[i], png.rgb[i + 1], png.rgb[i + 2]}), dot->rgb)
                << "tick " << dot->tick;
        }
    }
}

} // namespace
