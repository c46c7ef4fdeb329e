// snake-render: any stretch of the scripted game as PNG, animated GIF or PPM
// in one run, exact or on a glowing tube, or as video, with other key scripts
// and game parameters; the beam budget of every frame, the beam's every tick
// and path, and the beam as XY audio. Options are read here; host/render/
// does the work.
#pragma once

#include <cstdint>

// Bounds on one run's work, for a caller that must stay quick (the fuzzer
// runs the command line in its own process); 0 is no bound.
struct render_bounds_t {
    std::int64_t max_frames = 0; // frames written
};

// snake-render's command line, run: returns the exit status.
int render_command(int argc, char **argv, const render_bounds_t &bounds);
