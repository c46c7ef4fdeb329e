// The last frame asked for, as the raster's listeners hear it: its afterglow
// and its budget. Listens for the life of the object.
#pragma once

#include <memory>
#include <vector>

#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"

struct heard_frame_t {
    afterglow_t glow{};
    frame_budget_t budget{};

    std::vector<double> pixels() const { return {glow.pixel.begin(), glow.pixel.end()}; }

  private:
    static void on_end(void *self, const beam_frame_end_t &end)
    {
        static_cast<heard_frame_t *>(self)->budget = *end.budget;
    }
    beam_listening_t glow_listening_{afterglow_listener(&glow)};
    beam_listening_t budget_listening_{{this, nullptr, nullptr, on_end}};
};
