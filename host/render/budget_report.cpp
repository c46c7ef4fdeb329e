#include "host/render/budget_report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

// Canvas and plot area in pixels; the legend sits right of the plot.
constexpr double CANVAS_W = 900;
constexpr double CANVAS_H = 420;
constexpr double PLOT_LEFT = 72;
constexpr double PLOT_RIGHT = 728;
constexpr double PLOT_TOP = 62;
constexpr double PLOT_BOTTOM = 360;
constexpr double LEGEND_LEFT = 750;
constexpr double LEGEND_RIGHT = 892;

constexpr double HEADROOM = 1.08; // room above the busiest frame for its label
constexpr double BAR_MIN = 4;     // px per frame below which frames merge into areas
constexpr double BAR_MAX = 40;
constexpr int Y_TICKS_MOST = 6;
constexpr int X_TICKS_MOST = 8;

// Okabe-Ito colours, told apart also by colour-blind readers; by beam_pass_t.
constexpr std::array<const char *, BEAM_PASS_COUNT> PASS_COLOR = {"#56b4e9", "#0072b2", "#e69f00",
                                                                  "#d55e00", "#009e73", "#cc79a7"};

// Looks by class, so that the elements carry only their geometry.
constexpr std::string_view STYLE = ".grid{stroke:#e3e3e3}"
                                   ".axis,.tick,.leader{stroke:#000}"
                                   ".limit{stroke:#c00;stroke-width:1.5;stroke-dasharray:6 4}"
                                   ".limit-label{fill:#c00}"
                                   ".title{font-size:17px;font-weight:bold}"
                                   ".subtitle,.legend-head{fill:#555}"
                                   ".busiest{font-weight:bold}";

void put_int(std::string &out, std::int64_t v)
{
    std::array<char, 24> buf{};
    const char *end = std::to_chars(buf.data(), buf.data() + buf.size(), v).ptr;
    out.append(buf.data(), static_cast<std::size_t>(end - buf.data()));
}

// Pixel positions to a tenth: finer than a screen shows, and short.
void put_px(std::string &out, double v)
{
    const std::int64_t tenths = std::llround(v * 10);
    const std::int64_t mag = tenths < 0 ? -tenths : tenths;
    if (tenths < 0)
        out += '-';
    put_int(out, mag / 10);
    if (mag % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + mag % 10);
    }
}

std::string int_text(std::int64_t v)
{
    std::string s;
    put_int(s, v);
    return s;
}

// A linear map from data values to pixels.
struct scale_t {
    double d0, d1; // data range
    double p0, p1; // pixels at its ends
    double operator()(double v) const { return p0 + (v - d0) * (p1 - p0) / (d1 - d0); }
};

// Everything the drawing steps share, worked out once.
struct plot_t {
    std::vector<frame_budget_t> frames; // by frame number
    std::uint16_t limit;
    std::size_t busiest; // index into frames
    scale_t x, y;
    std::int64_t x_step, y_step; // between axis ticks
    double spacing;              // px between neighbouring frames, the usual gap
};

// The smallest 1, 2 or 5 times a power of ten that cuts span into at most `most` steps.
std::int64_t nice_step(double span, int most)
{
    std::int64_t power = 1;
    for (; power < std::numeric_limits<std::int64_t>::max() / 50; power *= 10)
        for (const std::int64_t m : {1, 2, 5})
            if (span / static_cast<double>(power * m) <= most)
                return power * m;
    return power; // spans beyond any real run: a step that cannot overflow
}

// The usual distance between neighbouring frames; 1 when there is none.
double median_gap(const std::vector<frame_budget_t> &frames)
{
    std::vector<std::int64_t> gaps;
    for (std::size_t i = 1; i < frames.size(); ++i)
        if (frames[i].frame > frames[i - 1].frame)
            gaps.push_back(frames[i].frame - frames[i - 1].frame);
    if (gaps.empty())
        return 1;
    const auto mid = gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2);
    std::nth_element(gaps.begin(), mid, gaps.end());
    return static_cast<double>(*mid);
}

plot_t make_plot(const std::vector<frame_budget_t> &frames, std::uint16_t limit)
{
    plot_t p{frames, limit, 0, {}, {}, 1, 1, 0};
    std::stable_sort(p.frames.begin(), p.frames.end(),
                     [](const auto &a, const auto &b) { return a.frame < b.frame; });
    for (std::size_t i = 1; i < p.frames.size(); ++i)
        if (p.frames[i].total > p.frames[p.busiest].total)
            p.busiest = i;

    // Half a frame gap beyond the first and last frame, so their bars fit.
    const double gap = median_gap(p.frames);
    const double first = p.frames.empty() ? 1 : static_cast<double>(p.frames.front().frame);
    const double last = p.frames.empty() ? 1 : static_cast<double>(p.frames.back().frame);
    p.x = {first - gap / 2, last + gap / 2, PLOT_LEFT, PLOT_RIGHT};
    p.x_step = nice_step(p.x.d1 - p.x.d0, X_TICKS_MOST);
    p.spacing = p.x(p.x.d0 + gap) - PLOT_LEFT;

    const std::uint16_t peak = p.frames.empty() ? 0 : p.frames[p.busiest].total;
    const double need = std::max(10.0, std::max(limit, peak) * HEADROOM);
    p.y_step = nice_step(need, Y_TICKS_MOST);
    const double top = std::ceil(need / static_cast<double>(p.y_step)) * p.y_step;
    p.y = {0, top, PLOT_BOTTOM, PLOT_TOP};
    return p;
}

// A small writer of SVG elements into one string.
struct svg_t {
    std::string out;

    void head()
    {
        out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\"";
        attr("width", CANVAS_W), attr("height", CANVAS_H);
        out += " font-family=\"sans-serif\" font-size=\"12\">\n<style>";
        out += STYLE;
        out += "</style>\n<rect";
        attr("width", CANVAS_W), attr("height", CANVAS_H);
        out += " fill=\"#fff\"/>\n";
    }

    void attr(std::string_view name, double px)
    {
        out += ' ';
        out += name;
        out += "=\"";
        put_px(out, px);
        out += '"';
    }
    void line(std::string_view cls, double x1, double y1, double x2, double y2)
    {
        out += "<line class=\"";
        out += cls;
        out += '"';
        attr("x1", x1), attr("y1", y1), attr("x2", x2), attr("y2", y2);
        out += "/>\n";
    }
    // `extra` holds further attributes, each with its leading blank.
    void text(std::string_view cls, double x, double y, std::string_view extra,
              std::string_view content)
    {
        out += "<text class=\"";
        out += cls;
        out += '"';
        attr("x", x), attr("y", y);
        out += extra;
        out += '>';
        out += content; // our own words and numbers: nothing to escape
        out += "</text>\n";
    }
    void point(double x, double y)
    {
        put_px(out, x);
        out += ',';
        put_px(out, y);
        out += ' ';
    }
};

// Ticks of passes 0 to k: the top of pass k in the stack.
std::uint32_t stacked(const frame_budget_t &f, std::size_t k)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i <= k; ++i)
        sum += f.by_pass[i];
    return sum;
}

// At most one frame per pixel column, the busiest: the file stays small for
// long runs and no peak is lost.
std::vector<const frame_budget_t *> columns(const plot_t &p)
{
    std::vector<const frame_budget_t *> kept;
    double column = -1;
    for (const frame_budget_t &f : p.frames) {
        const double c = std::floor(p.x(static_cast<double>(f.frame)));
        if (!kept.empty() && c == column) {
            if (f.total > kept.back()->total)
                kept.back() = &f;
            continue;
        }
        kept.push_back(&f);
        column = c;
    }
    return kept;
}

// The title, and below it the answer in words: how close, how often over.
void title(svg_t &svg, const plot_t &p)
{
    svg.text("title", PLOT_LEFT, 24, "", "Beam ticks per frame, by painter pass");
    if (p.frames.empty()) {
        svg.text("subtitle", PLOT_LEFT, 44, "", "no frames recorded");
        return;
    }
    const frame_budget_t &top = p.frames[p.busiest];
    const auto over = std::count_if(p.frames.begin(), p.frames.end(),
                                    [&](const auto &f) { return f.total > p.limit; });
    std::string s = p.frames.size() == 1
                        ? "frame " + int_text(top.frame) + " uses "
                        : int_text(static_cast<std::int64_t>(p.frames.size())) + " frames from " +
                              int_text(p.frames.front().frame) + " to " +
                              int_text(p.frames.back().frame) + "; the busiest uses ";
    s += int_text(top.total) + " of " + int_text(p.limit) + " ticks";
    if (p.limit > 0)
        s += " (" + int_text(top.total * 100 / p.limit) + "%)";
    s += over == 0 ? "; none over the limit" : "; " + int_text(over) + " over the limit";
    svg.text("subtitle", PLOT_LEFT, 44, "", s);
}

void y_axis(svg_t &svg, const plot_t &p)
{
    for (std::int64_t v = 0; v <= p.y.d1; v += p.y_step) {
        const double y = p.y(static_cast<double>(v));
        svg.line("grid", PLOT_LEFT, y, PLOT_RIGHT, y);
        svg.line("tick", PLOT_LEFT - 5, y, PLOT_LEFT, y);
        svg.text("y-tick", PLOT_LEFT - 8, y, " dy=\"0.35em\" text-anchor=\"end\"", int_text(v));
    }
    std::string turn = " text-anchor=\"middle\" transform=\"translate(18 ";
    put_px(turn, (PLOT_TOP + PLOT_BOTTOM) / 2);
    turn += ") rotate(-90)\"";
    svg.text("axis-title", 0, 0, turn, "beam ticks per frame");
}

void x_axis(svg_t &svg, const plot_t &p)
{
    const auto step = static_cast<double>(p.x_step);
    for (double v = std::ceil(p.x.d0 / step) * step; v <= p.x.d1; v += step) {
        const double x = p.x(v);
        svg.line("tick", x, PLOT_BOTTOM, x, PLOT_BOTTOM + 5);
        svg.text("x-tick", x, PLOT_BOTTOM + 19, " text-anchor=\"middle\"",
                 int_text(std::llround(v)));
    }
    svg.text("axis-title", (PLOT_LEFT + PLOT_RIGHT) / 2, CANVAS_H - 16, " text-anchor=\"middle\"",
             "frame");
}

// Sparse frames as bars; dense ones as areas, broken where frames are missing.
void pass_shape(svg_t &svg, const plot_t &p, const std::vector<const frame_budget_t *> &cols,
                std::size_t k)
{
    const double base = PLOT_BOTTOM;
    const auto top = [&](const frame_budget_t *f) { return p.y(stacked(*f, k)); };
    const auto at = [&](const frame_budget_t *f) { return p.x(static_cast<double>(f->frame)); };
    if (p.spacing >= BAR_MIN) {
        const double half = std::min(p.spacing * 0.8, BAR_MAX) / 2;
        for (const frame_budget_t *f : cols) {
            svg.out += 'M';
            svg.point(at(f) - half, base);
            svg.point(at(f) - half, top(f));
            svg.point(at(f) + half, top(f));
            svg.point(at(f) + half, base);
            svg.out += "Z";
        }
        return;
    }
    const double half = p.spacing / 2;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        svg.out += 'M';
        svg.point(at(cols[i]) - half, base);
        svg.point(at(cols[i]) - half, top(cols[i]));
        for (; i + 1 < cols.size() && at(cols[i + 1]) - at(cols[i]) <= 2 * p.spacing + 1; ++i)
            svg.point(at(cols[i]), top(cols[i]));
        svg.point(at(cols[i]), top(cols[i]));
        svg.point(at(cols[i]) + half, top(cols[i]));
        svg.point(at(cols[i]) + half, base);
        svg.out += "Z";
    }
}

// Each pass is drawn as the stack up to its top, the highest first, so the
// lower passes cover the rest: one path per pass and one point per frame.
void passes(svg_t &svg, const plot_t &p)
{
    if (p.frames.empty())
        return;
    const auto cols = columns(p);
    for (std::size_t k = BEAM_PASS_COUNT; k-- > 0;) {
        svg.out += "<path class=\"pass\" fill=\"";
        svg.out += PASS_COLOR[k];
        svg.out += "\" d=\"";
        pass_shape(svg, p, cols, k);
        svg.out += "\"/>\n";
    }
}

// The limit's label and the busiest frame's label go to opposite halves.
bool busiest_on_left(const plot_t &p)
{
    return p.frames.empty() ||
           p.x(static_cast<double>(p.frames[p.busiest].frame)) < (PLOT_LEFT + PLOT_RIGHT) / 2;
}

void limit_line(svg_t &svg, const plot_t &p)
{
    const double y = p.y(p.limit);
    svg.line("limit", PLOT_LEFT, y, PLOT_RIGHT, y);
    const bool right = busiest_on_left(p);
    svg.text("limit-label", right ? PLOT_RIGHT - 4 : PLOT_LEFT + 4, y - 5,
             right ? " text-anchor=\"end\"" : "", int_text(p.limit) + "-tick limit");
}

void busiest_mark(svg_t &svg, const plot_t &p)
{
    if (p.frames.empty())
        return;
    const frame_budget_t &f = p.frames[p.busiest];
    const double x = p.x(static_cast<double>(f.frame));
    const double y = p.y(f.total);
    svg.out += "<circle class=\"busiest\"";
    svg.attr("cx", x), svg.attr("cy", y);
    svg.out += " r=\"3.5\"/>\n";
    svg.line("leader", x, y - 4, x, y - 14);
    const bool left = busiest_on_left(p);
    std::string look = f.total > p.limit ? " fill=\"#c00\"" : "";
    if (!left)
        look += " text-anchor=\"end\"";
    svg.text("busiest", left ? x - 6 : x + 6, y - 18, look,
             "frame " + int_text(f.frame) + ": " + int_text(f.total) + " ticks");
}

// Stack order from the top, so the legend reads like the picture, with each
// pass's average ticks per frame and its share of all ticks; the costliest in bold.
void legend(svg_t &svg, const plot_t &p)
{
    std::array<std::uint64_t, BEAM_PASS_COUNT> sum{};
    for (const frame_budget_t &f : p.frames)
        for (std::size_t k = 0; k < BEAM_PASS_COUNT; ++k)
            sum[k] += f.by_pass[k];
    std::uint64_t all = 0;
    for (const std::uint64_t s : sum)
        all += s;
    const auto costliest = std::max_element(sum.begin(), sum.end()) - sum.begin();
    const std::uint64_t n = std::max<std::uint64_t>(p.frames.size(), 1);

    svg.text("legend-head", LEGEND_LEFT, PLOT_TOP + 4, "", "pass");
    svg.text("legend-head", LEGEND_RIGHT, PLOT_TOP + 4, " text-anchor=\"end\"",
             "avg ticks (share)");
    for (std::size_t row = 0; row < BEAM_PASS_COUNT; ++row) {
        const std::size_t k = BEAM_PASS_COUNT - 1 - row;
        const double y = PLOT_TOP + 28 + 24 * static_cast<double>(row);
        const auto avg = static_cast<std::int64_t>((2 * sum[k] + n) / (2 * n));
        const auto share =
            static_cast<std::int64_t>(all == 0 ? 0 : (200 * sum[k] + all) / (2 * all));
        const bool bold = static_cast<std::ptrdiff_t>(k) == costliest && all > 0;
        const char *weight = bold ? " font-weight=\"bold\"" : "";
        svg.out += "<g class=\"legend-entry\"><rect";
        svg.attr("x", LEGEND_LEFT), svg.attr("y", y - 10);
        svg.out += " width=\"12\" height=\"12\" fill=\"";
        svg.out += PASS_COLOR[k];
        svg.out += "\"/>";
        svg.text("legend-name", LEGEND_LEFT + 18, y, weight, BEAM_PASS_NAMES[k]);
        svg.text("legend-value", LEGEND_RIGHT, y, std::string(weight) + " text-anchor=\"end\"",
                 int_text(avg) + " (" + int_text(share) + "%)");
        svg.out += "</g>\n";
    }
}

} // namespace

std::string budget_csv(const std::vector<frame_budget_t> &frames)
{
    std::string out = "frame,total,texts,walls,food,head,body,end\n";
    for (const frame_budget_t &f : frames) {
        put_int(out, f.frame);
        out += ',';
        put_int(out, f.total);
        for (const std::uint16_t ticks : f.by_pass) {
            out += ',';
            put_int(out, ticks);
        }
        out += '\n';
    }
    return out;
}

std::string budget_svg(const std::vector<frame_budget_t> &frames, std::uint16_t limit)
{
    const plot_t p = make_plot(frames, limit);
    svg_t svg;
    svg.head();
    title(svg, p);
    y_axis(svg, p);
    passes(svg, p);
    svg.line("axis", PLOT_LEFT, PLOT_TOP, PLOT_LEFT, PLOT_BOTTOM);
    svg.line("axis", PLOT_LEFT, PLOT_BOTTOM, PLOT_RIGHT, PLOT_BOTTOM);
    x_axis(svg, p);
    limit_line(svg, p);
    busiest_mark(svg, p);
    legend(svg, p);
    svg.out += "</svg>\n";
    return svg.out;
}
