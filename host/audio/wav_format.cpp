#include "host/audio/wav_format.h"

#include <algorithm>
#include <cmath>

wav_sample_format_t wav_format_named(const std::string &name)
{
    if (name == WAV_FORMAT_NAMES[1])
        return wav_sample_format_t::pcm24;
    if (name == WAV_FORMAT_NAMES[2])
        return wav_sample_format_t::pcm16;
    return wav_sample_format_t::float32;
}

std::int32_t pcm_code(float value, int bits)
{
    const std::int32_t top = (std::int32_t{1} << (bits - 1)) - 1;
    const long code = std::lround(static_cast<double>(value) * top);
    return static_cast<std::int32_t>(std::clamp<long>(code, -top - 1, top));
}
