#include "host/render/budget_report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "host/render/pass_colors.h"

namespace {

// The canvas is 900 x 420: the plot area, and the legend right of it.
constexpr double PLOT_LEFT = 72, PLOT_RIGHT = 728, PLOT_TOP = 62, PLOT_BOTTOM = 360;
constexpr double LEGEND_LEFT = 750, LEGEND_RIGHT = 892;

constexpr const char *HEAD =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"900\" height=\"420\""
    " font-family=\"sans-serif\" font-size=\"12\">\n<style>"
    ".grid{stroke:#e3e3e3}.axis,.tick,.leader{stroke:#000}"
    ".limit{stroke:#c00;stroke-width:1.5;stroke-dasharray:6 4}.limit-label{fill:#c00}"
    ".title{font-size:17px;font-weight:bold}.subtitle,.legend-head{fill:#555}"
    ".busiest{font-weight:bold}</style>\n"
    "<rect width=\"900\" height=\"420\" fill=\"#fff\"/>\n";

template <typename T> std::string num(T v)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// Pixels to a tenth, finer than a screen shows; the shortest text of that
// double is then at most one decimal long.
std::string px(double v) { return num(std::round(v * 10) / 10); }

// The smallest 1, 2 or 5 times a power of ten that cuts span into at most `most` steps.
std::int64_t nice_step(double span, int most)
{
    for (std::int64_t power = 1;; power *= 10)
        for (const std::int64_t m : {1, 2, 5})
            if (span / static_cast<double>(power * m) <= most)
                return power * m;
}

// The y axis: ticks from 0 up to a whole number of steps above the busiest
// frame and the limit.
struct plot_t {
    const budget_plot_t &b;
    std::int64_t y_step = 1;
    double top = 1; // ticks at the top edge

    double x(double frame) const { return b.x(frame); }
    double y(double ticks) const { return PLOT_BOTTOM - ticks * (PLOT_BOTTOM - PLOT_TOP) / top; }
};

plot_t make_plot(const budget_plot_t &b)
{
    plot_t p{b};
    // Room above the busiest frame for its label.
    const double need = std::max(10.0, std::max(b.limit(), b.busiest().total) * 1.08);
    p.y_step = nice_step(need, 6);
    p.top = std::ceil(need / static_cast<double>(p.y_step)) * static_cast<double>(p.y_step);
    return p;
}

void line(std::string &out, const char *cls, double x1, double y1, double x2, double y2)
{
    out += "<line class=\"" + std::string(cls) + "\" x1=\"" + px(x1) + "\" y1=\"" + px(y1) +
           "\" x2=\"" + px(x2) + "\" y2=\"" + px(y2) + "\"/>\n";
}

// `extra` holds further attributes, each with its leading blank; the
// content is our own words and numbers, with nothing to escape.
void text(std::string &out, const char *cls, double x, double y, const std::string &extra,
          const std::string &content)
{
    out += "<text class=\"" + std::string(cls) + "\" x=\"" + px(x) + "\" y=\"" + px(y) + '"' +
           extra + '>' + content + "</text>\n";
}

void title(std::string &out, const plot_t &p)
{
    text(out, "title", PLOT_LEFT, 24, "", "Beam ticks per frame, by painter pass");
    const frame_budget_t &top = p.b.busiest();
    const std::uint16_t limit = p.b.limit();
    const std::uint64_t over = p.b.over();
    std::string s = p.b.count() == 1 ? "frame " + num(top.frame) + " uses "
                                     : num(p.b.count()) + " frames from " + num(p.b.front()) +
                                           " to " + num(p.b.back()) + "; the busiest uses ";
    s += num(top.total) + " of " + num(limit) + " ticks";
    if (limit > 0)
        s += " (" + num(top.total * 100 / limit) + "%)";
    s += over == 0 ? "; none over the limit" : "; " + num(over) + " over the limit";
    text(out, "subtitle", PLOT_LEFT, 44, "", s);
}

void axes(std::string &out, const plot_t &p)
{
    for (std::int64_t v = 0; v <= p.top; v += p.y_step) {
        const double y = p.y(static_cast<double>(v));
        line(out, "grid", PLOT_LEFT, y, PLOT_RIGHT, y);
        line(out, "tick", PLOT_LEFT - 5, y, PLOT_LEFT, y);
        text(out, "y-tick", PLOT_LEFT - 8, y, " dy=\"0.35em\" text-anchor=\"end\"", num(v));
    }
    text(out, "axis-title", 18, 211, " text-anchor=\"middle\" transform=\"rotate(-90 18 211)\"",
         "beam ticks per frame");
    const auto x_step = static_cast<double>(nice_step(p.b.x1() - p.b.x0(), 8));
    for (double v = std::ceil(p.b.x0() / x_step) * x_step; v <= p.b.x1(); v += x_step) {
        line(out, "tick", p.x(v), PLOT_BOTTOM, p.x(v), PLOT_BOTTOM + 5);
        text(out, "x-tick", p.x(v), PLOT_BOTTOM + 19, " text-anchor=\"middle\"",
             num(std::llround(v)));
    }
    text(out, "axis-title", (PLOT_LEFT + PLOT_RIGHT) / 2, 404, " text-anchor=\"middle\"", "frame");
}

// Each pass is a staircase of the stack up to its top, the highest first, so
// the lower passes cover the rest. A step ends where the next frame begins.
void passes(std::string &out, const plot_t &p)
{
    const std::vector<frame_budget_t> &kept = p.b.columns();
    for (std::size_t k = BEAM_PASS_COUNT; k-- > 0;) {
        const auto stack = [k](const frame_budget_t &f) {
            return std::accumulate(f.by_pass.begin(), f.by_pass.begin() + k + 1, 0u);
        };
        out += "<path class=\"pass\" fill=\"" + std::string(PASS_COLOR[k]) + "\" d=\"M" +
               px(PLOT_LEFT) + ' ' + px(PLOT_BOTTOM);
        for (std::size_t i = 0; i < kept.size(); ++i) {
            const bool more = i + 1 < kept.size();
            if (more && stack(kept[i + 1]) == stack(kept[i]))
                continue; // one step for a flat stretch
            const double end =
                more ? p.x(static_cast<double>(kept[i + 1].frame) - p.b.step() / 2) : PLOT_RIGHT;
            out += 'V' + px(p.y(stack(kept[i]))) + 'H' + px(end);
        }
        out += 'V' + px(PLOT_BOTTOM) + "Z\"/>\n";
    }
}

// The limit's label and the busiest frame's label go to opposite halves.
void limit_and_busiest(std::string &out, const plot_t &p)
{
    const frame_budget_t &f = p.b.busiest();
    const double x = p.x(static_cast<double>(f.frame)), y = p.y(f.total);
    const bool left = x < (PLOT_LEFT + PLOT_RIGHT) / 2;
    const double limit_y = p.y(p.b.limit());
    line(out, "limit", PLOT_LEFT, limit_y, PLOT_RIGHT, limit_y);
    text(out, "limit-label", left ? PLOT_RIGHT - 4 : PLOT_LEFT + 4, limit_y - 5,
         left ? " text-anchor=\"end\"" : "", num(p.b.limit()) + "-tick limit");

    out += "<circle class=\"busiest\" cx=\"" + px(x) + "\" cy=\"" + px(y) + "\" r=\"3.5\"/>\n";
    line(out, "leader", x, y - 4, x, y - 14);
    const std::string look = std::string(f.total > p.b.limit() ? " fill=\"#c00\"" : "") +
                             (left ? "" : " text-anchor=\"end\"");
    text(out, "busiest", left ? x - 6 : x + 6, y - 18, look,
         "frame " + num(f.frame) + ": " + num(f.total) + " ticks");
}

// Stack order from the top, so the legend reads like the picture, with each
// pass's average ticks per frame and its share of all ticks, both rounded
// half up; the costliest in bold.
void legend(std::string &out, const plot_t &p)
{
    const std::array<std::uint64_t, BEAM_PASS_COUNT> &sum = p.b.sums();
    const std::uint64_t all = std::accumulate(sum.begin(), sum.end(), std::uint64_t{0});
    const auto costliest =
        static_cast<std::size_t>(std::max_element(sum.begin(), sum.end()) - sum.begin());
    const std::uint64_t n = p.b.count();

    text(out, "legend-head", LEGEND_LEFT, PLOT_TOP + 4, "", "pass");
    text(out, "legend-head", LEGEND_RIGHT, PLOT_TOP + 4, " text-anchor=\"end\"",
         "avg ticks (share)");
    for (std::size_t row = 0; row < BEAM_PASS_COUNT; ++row) {
        const std::size_t k = BEAM_PASS_COUNT - 1 - row;
        const double y = PLOT_TOP + 28 + 24 * static_cast<double>(row);
        const std::uint64_t avg = (2 * sum[k] + n) / (2 * n);
        const std::uint64_t share = all == 0 ? 0 : (200 * sum[k] + all) / (2 * all);
        const std::string weight = k == costliest && all > 0 ? " font-weight=\"bold\"" : "";
        out += "<g class=\"legend-entry\"><rect x=\"" + px(LEGEND_LEFT) + "\" y=\"" + px(y - 10) +
               "\" width=\"12\" height=\"12\" fill=\"" + PASS_COLOR[k] + "\"/>";
        text(out, "legend-name", LEGEND_LEFT + 18, y, weight, BEAM_PASS_NAMES[k]);
        text(out, "legend-value", LEGEND_RIGHT, y, weight + " text-anchor=\"end\"",
             num(avg) + " (" + num(share) + "%)");
        out += "</g>\n";
    }
}

} // namespace

std::string budget_csv_header()
{
    std::string out = "frame,total";
    for (const char *name : BEAM_PASS_NAMES)
        out += std::string(",") + name;
    return out + '\n';
}

void append_budget_csv_line(std::string &out, const frame_budget_t &f)
{
    out += num(f.frame) + ',' + num(f.total);
    for (const std::uint16_t ticks : f.by_pass)
        out += ',' + num(ticks);
    out += '\n';
}

std::string budget_csv(const std::vector<frame_budget_t> &frames)
{
    std::string out = budget_csv_header();
    for (const frame_budget_t &f : frames)
        append_budget_csv_line(out, f);
    return out;
}

// Frames centred on their number, each a step wide.
budget_plot_t::budget_plot_t(std::int64_t first, std::int64_t last, std::int64_t step,
                             std::uint16_t limit)
    : x0_(static_cast<double>(first) - static_cast<double>(step) / 2),
      x1_(static_cast<double>(last) + static_cast<double>(step) / 2),
      step_(static_cast<double>(step)), limit_(limit)
{
    if (step < 1 || last < first)
        throw std::invalid_argument("budget_svg: a step below 1, or the last frame first");
}

double budget_plot_t::x(double frame) const
{
    return PLOT_LEFT + (frame - x0_) * (PLOT_RIGHT - PLOT_LEFT) / (x1_ - x0_);
}

// At most one frame per pixel column, the busiest (the earliest of a tie):
// long runs stay small and no peak is lost.
void budget_plot_t::add(const frame_budget_t &f)
{
    if (count_ == 0)
        front_ = f.frame;
    back_ = f.frame;
    if (count_ == 0 || f.total > busiest_.total)
        busiest_ = f;
    ++count_;
    over_ += f.total > limit_;
    for (std::size_t k = 0; k < BEAM_PASS_COUNT; ++k)
        sums_[k] += f.by_pass[k];
    const double c = std::floor(x(static_cast<double>(f.frame)));
    if (columns_.empty() || c != column_)
        columns_.push_back(f);
    else if (f.total > columns_.back().total)
        columns_.back() = f;
    column_ = c;
}

std::string budget_plot_t::svg() const
{
    if (count_ == 0)
        throw std::invalid_argument("budget_svg: no frames");
    const plot_t p = make_plot(*this);
    std::string out = HEAD;
    title(out, p);
    axes(out, p);
    passes(out, p);
    line(out, "axis", PLOT_LEFT, PLOT_TOP, PLOT_LEFT, PLOT_BOTTOM);
    line(out, "axis", PLOT_LEFT, PLOT_BOTTOM, PLOT_RIGHT, PLOT_BOTTOM);
    limit_and_busiest(out, p);
    legend(out, p);
    return out + "</svg>\n";
}

std::string budget_svg(const std::vector<frame_budget_t> &frames, std::int64_t step,
                       std::uint16_t limit)
{
    if (frames.empty() || step < 1)
        throw std::invalid_argument("budget_svg: no frames, or a step below 1");
    budget_plot_t plot(frames.front().frame, frames.back().frame, step, limit);
    for (const frame_budget_t &f : frames)
        plot.add(f);
    return plot.svg();
}
