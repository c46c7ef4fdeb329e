// The simulator's beam, a component with its state in one record: it counts
// each frame's ticks against the limit and books them to the painter's
// passes; in a recorded frame it lights the afterglow, filling in the points
// between successive wall points, and hands every beam operation, as it
// happens, to the listeners registered with it. The beam operations take no
// context, so there is one raster, `raster`.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>

#include "host/exit_status.h"
#include "host/sim/beam_budget.h"
#include "host/sim/screen.h"
#include "snake/beam_port.h"
#include "snake/snake.h"

inline constexpr double BEAM_WEIGHT_POINT = 0.8;  // a point the module asks for
inline constexpr double BEAM_WEIGHT_FILLED = 0.4; // a point filled in along a wall

// One beam operation, as a listener sees it.
struct beam_tick_t {
    std::int64_t frame;  // pc-snake's number of the frame (1 = the first)
    std::uint16_t tick;  // 1 for the first tick of the frame
    beam_pass_t pass;    // the painter pass that sent it
    std::uint8_t state;  // the painter state (paint_state) at the time
    bool lit;            // a lit point at (x, y); otherwise a dark tick
    std::uint8_t x, y;   // the point as the module gave it; 0 when dark
    bool joined;         // lit along a wall: the display fills in the line from (from_x, from_y)
    std::uint8_t from_x; // the last lit point before, when joined
    std::uint8_t from_y;
};

struct beam_listener_t {
    void (*on_tick)(void *context, const beam_tick_t &tick);
    void *context;
};

inline constexpr std::size_t RASTER_LISTENERS_MAX = 8;

struct raster_t {
    const snake_t *game = nullptr; // the record whose painter state tells walls and passes
    bool recording = false;        // this frame lights the afterglow and reaches the listeners
    std::int32_t skip = 0;         // the next lit point is not joined to the last
    std::uint8_t last_x = 0;       // last recorded lit point
    std::uint8_t last_y = 0;
    frame_budget_t budget{};        // ticks of the current frame by pass
    std::size_t listener_count = 0; // listeners[0 .. listener_count) are told
    std::array<beam_listener_t, RASTER_LISTENERS_MAX> listeners{};
    std::array<double, SCREEN_POINTS> pixel{}; // afterglow 0 to 1, element screen_index(x, y)
};

extern raster_t raster;

// The game whose beam operations come next.
void raster_watch(const snake_t *game);

// Before each frame: its number, and whether it is recorded. A recorded frame
// starts on a clean buffer and last point, as in a process that records its
// first frame; the skip flag carries over as it would.
void raster_begin_frame(std::int64_t number, bool record);

// Registers a listener for the ticks of recorded frames; a full table throws
// std::length_error.
void raster_listen(beam_listener_t listener);
void raster_forget(void *context);

// A listener registered for the lifetime of the object.
class beam_listening_t {
  public:
    explicit beam_listening_t(beam_listener_t listener) : context_(listener.context)
    {
        raster_listen(listener);
    }
    ~beam_listening_t() { raster_forget(context_); }
    beam_listening_t(const beam_listening_t &) = delete;
    beam_listening_t &operator=(const beam_listening_t &) = delete;

  private:
    void *context_;
};

// p <- 1 - (1 - w)(1 - p): repeated hits approach 1 and never pass it.
void heller(std::uint8_t x, std::uint8_t y, double w);

// Thrown once the abort's message is on stderr, so that a driver can keep
// what it has made so far before it ends with `status`.
struct beam_abort_t : std::exception {
    int status;          // EXIT_TICK_LIMIT or EXIT_DIAGONAL_JOIN
    std::int64_t frame;  // the frame that could not be finished
    beam_pass_t pass;    // the pass that sent the offending tick
    std::uint16_t ticks; // ticks the frame had sent, the offending one included
    beam_abort_t(int status_, std::int64_t frame_, beam_pass_t pass_, std::uint16_t ticks_)
        : status(status_), frame(frame_), pass(pass_), ticks(ticks_)
    {
    }
    const char *what() const noexcept override { return "beam abort"; }
};

// The tick-limit abort: its message, then beam_abort_t.
[[noreturn]] void sexit();

// In words, for a driver's own line after the raster's message: "frame 12,
// pass walls", and why ("more than 2000 beam ticks").
std::string abort_place(const beam_abort_t &abort);
std::string abort_reason(const beam_abort_t &abort);

// What the raster carries from one frame into the next that a later frame can
// depend on: the skip flag, and the tick count that the painter tests when a
// frame starts. The last point is not part of it: it is cleared before every
// recorded frame and neither read nor written in the others.
struct raster_carry_t {
    std::int32_t skip;
    std::uint16_t tick;

    friend bool operator==(const raster_carry_t &, const raster_carry_t &) = default;
};

raster_carry_t raster_carry();

// The pass a tick sent now belongs to.
beam_pass_t current_pass();
