// The beam as stereo XY sound for the page's audio worklet: the frames asked
// for, each once it is finished (one that broke off never sounds), turned
// into samples by the core's signal, sample for sample snake-render's --wav
// at the same rate, tick rate and gain.
#pragma once

// Registers the listener; once, when the module starts.
void web_sound_listen();

extern "C" {
// A new signal from the next frame on: samples a second, beam ticks a
// second, the gain on X and Y (0 to 1).
void web_sound_start(int rate, int tick_rate, double gain);
void web_sound_stop();
// Samples made and not yet taken: X then Y, web_sound_count() floats.
const float *web_sound_samples();
int web_sound_count();
void web_sound_take();
// The end of the run: dark ticks still held back wait at the last lit point.
void web_sound_finish();
}
