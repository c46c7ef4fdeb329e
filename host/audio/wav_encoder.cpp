// The WAV writer and reader over libsndfile: the table of wav_module.h,
// linked into a test or built as the module wav.so.
#include "host/audio/wav_format.h"
#include "host/audio/wav_module.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "host/io/seekable_file.h"

namespace {

constexpr std::size_t MOVE_CHUNK = 1 << 20; // bytes moved at a time when a WAV becomes W64

// A file in memory that libsndfile reads like a disk file.
struct memory_file_t {
    const std::uint8_t *bytes;
    sf_count_t size;
    sf_count_t at = 0;
};

memory_file_t &memory_of(void *user) { return *static_cast<memory_file_t *>(user); }

sf_count_t memory_length(void *user) { return memory_of(user).size; }

sf_count_t memory_seek(sf_count_t offset, int whence, void *user)
{
    memory_file_t &f = memory_of(user);
    const sf_count_t base = whence == SEEK_CUR   ? f.at
                            : whence == SEEK_END ? memory_length(user)
                                                 : 0;
    if (base + offset < 0)
        return -1;
    f.at = base + offset;
    return f.at;
}

sf_count_t memory_read(void *to, sf_count_t count, void *user)
{
    memory_file_t &f = memory_of(user);
    const sf_count_t n = std::clamp<sf_count_t>(memory_length(user) - f.at, 0, count);
    if (n > 0)
        std::memcpy(to, f.bytes + f.at, static_cast<std::size_t>(n));
    f.at += n;
    return n;
}

sf_count_t memory_write(const void *, sf_count_t, void *) { return 0; }

sf_count_t memory_tell(void *user) { return memory_of(user).at; }

SF_VIRTUAL_IO MEMORY_IO{memory_length, memory_seek, memory_read, memory_write, memory_tell};

// The output file as libsndfile sees it. While `dropping`, writes only move
// the position: the W64 writer then counts the samples that the WAV before
// it left in place.
struct disk_file_t {
    seekable_file_t file;
    bool dropping = false;
    sf_count_t at = 0; // the position while dropping
};

disk_file_t &disk_of(void *user) { return *static_cast<disk_file_t *>(user); }

sf_count_t disk_length(void *user)
{
    const disk_file_t &f = disk_of(user);
    return std::max<sf_count_t>(seekable_size(f.file), f.dropping ? f.at : 0);
}

sf_count_t disk_seek(sf_count_t offset, int whence, void *user)
{
    disk_file_t &f = disk_of(user);
    if (!f.dropping)
        return seekable_seek(f.file, offset, whence);
    const sf_count_t base = whence == SEEK_CUR ? f.at : whence == SEEK_END ? disk_length(user) : 0;
    f.at = base + offset;
    return f.at;
}

sf_count_t disk_read(void *to, sf_count_t count, void *user)
{
    return seekable_read(disk_of(user).file, to, static_cast<std::size_t>(count));
}

sf_count_t disk_write(const void *from, sf_count_t count, void *user)
{
    disk_file_t &f = disk_of(user);
    if (f.dropping) {
        f.at += count;
        return count;
    }
    return seekable_write(f.file, from, static_cast<std::size_t>(count)) ? count : 0;
}

sf_count_t disk_tell(void *user)
{
    const disk_file_t &f = disk_of(user);
    return f.dropping ? f.at : seekable_tell(f.file);
}

SF_VIRTUAL_IO DISK_IO{disk_length, disk_seek, disk_read, disk_write, disk_tell};

// Moves n bytes of the file from `from` to `to` (both past base), the last
// chunk first when they move up, so that nothing is overwritten before it is
// read.
bool move_bytes(const seekable_file_t &f, std::int64_t from, std::int64_t to, std::int64_t n)
{
    std::vector<char> chunk(MOVE_CHUNK);
    const int fd = f.out->fd;
    for (std::int64_t done = 0; done < n;) {
        const auto size = static_cast<std::int64_t>(
            std::min<std::uint64_t>(chunk.size(), static_cast<std::uint64_t>(n - done)));
        const std::int64_t at = to > from ? n - done - size : done;
        if (::pread(fd, chunk.data(), static_cast<std::size_t>(size), f.base + from + at) != size ||
            ::pwrite(fd, chunk.data(), static_cast<std::size_t>(size), f.base + to + at) != size) {
            f.out->err = errno != 0 ? errno : EIO;
            return false;
        }
        done += size;
    }
    return true;
}

int sample_format(wav_sample_format_t format)
{
    switch (format) {
    case wav_sample_format_t::pcm24: return SF_FORMAT_PCM_24;
    case wav_sample_format_t::pcm16: return SF_FORMAT_PCM_16;
    default: return SF_FORMAT_FLOAT;
    }
}

std::runtime_error sndfile_error(SNDFILE *sf)
{
    return std::runtime_error(std::string("libsndfile: ") + sf_strerror(sf));
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

struct wav_encoder_t {
    disk_file_t file;
    SNDFILE *sf = nullptr;
    int rate = 0;
    int channels = 0;
    wav_sample_format_t format = wav_sample_format_t::float32;
    std::uint64_t wav_data_max = WAV_DATA_MAX;
    bool w64 = false;
    bool finished = false;
    std::uint64_t data_bytes = 0;
    sf_count_t header_bytes = 0; // where the samples begin
    std::vector<short> shorts;   // PCM codes on their way to libsndfile
    std::vector<int> ints;

    // A WAV not finished is closed as it stands.
    ~wav_encoder_t()
    {
        if (sf != nullptr)
            sf_close(sf);
    }

    void open(int container);
    void become_w64();
    void write(const float *values, std::size_t count, sf_count_t samples);

    void check(sf_count_t written, sf_count_t samples)
    {
        if (written != samples)
            throw sndfile_error(sf);
    }
};

void wav_encoder_t::open(int container)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = container | sample_format(format);
    sf = sf_open_virtual(&DISK_IO, SFM_WRITE, &info, &file);
    if (sf == nullptr)
        throw sndfile_error(nullptr);
    // The PEAK chunk of a float file carries the time it was made.
    sf_command(sf, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    header_bytes = disk_tell(&file);
}

// The samples so far stay where they are, moved up or down to follow the
// W64 header; libsndfile then writes them once more, into nowhere, so that
// it counts them. W64 rather than RF64: libsndfile gives a float RF64 a
// PEAK chunk that holds the time it was written.
void wav_encoder_t::become_w64()
{
    const int closed = sf_close(sf);
    sf = nullptr;
    if (closed != 0)
        throw std::runtime_error(std::string("libsndfile: ") + sf_error_number(closed));
    const sf_count_t wav_header = header_bytes;
    file.dropping = true;
    file.at = 0;
    open(SF_FORMAT_W64);
    const auto data = static_cast<std::int64_t>(data_bytes);
    if (!move_bytes(file.file, wav_header, header_bytes, data))
        throw std::runtime_error(std::string("moving the samples: ") +
                                 std::strerror(file.file.out->err));
    const auto block = static_cast<std::size_t>(channels * bytes_per_value(format));
    const std::vector<char> zeros(block << 16); // whole samples
    for (std::int64_t left = data; left > 0;) {
        const auto n = static_cast<sf_count_t>(
            std::min<std::int64_t>(left, static_cast<std::int64_t>(zeros.size())));
        if (sf_write_raw(sf, zeros.data(), n) != n)
            throw sndfile_error(sf);
        left -= n;
    }
    file.dropping = false;
    if (seekable_seek(file.file, file.at, SEEK_SET) != file.at)
        throw std::runtime_error(std::string("seeking: ") + std::strerror(file.file.out->err));
    w64 = true;
}

void wav_encoder_t::write(const float *values, std::size_t count, sf_count_t samples)
{
    switch (format) {
    case wav_sample_format_t::pcm16:
        shorts.resize(count);
        std::transform(values, values + count, shorts.begin(),
                       [](float v) { return static_cast<short>(pcm_code(v, 16)); });
        check(sf_writef_short(sf, shorts.data(), samples), samples);
        return;
    case wav_sample_format_t::pcm24:
        // libsndfile's int samples are 32 bits; a 24-bit file keeps the top 24.
        ints.resize(count);
        std::transform(values, values + count, ints.begin(),
                       [](float v) { return pcm_code(v, 24) * 256; });
        check(sf_writef_int(sf, ints.data(), samples), samples);
        return;
    default: check(sf_writef_float(sf, values, samples), samples); return;
    }
}

namespace {

void write_values(wav_encoder_t &e, const float *values, std::size_t count)
{
    if (e.finished)
        throw std::runtime_error("libsndfile: the file is already finished");
    if (count == 0)
        return;
    if (e.sf == nullptr && !e.w64)
        e.open(SF_FORMAT_WAV);
    const std::uint64_t bytes = count * static_cast<std::uint64_t>(bytes_per_value(e.format));
    if (!e.w64 && e.data_bytes + bytes > e.wav_data_max)
        e.become_w64();
    e.data_bytes += bytes;
    e.write(values, count, static_cast<sf_count_t>(count) / e.channels);
}

void finish(wav_encoder_t &e)
{
    e.finished = true;
    if (e.sf == nullptr)
        return;
    const int closed = sf_close(e.sf);
    e.sf = nullptr;
    if (closed != 0)
        throw std::runtime_error(std::string("libsndfile: ") + sf_error_number(closed));
}

void read(const std::uint8_t *bytes, std::uint64_t size, std::int32_t *rate, std::int32_t *channels,
          wav_room_t room)
{
    memory_file_t file{bytes, static_cast<sf_count_t>(size)};
    SF_INFO info{};
    SNDFILE *sf = sf_open_virtual(&MEMORY_IO, SFM_READ, &info, &file);
    if (sf == nullptr)
        throw std::runtime_error(sf_strerror(nullptr));
    *rate = info.samplerate;
    *channels = info.channels;
    float *values =
        room.values(room.context, static_cast<std::uint64_t>(info.frames * info.channels));
    const sf_count_t got = values != nullptr ? sf_readf_float(sf, values, info.frames) : 0;
    sf_close(sf);
    if (values == nullptr)
        throw std::bad_alloc();
    if (got != info.frames)
        throw std::runtime_error("the file ends early");
}

const wav_module_t WAV_ENCODER{
    WAV_MODULE_ABI,
    [](std::int32_t rate, std::int32_t channels, std::int32_t format, fd_sink_t *out,
       std::uint64_t wav_data_max, wav_encoder_t **wav, module_error_t *error) {
        return module_call(error, [&] {
            auto e = std::make_unique<wav_encoder_t>();
            e->file.file = seekable_file(out);
            e->rate = rate;
            e->channels = channels;
            e->format = static_cast<wav_sample_format_t>(format);
            e->wav_data_max = wav_data_max;
            *wav = e.release();
        });
    },
    [](wav_encoder_t *wav, const float *values, std::uint64_t count, module_error_t *error) {
        return module_call(error, [&] { write_values(*wav, values, count); });
    },
    [](wav_encoder_t *wav, module_error_t *error) {
        return module_call(error, [&] { finish(*wav); });
    },
    [](wav_encoder_t *wav) { delete wav; },
    [](const std::uint8_t *bytes, std::uint64_t size, std::int32_t *rate, std::int32_t *channels,
       wav_room_t room, module_error_t *error) {
        return module_call(error, [&] { read(bytes, size, rate, channels, room); });
    },
};

} // namespace

const void *pc_snake_wav_module() { return &WAV_ENCODER; }
