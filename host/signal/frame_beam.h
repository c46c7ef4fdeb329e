// The beam of the frame being played, tick by tick as the signal takes it:
// a listener on the raster for the life of the object, to the frames asked
// for. Its owner takes a frame once the frame is finished and drops one that
// broke off.
#pragma once

#include <vector>

#include "host/signal/beam_signal.h"
#include "host/sim/beam_raster.h"

class frame_beam_t {
  public:
    frame_beam_t();
    frame_beam_t(const frame_beam_t &) = delete;
    frame_beam_t &operator=(const frame_beam_t &) = delete;

    // The ticks heard since the last clear().
    const std::vector<beam_point_t> &ticks() const { return ticks_; }
    void clear() { ticks_.clear(); }

  private:
    static void on_tick(void *context, const beam_tick_t &tick);

    std::vector<beam_point_t> ticks_;
    beam_listening_t listening_;
};
