#include "host/render/trace_scene.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

#include "host/render/pass_colors.h"
#include "host/sim/filled_points.h"
#include "host/sim/hex_byte.h"

namespace {

constexpr int MARGIN = 16;
constexpr int SCREEN_PX = SCREEN_SIDE * TRACE_POINT_PX;
constexpr int LEGEND_LEFT = MARGIN + SCREEN_PX + 32;
constexpr int CANVAS_W = LEGEND_LEFT + 400;
constexpr int CANVAS_H = MARGIN + SCREEN_PX + MARGIN;
constexpr double LINE_PX = 24; // legend lines

// The disc that on_screen() lets through: 126 units about (128, 128), and
// room for the dots on its rim.
constexpr double SCREEN_RADIUS_PX = 126.0 * TRACE_POINT_PX + 2;

constexpr const char *PATH_COLOR = "#b8b8b8";
constexpr const char *MOVE_COLOR = "#707070";
constexpr const char *TEXT_COLOR = "#222222";
constexpr const char *SCREEN_COLOR = "#f4f4f4";

using point_t = std::pair<std::uint8_t, std::uint8_t>;

const char *pass_name(beam_pass_t pass) { return BEAM_PASS_NAMES[static_cast<std::size_t>(pass)]; }
const char *pass_color(beam_pass_t pass) { return PASS_COLOR[static_cast<std::size_t>(pass)]; }

std::string tick_title(const beam_tick_t &t)
{
    std::string title = "tick " + std::to_string(t.tick) + ": " + pass_name(t.pass) + " (state " +
                        hex2(t.state) + "), ";
    if (!t.lit)
        return title + "dark";
    return title + "lit at (" + std::to_string(t.x) + ", " + std::to_string(t.y) + ")";
}

// The shapes of the beam's path, by layer, drawn in the order of the fields.
struct layers_t {
    std::vector<shape_t> lines, filled, dark, lit;
};

void add_filled(layers_t *l, const beam_tick_t &t)
{
    for_each_filled_point(t, [l](std::uint8_t x, std::uint8_t y) {
        l->filled.push_back({.kind = shape_kind_t::filled,
                             .x = trace_x(x),
                             .y = trace_y(y),
                             .colour = pass_color(beam_pass_t::walls)});
    });
}

void add_dark(layers_t *l, const beam_tick_t &t, point_t at)
{
    l->dark.push_back({.kind = shape_kind_t::dark,
                       .x = trace_x(at.first),
                       .y = trace_y(at.second),
                       .colour = pass_color(t.pass),
                       .text = tick_title(t)});
}

layers_t beam_path(const std::vector<beam_tick_t> &ticks)
{
    layers_t l;
    std::optional<point_t> last;
    std::vector<const beam_tick_t *> dark; // since the last lit point
    for (const beam_tick_t &t : ticks) {
        if (!t.lit) {
            dark.push_back(&t);
            continue;
        }
        const point_t here{t.x, t.y};
        add_filled(&l, t);
        if (last)
            l.lines.push_back({.kind = dark.empty() ? shape_kind_t::path : shape_kind_t::move,
                               .x = trace_x(last->first),
                               .y = trace_y(last->second),
                               .x2 = trace_x(t.x),
                               .y2 = trace_y(t.y),
                               .colour = dark.empty() ? PATH_COLOR : MOVE_COLOR});
        for (const beam_tick_t *d : dark)
            add_dark(&l, *d, here); // where the beam goes once it is lit again
        dark.clear();
        l.lit.push_back({.kind = shape_kind_t::lit,
                         .x = trace_x(t.x),
                         .y = trace_y(t.y),
                         .colour = pass_color(t.pass),
                         .text = tick_title(t)});
        last = here;
    }
    for (const beam_tick_t *d : dark) // the frame's last ticks: the beam stays where it was
        if (last)
            add_dark(&l, *d, *last);
    return l;
}

std::string hundredths_text(long n)
{
    const std::string frac = std::to_string(100 + n % 100).substr(1);
    return std::to_string(n / 100) + "." + frac;
}

// The share of the budget in per cent, to two places.
std::string share_text(long ticks)
{
    return hundredths_text((ticks * 10000 + BEAM_TICK_LIMIT / 2) / BEAM_TICK_LIMIT);
}

struct legend_t {
    std::vector<shape_t> *out;
    double y = MARGIN + 40;

    void text(double x, const std::string &words, bool right = false, bool large = false)
    {
        out->push_back({.kind = shape_kind_t::text,
                        .x = x,
                        .y = y,
                        .colour = TEXT_COLOR,
                        .text = words,
                        .right = right,
                        .large = large});
    }
    void next(double lines = 1) { y += LINE_PX * lines; }
};

constexpr double COL_NAME = LEGEND_LEFT + 24;
constexpr double COL_TICKS = LEGEND_LEFT + 190;
constexpr double COL_LIT = LEGEND_LEFT + 260;
constexpr double COL_SHARE = LEGEND_LEFT + 370;

void budget_rows(legend_t *g, const std::vector<beam_tick_t> &ticks)
{
    std::array<long, BEAM_PASS_COUNT> all{};
    std::array<long, BEAM_PASS_COUNT> lit{};
    for (const beam_tick_t &t : ticks) {
        ++all[static_cast<std::size_t>(t.pass)];
        lit[static_cast<std::size_t>(t.pass)] += t.lit;
    }
    g->text(COL_NAME, "pass");
    g->text(COL_TICKS, "ticks", true);
    g->text(COL_LIT, "lit", true);
    g->text(COL_SHARE, "per cent", true);
    g->next();
    long total = 0;
    long total_lit = 0;
    for (std::size_t k = 0; k < BEAM_PASS_COUNT; ++k) {
        g->out->push_back({.kind = shape_kind_t::swatch,
                           .x = LEGEND_LEFT,
                           .y = g->y - 13,
                           .x2 = LEGEND_LEFT + 14,
                           .y2 = g->y + 1,
                           .colour = PASS_COLOR[k]});
        g->text(COL_NAME, BEAM_PASS_NAMES[k]);
        g->text(COL_TICKS, std::to_string(all[k]), true);
        g->text(COL_LIT, std::to_string(lit[k]), true);
        g->text(COL_SHARE, share_text(all[k]), true);
        total += all[k];
        total_lit += lit[k];
        g->next();
    }
    g->text(COL_NAME, "total");
    g->text(COL_TICKS, std::to_string(total), true);
    g->text(COL_LIT, std::to_string(total_lit), true);
    g->text(COL_SHARE, share_text(total), true);
    g->next();
    g->text(COL_NAME, "of the " + std::to_string(BEAM_TICK_LIMIT) + "-tick budget");
}

// What the marks mean, each beside a sample of itself.
void key_rows(legend_t *g)
{
    const double x = LEGEND_LEFT + 8;
    const auto sample = [g](shape_kind_t kind, double x1, double y1, double x2, double y2,
                            const char *colour) {
        g->out->push_back(
            {.kind = kind, .x = x1, .y = y1, .x2 = x2, .y2 = y2, .colour = colour, .key = true});
    };
    sample(shape_kind_t::lit, x + 0.5, g->y - 4.5, 0, 0, pass_color(beam_pass_t::body));
    g->text(COL_NAME, "lit point, by its pass");
    g->next();
    sample(shape_kind_t::path, x - 8.5, g->y - 4.5, x + 8.5, g->y - 4.5, PATH_COLOR);
    g->text(COL_NAME, "to the next lit point");
    g->next();
    sample(shape_kind_t::dark, x + 0.5, g->y - 4.5, 0, 0, pass_color(beam_pass_t::texts));
    g->text(COL_NAME, "dark tick, at the point");
    g->next();
    g->text(COL_NAME, "the beam goes to next");
    g->next();
    sample(shape_kind_t::move, x - 8.5, g->y - 4.5, x + 8.5, g->y - 4.5, MOVE_COLOR);
    g->text(COL_NAME, "blanked move");
    g->next();
    sample(shape_kind_t::filled, x + 0.5, g->y - 4.5, 0, 0, pass_color(beam_pass_t::walls));
    g->text(COL_NAME, "filled in along a wall");
    g->next();
    g->text(COL_NAME, "by the display");
}

void legend(std::vector<shape_t> *out, const trace_frame_t &frame)
{
    legend_t g{out};
    g.text(LEGEND_LEFT, "Beam trace", false, true);
    g.next(1.5);
    g.text(LEGEND_LEFT,
           "level " + std::to_string(frame.level) + ", frame " + std::to_string(frame.frame));
    g.next();
    const std::size_t n = frame.ticks.size();
    if (n > BEAM_TICK_LIMIT)
        g.text(LEGEND_LEFT, "over the budget at tick " + std::to_string(n));
    else
        g.text(LEGEND_LEFT, std::to_string(n) + " beam ticks");
    g.next(2);
    budget_rows(&g, frame.ticks);
    g.next(2);
    key_rows(&g);
}

void append(std::vector<shape_t> *to, std::vector<shape_t> &&from)
{
    for (shape_t &s : from)
        to->push_back(std::move(s));
}

} // namespace

double trace_x(std::uint8_t x) { return MARGIN + TRACE_POINT_PX * x + 1.5; }
double trace_y(std::uint8_t y) { return MARGIN + TRACE_POINT_PX * (SCREEN_SIDE - 1 - y) + 1.5; }

trace_scene_t trace_scene(const trace_frame_t &frame)
{
    trace_scene_t scene{CANVAS_W, CANVAS_H, {}};
    scene.shapes.push_back({.kind = shape_kind_t::screen,
                            .x = trace_x(128),
                            .y = trace_y(128),
                            .x2 = SCREEN_RADIUS_PX,
                            .colour = SCREEN_COLOR});
    layers_t path = beam_path(frame.ticks);
    append(&scene.shapes, std::move(path.lines));
    append(&scene.shapes, std::move(path.filled));
    append(&scene.shapes, std::move(path.dark));
    append(&scene.shapes, std::move(path.lit));
    legend(&scene.shapes, frame);
    return scene;
}
