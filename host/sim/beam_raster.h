// The simulator's beam, a component with its state in one record: it counts
// each frame's ticks against the limit and books them to the painter's
// passes, tells which lit points the display joins along a wall, and hands
// every beam operation of a heard frame, as it happens, to the listeners
// registered with it. It never prints or exits: a tick the display cannot
// draw becomes a fault in the record, after which the frame is heard no
// more, and the frame loop returns it. The beam operations take no context,
// so there is one raster, `raster`.
#pragma once

#include <array>
#include <cstdint>

#include "host/sim/beam_budget.h"
#include "host/sim/beam_fault.h"
#include "host/sim/beam_listener.h"
#include "snake/beam_port.h"
#include "snake/snake.h"

inline constexpr std::size_t RASTER_LISTENERS_MAX = 8;

struct raster_t {
    const snake_t *game = nullptr;          // the record whose painter state tells walls and passes
    std::int64_t frame = 0;                 // the number of the frame being played
    frame_use_t use = frame_use_t::unheard; // what the frame is played for
    std::int32_t skip = 0;                  // the next lit point is not joined to the last
    std::uint8_t last_x = 0;                // last lit point of a heard frame
    std::uint8_t last_y = 0;
    std::array<std::uint16_t, BEAM_PASS_COUNT> by_pass{}; // this frame's ticks by pass
    beam_fault_t fault{};           // what broke the frame off; kind none while it goes on
    std::size_t listener_count = 0; // listeners[0 .. listener_count) are told
    std::array<beam_listener_t, RASTER_LISTENERS_MAX> listeners{};
};

extern raster_t raster;

// The game whose beam operations come next.
void raster_watch(const snake_t *game);

// Before each frame: its number and what it is played for. A heard frame
// starts on a cleared last point, as in a process that records its first
// frame; the skip flag carries over as it would.
void raster_begin_frame(std::int64_t number, frame_use_t use);

// After the frame's last pixel call, or the one that broke it off: its
// listeners hear its end; returns its budget.
frame_budget_t raster_end_frame();

// One pixel call of the game being painted on the raster; returns whether
// the frame is over: finished by the painter, or broken off by a fault. For
// a driver that shows a frame tick by tick; nothing after a fault is heard
// or counted, so a driver may as well paint the frame to its end.
bool raster_paint_step(snake_t *game);

// Registers a listener for the frames it hears; false when the table is full.
[[nodiscard]] bool raster_listen(const beam_listener_t &listener);
void raster_forget(void *context);

// A listener registered for the lifetime of the object.
class beam_listening_t {
  public:
    explicit beam_listening_t(const beam_listener_t &listener)
        : context_(listener.context), listening_(raster_listen(listener))
    {
    }
    ~beam_listening_t() { raster_forget(context_); }
    beam_listening_t(const beam_listening_t &) = delete;
    beam_listening_t &operator=(const beam_listening_t &) = delete;
    bool listening() const { return listening_; }

  private:
    void *context_;
    bool listening_;
};

// What the raster carries from one frame into the next that a later frame can
// depend on: the skip flag, and the tick count that the painter tests when a
// frame starts. The last point is not part of it: it is cleared before every
// heard frame and neither read nor written in the others.
struct raster_carry_t {
    std::int32_t skip;
    std::uint16_t tick;

    friend bool operator==(const raster_carry_t &, const raster_carry_t &) = default;
};

raster_carry_t raster_carry();

// The pass a tick sent now belongs to.
beam_pass_t current_pass();
