// The beam budget of one frame: the ticks it sent, in total and per pass of
// the painter. A developer of the module lives with the 2000-tick limit;
// this is how close each frame comes to it and which pass spends the most.
#pragma once

#include <array>
#include <cstdint>

// The beam ticks a frame may use; one more ends the run.
inline constexpr std::uint16_t BEAM_TICK_LIMIT = 2000;

// Beam ticks per second of the device's beam timer, which is not known here:
// by default the 2000-tick budget fills a frame of 50 a second. The pace of
// the beam as sound, and the time a frame lasts for the tube's phosphor.
inline constexpr int BEAM_TICK_RATE_MIN = 1000;
inline constexpr int BEAM_TICK_RATE_MAX = 1000000;
inline constexpr int BEAM_TICK_RATE_DEFAULT = 100000;

// Passes in the order the painter draws them; `end` is the frame-end dark tick.
enum class beam_pass_t : std::uint8_t { texts, walls, food, head, body, end };

inline constexpr std::size_t BEAM_PASS_COUNT = 6;
inline constexpr std::array<const char *, BEAM_PASS_COUNT> BEAM_PASS_NAMES = {
    "texts", "walls", "food", "head", "body", "end"};

struct frame_budget_t {
    std::int64_t frame = 0;  // the frame number pc-snake prints for it (1 = first)
    std::uint16_t total = 0; // ticks sent; more than 2000 only in a frame that aborted
    std::array<std::uint16_t, BEAM_PASS_COUNT> by_pass{}; // indexed by beam_pass_t
};
