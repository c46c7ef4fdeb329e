#include "host/audio/wav_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

// The RIFF sizes are 32 bits; the room left for the header is generous.
constexpr std::uint64_t WAV_DATA_MAX = 0xFFFFFFFFull - 4096;

// A file in memory that libsndfile writes, seeks in and reads like a disk file.
struct memory_file_t {
    std::vector<std::uint8_t> bytes;
    sf_count_t at = 0;
};

memory_file_t &file_of(void *user) { return *static_cast<memory_file_t *>(user); }

sf_count_t file_length(void *user) { return static_cast<sf_count_t>(file_of(user).bytes.size()); }

sf_count_t file_seek(sf_count_t offset, int whence, void *user)
{
    memory_file_t &f = file_of(user);
    const sf_count_t base = whence == SEEK_CUR ? f.at : whence == SEEK_END ? file_length(user) : 0;
    if (base + offset < 0)
        return -1;
    f.at = base + offset;
    return f.at;
}

sf_count_t file_read(void *to, sf_count_t count, void *user)
{
    memory_file_t &f = file_of(user);
    const sf_count_t n = std::clamp<sf_count_t>(file_length(user) - f.at, 0, count);
    if (n > 0)
        std::memcpy(to, f.bytes.data() + f.at, static_cast<std::size_t>(n));
    f.at += n;
    return n;
}

sf_count_t file_write(const void *from, sf_count_t count, void *user)
{
    memory_file_t &f = file_of(user);
    const auto *bytes = static_cast<const std::uint8_t *>(from);
    const auto at = static_cast<std::size_t>(f.at);
    const auto n = static_cast<std::size_t>(count);
    const std::size_t over = std::min(n, f.bytes.size() - std::min(at, f.bytes.size()));
    if (at > f.bytes.size())
        f.bytes.resize(at);
    if (over > 0)
        std::memcpy(f.bytes.data() + at, bytes, over);      // over what is there
    f.bytes.insert(f.bytes.end(), bytes + over, bytes + n); // then appended, without zeroing first
    f.at += count;
    return count;
}

sf_count_t file_tell(void *user) { return file_of(user).at; }

SF_VIRTUAL_IO MEMORY_IO{file_length, file_seek, file_read, file_write, file_tell};

int sndfile_format(wav_sample_format_t format)
{
    switch (format) {
    case wav_sample_format_t::pcm24: return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    case wav_sample_format_t::pcm16: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    default: return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    }
}

int bytes_per_value(wav_sample_format_t format)
{
    switch (format) {
    case wav_sample_format_t::pcm24: return 3;
    case wav_sample_format_t::pcm16: return 2;
    default: return 4;
    }
}

} // namespace

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

struct wav_writer_t::encoder_t {
    memory_file_t file;
    SNDFILE *sf = nullptr;
    int channels = 0;
    wav_sample_format_t format = wav_sample_format_t::float32;
    std::uint64_t data_bytes = 0;
    std::vector<short> shorts; // PCM codes on their way to libsndfile
    std::vector<int> ints;

    void check(sf_count_t written, sf_count_t samples)
    {
        if (written != samples)
            throw std::runtime_error(std::string("libsndfile: ") + sf_strerror(sf));
    }
};

wav_writer_t::wav_writer_t(int rate, int channels, wav_sample_format_t format)
    : encoder_(std::make_unique<encoder_t>())
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sndfile_format(format);
    encoder_->sf = sf_open_virtual(&MEMORY_IO, SFM_WRITE, &info, &encoder_->file);
    if (encoder_->sf == nullptr)
        throw std::runtime_error(std::string("libsndfile: ") + sf_strerror(nullptr));
    encoder_->channels = channels;
    encoder_->format = format;
    // The PEAK chunk of a float file carries the time it was made.
    sf_command(encoder_->sf, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

wav_writer_t::~wav_writer_t()
{
    if (encoder_->sf != nullptr)
        sf_close(encoder_->sf);
}

void wav_writer_t::write(const std::vector<float> &values)
{
    encoder_t &e = *encoder_;
    const sf_count_t samples = static_cast<sf_count_t>(values.size()) / e.channels;
    e.data_bytes += values.size() * static_cast<std::uint64_t>(bytes_per_value(e.format));
    if (e.data_bytes > WAV_DATA_MAX)
        throw std::length_error("longer than a WAV file can hold (4 GiB)");
    switch (e.format) {
    case wav_sample_format_t::pcm16:
        e.shorts.resize(values.size());
        std::transform(values.begin(), values.end(), e.shorts.begin(),
                       [](float v) { return static_cast<short>(pcm_code(v, 16)); });
        e.check(sf_writef_short(e.sf, e.shorts.data(), samples), samples);
        return;
    case wav_sample_format_t::pcm24:
        // libsndfile's int samples are 32 bits; a 24-bit file keeps the top 24.
        e.ints.resize(values.size());
        std::transform(values.begin(), values.end(), e.ints.begin(),
                       [](float v) { return pcm_code(v, 24) * 256; });
        e.check(sf_writef_int(e.sf, e.ints.data(), samples), samples);
        return;
    default: e.check(sf_writef_float(e.sf, values.data(), samples), samples); return;
    }
}

std::vector<std::uint8_t> wav_writer_t::finish()
{
    encoder_t &e = *encoder_;
    const int closed = sf_close(e.sf);
    e.sf = nullptr;
    if (closed != 0)
        throw std::runtime_error(std::string("libsndfile: ") + sf_error_number(closed));
    return std::move(e.file.bytes);
}

bool read_wav(const std::vector<std::uint8_t> &bytes, wav_data_t *out, std::string *error)
{
    memory_file_t file{bytes, 0};
    SF_INFO info{};
    SNDFILE *sf = sf_open_virtual(&MEMORY_IO, SFM_READ, &info, &file);
    if (sf == nullptr) {
        *error = sf_strerror(nullptr);
        return false;
    }
    out->rate = info.samplerate;
    out->channels = info.channels;
    out->values.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_float(sf, out->values.data(), info.frames);
    sf_close(sf);
    if (got != info.frames) {
        *error = "the file ends early";
        return false;
    }
    return true;
}
