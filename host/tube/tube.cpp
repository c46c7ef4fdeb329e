#include "host/tube/tube.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/image/screen_color.h"

namespace {

// The exposure of --brightness 1, per tick per square screen point: a single
// point of one tick shows at about half the phosphor's response, a wall at
// a quarter of a tick per point still clearly.
constexpr double BASE_EXPOSURE = 3.0;

// The brightest light the game shows at a pixel, in ticks per square
// point: about 2 at 256 pixels and 7 at 2048 with the sharpest focus (a
// text stroke the beam passes more than once); with room for frames of
// different lengths, whose shown shares differ.
constexpr double SHOWN_LIGHT_MAX = 16.0;

// An exposure that changes no colour by a step: the tone map's steepest
// colour, green at black, rises 255 * 12.92 * ln 2 = 2284 steps per unit of
// exposure, so this is about half a step.
constexpr double EXPOSURE_UNSEEN = 1.0 / (1 << 12);

} // namespace

// The same disc as the exact picture's, measured in points from each
// pixel's centre; at 256 pixels it is that picture's disc.
tube_t::span_t tube_t::disc_span(int size, int j)
{
    const double per_point = static_cast<double>(size) / SCREEN_SIDE;
    const double dy = 255.0 - ((j + 0.5) / per_point - 0.5) - SCREEN_SIDE / 2;
    int lo = size;
    int hi = 0;
    for (int i = 0; i < size; ++i) {
        const double dx = (i + 0.5) / per_point - 0.5 - SCREEN_SIDE / 2;
        if (dx * dx + dy * dy <= SCREEN_DISC_LIMIT) {
            lo = std::min(lo, i);
            hi = i + 1;
        }
    }
    return {std::min(lo, hi), hi};
}

tube_t::tube_t(const tube_settings_t &settings)
    : settings_(settings), light_(settings.size, settings.focus), bloom_(settings.size),
      smooth_(tube_palette_t::smooth), gif_(tube_palette_t::gif)
{
}

beam_listener_t tube_t::listener()
{
    return {this, &tube_t::on_tick, &tube_t::on_frame_begin, &tube_t::on_frame_end, true};
}

void tube_t::on_tick(void *tube, const beam_tick_t &tick)
{
    static_cast<tube_t *>(tube)->hear(tick);
}

void tube_t::on_frame_begin(void *tube, const beam_frame_t &)
{
    static_cast<tube_t *>(tube)->begin_frame();
}

void tube_t::on_frame_end(void *tube, const beam_frame_end_t &end)
{
    static_cast<tube_t *>(tube)->end_frame(end.budget->total);
}

void tube_t::begin_frame()
{
    if (!any_frame_)
        return;
    const double decay = decay_of(ticks_);
    light_.decay(decay);
    if (period_.stage == light_period_t::stage_t::learning)
        period_.kept *= decay;
}

void tube_t::end_frame(int ticks)
{
    any_frame_ = true;
    ticks_ = ticks;
    if (period_.stage == light_period_t::stage_t::learning &&
        ++period_.frames_heard == period_.prefix_frames) {
        period_.prefix = light_;
        period_.prefix_kept = period_.kept;
        period_.prefix_ticks = ticks_;
    }
}

void tube_t::begin_period(int prefix_frames)
{
    period_.stage = light_period_t::stage_t::learning;
    period_.prefix_frames = prefix_frames;
    period_.frames_heard = 0;
    period_.kept = 1.0;
    period_.base_ticks = ticks_;
    period_.base = light_;
    light_.clear();
    period_.prefix = light_;
    period_.prefix_kept = 1.0;
    period_.prefix_ticks = ticks_;
}

void tube_t::end_period()
{
    period_.stage = light_period_t::stage_t::learned;
    period_.added = light_;
}

void tube_t::leap(std::int64_t periods, bool prefix)
{
    const light_period_t &p = period_;
    // D^k, and 1 + D + ... + D^(k-1) = (1 - D^k) / (1 - D); D < 1 whenever
    // light decays at all.
    const double kept = std::pow(p.kept, static_cast<double>(periods));
    const double sum = p.kept < 1.0 ? (1.0 - kept) / (1.0 - p.kept) : static_cast<double>(periods);
    const double after = prefix ? p.prefix_kept : 1.0;
    if (prefix)
        light_ = *p.prefix;
    else
        light_.clear();
    light_.add_light(*p.base, after * kept);
    light_.add_light(*p.added, after * sum);
    ticks_ = prefix ? p.prefix_ticks : p.base_ticks;
    any_frame_ = true;
}

void tube_t::hear(const beam_tick_t &tick)
{
    if (!tick.lit)
        return;
    if (tick.joined)
        light_.add_line(tick.from_x, tick.from_y, tick.x, tick.y, TUBE_TICK_ENERGY);
    else
        light_.add_spot(tick.x, tick.y, TUBE_TICK_ENERGY);
}

double tube_t::decay_of(int ticks) const
{
    return decay_after(tube_frame_ms(settings_, ticks), settings_.persistence_ms);
}

double tube_t::shown_share() const { return 1.0 - decay_of(ticks_); }

double tube_t::shown_energy() const { return light_.energy() * shown_share(); }

std::int64_t tube_t::history_frames(const tube_settings_t &settings)
{
    if (settings.persistence_ms <= 0.0)
        return 0;
    // Light older than this many half-lives shows less than EXPOSURE_UNSEEN
    // even where it was brightest, halo included.
    const double brightest =
        BASE_EXPOSURE * settings.brightness * (1.0 + settings.glow) * SHOWN_LIGHT_MAX;
    const double half_lives = std::max(0.0, std::log2(brightest / EXPOSURE_UNSEEN));
    const double shortest_ms = tube_frame_ms(settings, TUBE_FRAME_TICKS_MIN);
    return static_cast<std::int64_t>(std::ceil(half_lives * settings.persistence_ms / shortest_ms));
}

const rgb_image_t &tube_t::picture(tube_palette_t palette)
{
    const int size = settings_.size;
    const tone_map_t &tone = palette == tube_palette_t::gif ? gif_ : smooth_;
    const float exposure = static_cast<float>(BASE_EXPOSURE * settings_.brightness * shown_share() *
                                              light_.stored_scale());
    const float glow = static_cast<float>(settings_.glow) * exposure;
    const bool halo = glow > 0.0f;
    if (halo)
        bloom_.build(light_);
    if (spans_.empty())
        start_picture();

    const std::array<std::uint8_t, 3> outside = SCREEN_OUTSIDE;
    float *h = halo_row_.data();
    float *x = exposure_row_.data();
    for (int j = 0; j < size; ++j) {
        std::uint8_t *out = &image_.rgb[std::size_t(3) * size * j];
        const auto [lo, hi] = spans_[std::size_t(j)];
        const float *light = light_.row(j);
        if (halo) {
            bloom_.halo_row(j, h);
            for (int i = lo; i < hi; ++i)
                x[i] = exposure * light[i] + glow * h[i];
        } else {
            for (int i = lo; i < hi; ++i)
                x[i] = exposure * light[i];
        }
        tone.paint(x + lo, hi - lo, out + 3 * lo);
        for (int i = 0; i < lo; ++i)
            std::memcpy(out + 3 * i, outside.data(), 3);
        for (int i = hi; i < size; ++i)
            std::memcpy(out + 3 * i, outside.data(), 3);
    }
    return image_;
}

void tube_t::start_picture()
{
    const int size = settings_.size;
    for (int j = 0; j < size; ++j)
        spans_.push_back(disc_span(size, j));
    halo_row_.resize(bloom_.row_room());
    exposure_row_.resize(std::size_t(size));
    image_ = {size, size, std::vector<std::uint8_t>(std::size_t(3) * size * size)};
}
