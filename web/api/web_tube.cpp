#include "web/api/web_tube.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "host/tube/tube.h"
#include "web/api/web_export.h"

namespace {

// The tone map's steps (host/tube/tone_map.h): 1024 per doubling of the
// exposure from 2^-14 to 2^6.
constexpr int TONE_SHIFT = 23 - 10;
constexpr int TONE_FIRST = (127 - 14) << 10;
constexpr int TONE_STEPS = 20 << 10;

std::unique_ptr<tube_t> tube;
std::optional<beam_listening_t> listening;
std::vector<std::uint8_t> rgba;
std::vector<std::uint8_t> tone_table;
std::vector<float> profile;
int profile_taps = 0;

// One axis's rows of web_profile.
void add_axis(const beam_profile_t &axis, float *out)
{
    const int taps = axis.taps();
    for (int c = 0; c < SCREEN_SIDE; ++c) {
        const auto coordinate = static_cast<std::uint8_t>(c);
        const int first = axis.first(coordinate);
        *out++ = static_cast<float>(first);
        for (int t = 0; t < taps; ++t)
            *out++ = axis.spot(coordinate)[t];
        for (int t = 0; t < taps; ++t)
            *out++ = axis.edge(coordinate, first + t);
    }
}

} // namespace

WEB_EXPORT("web_tube_cpu")
int web_tube_cpu(int size, double focus, double brightness, double persistence_ms, double glow)
{
    web_tube_cpu_off();
    tube_settings_t s;
    s.size = size;
    s.focus = focus;
    s.brightness = brightness;
    s.persistence_ms = persistence_ms;
    s.glow = glow;
    tube = std::make_unique<tube_t>(s);
    listening.emplace(tube->listener());
    return listening->listening() ? 0 : 1;
}

WEB_EXPORT("web_tube_cpu_off") void web_tube_cpu_off()
{
    listening.reset();
    tube.reset();
}

WEB_EXPORT("web_tube_rgba") const unsigned char *web_tube_rgba()
{
    if (!tube)
        return nullptr;
    const rgb_image_t &picture = tube->picture();
    const std::size_t pixels = picture.rgb.size() / 3;
    rgba.resize(4 * pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        rgba[4 * i] = picture.rgb[3 * i];
        rgba[4 * i + 1] = picture.rgb[3 * i + 1];
        rgba[4 * i + 2] = picture.rgb[3 * i + 2];
        rgba[4 * i + 3] = 255;
    }
    return rgba.data();
}

WEB_EXPORT("web_tube_history") int web_tube_history(double persistence_ms)
{
    tube_settings_t s;
    s.persistence_ms = persistence_ms;
    return static_cast<int>(tube_t::history_frames(s));
}

WEB_EXPORT("web_tone_table") const unsigned char *web_tone_table()
{
    if (tone_table.empty()) {
        const tone_map_t tone(tube_palette_t::smooth);
        tone_table.resize(4 * std::size_t{TONE_STEPS});
        for (int i = 0; i < TONE_STEPS; ++i) {
            // The middle of the step: the colour the table holds for all of it.
            const std::uint32_t bits =
                (std::uint32_t(i + TONE_FIRST) << TONE_SHIFT) | (1u << (TONE_SHIFT - 1));
            const auto rgb = tone.color(std::bit_cast<float>(bits));
            for (int c = 0; c < 3; ++c)
                tone_table[4 * std::size_t(i) + c] = rgb[std::size_t(c)];
            tone_table[4 * std::size_t(i) + 3] = 255;
        }
    }
    return tone_table.data();
}

WEB_EXPORT("web_tone_steps") int web_tone_steps() { return TONE_STEPS; }

WEB_EXPORT("web_profile") const float *web_profile(int size, double focus)
{
    // As phosphor_t lays its two axes out.
    const double scale = size / 256.0;
    const beam_profile_t across(0.5 * scale, scale, focus * scale);
    const beam_profile_t down(255.5 * scale, -scale, focus * scale);
    profile_taps = across.taps();
    const std::size_t row = 1 + 2 * std::size_t(profile_taps);
    profile.resize(2 * SCREEN_SIDE * row);
    add_axis(across, profile.data());
    add_axis(down, profile.data() + SCREEN_SIDE * row);
    return profile.data();
}

WEB_EXPORT("web_profile_taps") int web_profile_taps() { return profile_taps; }
