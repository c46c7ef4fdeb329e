// The budget table byte for byte, and the plot read back as XML: its axes
// decoded from the tick labels and the limit, the busiest frame and the
// legend checked against them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/render/budget_report.h"

namespace {

TEST(BudgetCsv, HeaderThenOneLinePerFrameInGivenOrder)
{
    const std::vector<frame_budget_t> frames = {
        {12, 372, {150, 147, 9, 7, 58, 1}}, {3, 0, {}}, {40000, 2001, {150, 238, 9, 7, 1597, 0}}};
    EXPECT_EQ(budget_csv(frames), "frame,total,texts,walls,food,head,body,end\n"
                                  "12,372,150,147,9,7,58,1\n"
                                  "3,0,0,0,0,0,0,0\n"
                                  "40000,2001,150,238,9,7,1597,0\n");
    EXPECT_EQ(budget_csv({}), "frame,total,texts,walls,food,head,body,end\n");
}

struct element_t {
    std::string name;
    std::map<std::string, std::string> attr;
    std::string text;
};

// The elements in document order; a failure where the document is not well
// formed: tags that do not nest, bad attributes, bare & or >, text outside the root.
std::vector<element_t> parse_xml(const std::string &doc)
{
    std::vector<element_t> all;
    std::vector<std::size_t> open; // elements not yet ended
    std::size_t pos = doc.rfind("<?xml ", 0) == 0 ? doc.find("?>") + 2 : doc.npos;
    for (std::size_t lt, gt; pos < doc.size() && (lt = doc.find('<', pos)) != doc.npos;) {
        const std::string text = doc.substr(pos, lt - pos);
        gt = doc.find('>', lt);
        if (gt == doc.npos || text.find_first_of("&>") != text.npos ||
            (open.empty() && (!all.empty() || text.find_first_not_of(" \n") != text.npos)))
            break;
        if (!open.empty())
            all[open.back()].text += text;
        pos = gt + 1;
        if (doc[lt + 1] == '/') {
            if (open.empty() || all[open.back()].name != doc.substr(lt + 2, gt - lt - 2))
                break;
            open.pop_back();
            continue;
        }
        element_t e;
        std::size_t i = doc.find_first_of(" />", lt);
        e.name = doc.substr(lt + 1, i - lt - 1);
        for (std::size_t eq, end; doc[i] == ' ' && doc[(eq = doc.find('=', i)) + 1] == '"' &&
                                  (end = doc.find('"', eq + 2)) < gt;
             i = end + 1)
            if (!e.attr.emplace(doc.substr(i + 1, eq - i - 1), doc.substr(eq + 2, end - eq - 2))
                     .second)
                break;
        if (i != gt && !(i + 1 == gt && doc[i] == '/'))
            break;
        if (i == gt)
            open.push_back(all.size());
        all.push_back(e);
    }
    if (pos != doc.find_last_not_of('\n') + 1 || all.empty() || !open.empty()) {
        ADD_FAILURE() << "not well formed near byte " << pos;
        return {};
    }
    return all;
}

// Frames first, first + step, ... with texts 150, walls 200, food 9, head 7,
// end 1 and a body of 100, except the peak frame whose body is peak_body.
std::vector<frame_budget_t> run(std::int64_t first, std::int64_t step, int count, std::int64_t peak,
                                std::uint16_t peak_body)
{
    std::vector<frame_budget_t> frames;
    for (std::int64_t n = first; n < first + step * count; n += step) {
        const std::uint16_t body = n == peak ? peak_body : 100;
        frames.push_back({n, static_cast<std::uint16_t>(367 + body), {150, 200, 9, 7, body, 1}});
    }
    return frames;
}

// The elements <name class="cls">, in document order.
std::vector<element_t> of(const std::vector<element_t> &all, const char *name, const char *cls)
{
    std::vector<element_t> out;
    for (const element_t &e : all)
        if (e.name == name && e.attr.count("class") && e.attr.at("class") == cls)
            out.push_back(e);
    return out;
}

// Where v falls on an axis known by its tick labels: linear between the outer two.
double position(const std::vector<element_t> &ticks, const char *at, double v)
{
    const double v0 = std::stod(ticks.front().text), p0 = std::stod(ticks.front().attr.at(at));
    const double v1 = std::stod(ticks.back().text), p1 = std::stod(ticks.back().attr.at(at));
    return ticks.size() == 1 ? p0 : p0 + (v - v0) * (p1 - p0) / (v1 - v0);
}

TEST(BudgetSvg, AxesLimitBusiestFrameAndLegendAgree)
{
    const struct {
        const char *what;
        std::vector<frame_budget_t> frames;
        std::uint16_t limit;
        std::int64_t busiest;
        int total; // 367 + peak body
    } cases[] = {
        {"one frame", run(5, 1, 1, 5, 100), 2000, 5, 467},
        {"1200 frames", run(1, 1, 1200, 700, 600), 2000, 700, 967},
        {"every 10th from 101", run(101, 10, 50, 351, 400), 2000, 351, 767},
        {"over the limit", run(1, 1, 30, 20, 2234), 2000, 20, 2601},
        {"another limit", run(7, 1, 10, 9, 500), 1500, 9, 867},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string svg = budget_svg(c.frames, c.limit);
        EXPECT_LT(svg.size(), 64u * 1024); // one path per pass, at most a point per pixel
        const auto all = parse_xml(svg);
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all[0].name, "svg");

        const auto y = of(all, "text", "y-tick"), x = of(all, "text", "x-tick");
        const auto limit = of(all, "line", "limit"), mark = of(all, "circle", "busiest");
        const auto paths = of(all, "path", "pass");
        ASSERT_TRUE(y.size() >= 2 && !x.empty() && limit.size() == 1 && mark.size() == 1);
        EXPECT_EQ(y.front().text, "0");
        EXPECT_GE(std::stoi(y.back().text), std::max<int>(c.limit, c.total)); // reaches above both
        EXPECT_NEAR(std::stod(limit[0].attr.at("y1")), position(y, "y", c.limit), 0.1);
        EXPECT_EQ(limit[0].attr.at("y2"), limit[0].attr.at("y1"));
        EXPECT_EQ(of(all, "text", "limit-label").at(0).text,
                  std::to_string(c.limit) + "-tick limit");

        EXPECT_NEAR(std::stod(mark[0].attr.at("cy")), position(y, "y", c.total), 0.1);
        EXPECT_NEAR(std::stod(mark[0].attr.at("cx")), position(x, "x", double(c.busiest)), 0.1);
        EXPECT_EQ(of(all, "text", "busiest").at(0).text,
                  "frame " + std::to_string(c.busiest) + ": " + std::to_string(c.total) + " ticks");

        // One path per pass; the whole stack comes first and must reach the busiest frame.
        ASSERT_EQ(paths.size(), BEAM_PASS_COUNT);
        std::string d = paths[0].attr.at("d");
        std::replace_if(
            d.begin(), d.end(), [](char ch) { return ch == 'M' || ch == 'Z'; }, ' ');
        std::istringstream points(d);
        double highest = 1e9;
        for (std::string xy; points >> xy;)
            highest = std::min(highest, std::stod(xy.substr(xy.find(',') + 1)));
        EXPECT_NEAR(highest, position(y, "y", c.total), 0.1);

        std::multiset<std::string> legend, names(BEAM_PASS_NAMES.begin(), BEAM_PASS_NAMES.end());
        for (const element_t &e : of(all, "text", "legend-name"))
            legend.insert(e.text);
        EXPECT_EQ(legend, names);
    }
}

TEST(BudgetSvg, SameBytesForTheSameFramesInAnyOrder)
{
    auto frames = run(3, 2, 40, 11, 900);
    const std::string svg = budget_svg(frames);
    std::reverse(frames.begin(), frames.end());
    EXPECT_EQ(budget_svg(frames), svg);
    EXPECT_FALSE(parse_xml(budget_svg({})).empty());
}

} // namespace
