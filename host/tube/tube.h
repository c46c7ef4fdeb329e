// The tube look: a raster listener that lets every lit beam tick of a heard
// frame light the phosphor (a spot for a point, a line for a wall join that
// the display fills in), decays the light between frames by the frame's
// time, and makes the picture of the latest frame: the light the phosphor
// gives off during that frame, with its halo, tone mapped into the beam's
// colours inside the round screen. It hears the frames played only for
// their light too: they age the light as the frames shown do. Once the game
// repeats itself it can learn one period's light and leap over whole
// periods, with the light that playing them would leave.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/image/frame_image.h"
#include "host/sim/beam_raster.h"
#include "host/tube/bloom.h"
#include "host/tube/phosphor.h"
#include "host/tube/tone_map.h"
#include "host/tube/tube_settings.h"

// The energy one lit tick leaves, the unit of the light.
inline constexpr float TUBE_TICK_ENERGY = 1.0f;

// Frames never have fewer ticks than this: the score, the level, the snake
// picture and level 1's walls alone take more than 300.
inline constexpr int TUBE_FRAME_TICKS_MIN = 256;

// One period of a game in its cycle as the tube learns it, from the frame
// it starts after (the base): frame f + P is frame f, so the light after
// frame base + k P is D^k L + B (1 - D^k) / (1 - D), with L the light at the
// base, D the share of it that the period keeps, and B the light the
// period's frames leave on a dark screen. The light of the period's first
// frames (the prefix) is kept as well, for a frame within a period.
struct light_period_t {
    enum class stage_t : std::uint8_t { none, learning, learned };
    stage_t stage = stage_t::none;
    int prefix_frames = 0;    // frames of the prefix
    int frames_heard = 0;     // frames of the period heard so far
    double kept = 1.0;        // D: the share the period (so far) keeps of the light before it
    double prefix_kept = 1.0; // the same for the prefix
    int base_ticks = 0;       // the base frame's ticks, and so those of the period's last frame
    int prefix_ticks = 0;     // the prefix's last frame's ticks
    std::optional<phosphor_t> base;   // L
    std::optional<phosphor_t> added;  // B
    std::optional<phosphor_t> prefix; // the prefix's light on a dark screen
};

class tube_t {
  public:
    explicit tube_t(const tube_settings_t &settings);

    // For raster_listen: every frame heard, those played for their light too.
    beam_listener_t listener();
    // The same by hand: a frame begins, its ticks, its end after `ticks` ticks.
    void begin_frame();
    void hear(const beam_tick_t &tick);
    void end_frame(int ticks);

    // The picture of the latest frame heard, size x size pixels, valid until
    // the next. Showing changes nothing: it may be asked for more than once
    // per frame.
    const rgb_image_t &picture(tube_palette_t palette = tube_palette_t::smooth);

    const tube_settings_t &settings() const { return settings_; }
    const phosphor_t &light() const { return light_; }
    // The light given off in the latest frame, in ticks: the stored light
    // times the share that decays during the frame (all of it with no
    // persistence), so a point lit every frame gives off one frame's energy.
    double shown_energy() const;

    // Frames to play, unseen, before a frame whose picture must be as if
    // the game had been shown from its start: by then the light of any
    // earlier frame, however bright, has faded below what could change a
    // colour by a step (0 with no persistence).
    static std::int64_t history_frames(const tube_settings_t &settings);

    // After the frame a period starts from (the base) has been heard: the
    // frames heard from now on light a dark screen until end_period, which
    // follows the period's last frame; the light of its first
    // `prefix_frames` frames is kept too (0 to the period's length).
    void begin_period(int prefix_frames);
    void end_period();
    bool period_learned() const { return period_.stage == light_period_t::stage_t::learned; }
    // The light after `periods` (1 or more) whole periods past the base, and
    // after the prefix's frames as well if `prefix`: as if the frames had
    // been heard, up to rounding. The next frame heard is the one after.
    void leap(std::int64_t periods, bool prefix);

  private:
    static void on_tick(void *tube, const beam_tick_t &tick);
    static void on_frame_begin(void *tube, const beam_frame_t &frame);
    static void on_frame_end(void *tube, const beam_frame_end_t &end);
    double decay_of(int ticks) const; // the light kept after a frame of `ticks`
    double shown_share() const;

    tube_settings_t settings_;
    phosphor_t light_;
    bloom_t bloom_;
    tone_map_t smooth_;
    tone_map_t gif_;
    struct span_t {
        int lo, hi; // the pixels of a row on the screen's disc
    };
    static span_t disc_span(int size, int j);
    std::vector<span_t> spans_; // per row, made with the first picture
    void start_picture();
    std::vector<float> halo_row_;
    std::vector<float> exposure_row_;
    rgb_image_t image_{};
    bool any_frame_ = false; // a frame has ended, whose light decays when the next begins
    int ticks_ = 0;          // the ticks of the last frame that ended
    light_period_t period_;
};
