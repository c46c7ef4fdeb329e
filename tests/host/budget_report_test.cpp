// The budget table, and the plot read back as XML (tinyxml2): its axes
// decoded from the tick labels, and the passes, the limit, the busiest frame
// and the legend checked against them.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "host/render/budget_report.h"

namespace {

using tinyxml2::XMLElement;

TEST(BudgetCsv, PassNamesInTheHeaderThenOneLinePerFrameInGivenOrder)
{
    const std::string csv = budget_csv({{12, 372, {150, 147, 9, 7, 58, 1}}, {3, 0, {}}});
    const std::string header = csv.substr(0, csv.find('\n'));
    std::vector<std::string> fields, expected = {"frame", "total"};
    std::istringstream in(header);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    expected.insert(expected.end(), BEAM_PASS_NAMES.begin(), BEAM_PASS_NAMES.end());
    EXPECT_EQ(fields, expected);
    EXPECT_EQ(csv.substr(header.size()), "\n12,372,150,147,9,7,58,1\n3,0,0,0,0,0,0,0\n");
}

// The elements of that name and class, at any depth, in document order.
void find(const XMLElement *e, const char *name, const char *cls,
          std::vector<const XMLElement *> &out)
{
    for (; e; e = e->NextSiblingElement()) {
        if (std::strcmp(e->Name(), name) == 0 && e->Attribute("class", cls))
            out.push_back(e);
        find(e->FirstChildElement(), name, cls, out);
    }
}

struct plot_t {
    tinyxml2::XMLDocument doc;
    std::vector<const XMLElement *> of(const char *name, const char *cls) const
    {
        std::vector<const XMLElement *> out;
        find(doc.RootElement(), name, cls, out);
        return out;
    }
    // Where v falls on an axis known by its tick labels: linear between the outer two.
    double at(const char *ticks, const char *coordinate, double v) const
    {
        const auto t = of("text", ticks);
        const double v0 = std::stod(t.front()->GetText()), v1 = std::stod(t.back()->GetText());
        const double p0 = t.front()->DoubleAttribute(coordinate);
        return p0 + (v - v0) * (t.back()->DoubleAttribute(coordinate) - p0) / (v1 - v0);
    }
    double x(double frame) const { return at("x-tick", "x", frame); }
    double y(double ticks) const { return at("y-tick", "y", ticks); }
    // The staircase in the legend colour of `pass`: each step's height (y)
    // and where it ends (x), from "M x0 y0 V y H x V y H x ... V y0 Z".
    std::vector<std::pair<double, double>> steps(const char *pass) const
    {
        std::string fill;
        for (const XMLElement *g : of("g", "legend-entry"))
            if (std::strcmp(g->FirstChildElement("text")->GetText(), pass) == 0)
                fill = g->FirstChildElement("rect")->Attribute("fill");
        std::vector<std::pair<double, double>> out;
        for (const XMLElement *path : of("path", "pass"))
            if (fill == path->Attribute("fill")) {
                std::istringstream d(path->Attribute("d"));
                double x0, y0, y, x;
                char v, h;
                d.ignore(1) >> x0 >> y0;
                while (d >> v >> y >> h >> x && v == 'V' && h == 'H')
                    out.emplace_back(y, x);
            }
        return out;
    }
};

// The height of a staircase at pixel column x.
double height_at(const std::vector<std::pair<double, double>> &steps, double x)
{
    for (const auto &[y, end] : steps)
        if (x < end)
            return y;
    return NAN;
}

void read(plot_t &plot, const std::string &svg)
{
    ASSERT_EQ(plot.doc.Parse(svg.c_str()), tinyxml2::XML_SUCCESS) << plot.doc.ErrorStr();
    ASSERT_STREQ(plot.doc.RootElement()->Name(), "svg");
    ASSERT_EQ(plot.of("path", "pass").size(), BEAM_PASS_COUNT);
}

TEST(BudgetSvg, StepsLimitBusiestFrameAndLegendOfASmallTable)
{
    // Passes texts, walls, food, head, body, end. Frames 20 and 40 tie.
    const std::vector<frame_budget_t> frames = {{10, 468, {150, 200, 10, 7, 100, 1}},
                                                {20, 968, {150, 200, 10, 7, 600, 1}},
                                                {30, 458, {150, 200, 0, 7, 100, 1}},
                                                {40, 968, {350, 200, 10, 7, 400, 1}}};
    plot_t plot;
    read(plot, budget_svg(frames, 10));

    // Each frame a step 10 frames wide around its number.
    const auto whole = plot.steps("end");
    ASSERT_EQ(whole.size(), frames.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        EXPECT_NEAR(whole[i].second, plot.x(15 + 10 * static_cast<double>(i)), 0.1);
    // Every pass reaches the sum of itself and the passes below it.
    for (std::size_t k = 0; k < BEAM_PASS_COUNT; ++k)
        for (const frame_budget_t &f : frames) {
            int below = 0;
            for (std::size_t i = 0; i <= k; ++i)
                below += f.by_pass[i];
            const double x = plot.x(static_cast<double>(f.frame));
            EXPECT_NEAR(height_at(plot.steps(BEAM_PASS_NAMES[k]), x), plot.y(below), 0.1)
                << BEAM_PASS_NAMES[k] << " at frame " << f.frame;
        }

    const auto limit = plot.of("line", "limit").at(0);
    EXPECT_NEAR(limit->DoubleAttribute("y1"), plot.y(2000), 0.1);
    EXPECT_EQ(limit->DoubleAttribute("y2"), limit->DoubleAttribute("y1"));
    EXPECT_STREQ(plot.of("text", "limit-label").at(0)->GetText(), "2000-tick limit");
    EXPECT_GT(std::stoi(plot.of("text", "y-tick").back()->GetText()), 2000);

    // The earliest of the tie is marked.
    const auto mark = plot.of("circle", "busiest").at(0);
    EXPECT_NEAR(mark->DoubleAttribute("cx"), plot.x(20), 0.1);
    EXPECT_NEAR(mark->DoubleAttribute("cy"), plot.y(968), 0.1);
    EXPECT_STREQ(plot.of("text", "busiest").at(0)->GetText(), "frame 20: 968 ticks");

    // From the top of the stack, the costliest starred: sums 4, 1200, 28, 30,
    // 800 and 800 of 2862 ticks over 4 frames, rounded half up.
    std::vector<std::string> legend;
    for (const XMLElement *name : plot.of("text", "legend-name"))
        legend.push_back(std::string(name->GetText()) +
                         (name->Attribute("font-weight", "bold") ? "* " : " ") +
                         name->NextSiblingElement("text")->GetText());
    EXPECT_EQ(legend,
              (std::vector<std::string>{"end 1 (0%)", "body* 300 (42%)", "head 7 (1%)",
                                        "food 8 (1%)", "walls 200 (28%)", "texts 200 (28%)"}));
}

TEST(BudgetSvg, ALongRunKeepsOneFramePerPixelColumnAndItsPeak)
{
    // 20000 frames whose totals alternate, so that no two neighbours merge,
    // and one frame over the limit.
    std::vector<frame_budget_t> frames;
    for (std::int64_t n = 1; n <= 20000; ++n) {
        const auto body = static_cast<std::uint16_t>(n == 12345 ? 1700 : 100 + 50 * (n % 2));
        frames.push_back({n, static_cast<std::uint16_t>(367 + body), {150, 200, 9, 7, body, 1}});
    }
    plot_t plot;
    read(plot, budget_svg(frames, 1));
    const double columns = plot.x(20000.5) - plot.x(0.5);
    for (const char *pass : BEAM_PASS_NAMES)
        EXPECT_LE(static_cast<double>(plot.steps(pass).size()), columns + 1) << pass;
    EXPECT_NEAR(height_at(plot.steps("end"), plot.x(12345)), plot.y(2067), 0.1);
    const auto label = plot.of("text", "busiest").at(0);
    EXPECT_STREQ(label->GetText(), "frame 12345: 2067 ticks");
    EXPECT_STREQ(label->Attribute("fill"), "#c00");

    EXPECT_THROW(budget_svg({}, 1), std::invalid_argument);
    EXPECT_THROW(budget_svg(frames, 0), std::invalid_argument);
}

} // namespace
