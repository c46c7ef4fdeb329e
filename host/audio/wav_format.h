// A WAV's sample formats as the options name them, and the PCM code of a
// sample value: what the programs and the WAV module agree on without
// libsndfile.
#pragma once

#include <cstdint>
#include <string>

enum class wav_sample_format_t { float32, pcm24, pcm16 };

// "float", "pcm24", "pcm16": the names the options take.
inline constexpr const char *WAV_FORMAT_NAMES[] = {"float", "pcm24", "pcm16"};
wav_sample_format_t wav_format_named(const std::string &name); // one of WAV_FORMAT_NAMES

// The PCM code of a value in -1 to 1 for a sample of `bits` (16 or 24).
std::int32_t pcm_code(float value, int bits);

// The data a WAV file holds: its sizes are 32 bits, and the room left for
// the header is generous.
inline constexpr std::uint64_t WAV_DATA_MAX = 0xFFFFFFFFull - 4096;
