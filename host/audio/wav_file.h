// The beam's samples as a WAV file, written by libsndfile into a file as
// they come: 32-bit float, or PCM of 24 or 16 bits (each value times the
// largest positive code, rounded half away from zero, clipped). The same
// samples always give the same bytes: no chunk that depends on when the file
// was made. A WAV holds at most 4 GiB; a longer file becomes W64 (Sony's
// Wave64, WAV with 64-bit sizes) when it passes that size. And WAV files read back, for
// checking and plotting. Behind both is the table of wav_module.h, which the
// programs load as a module only when they write or read a WAV.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/audio/wav_format.h"
#include "host/io/sink.h"

// Whether WAVs can be written and read in this process: libsndfile is
// linked in, or its module loads (the first call loads it). False with the
// reason in *error where the module cannot be loaded.
bool wav_ready(std::string *error);

class wav_writer_t {
  public:
    // The file goes to out->fd, from its offset now on; libsndfile goes back
    // to its start to write the header at the end, so the descriptor must
    // take seeks (output_seekable). A failed write is kept in out->err.
    // Past wav_data_max bytes of samples the file becomes W64 (a test's
    // smaller bound shows it). Nothing is written before the first samples.
    // Throws std::runtime_error where libsndfile's module cannot be loaded.
    wav_writer_t(int rate, int channels, wav_sample_format_t format, fd_sink_t *out,
                 std::uint64_t wav_data_max = WAV_DATA_MAX);
    ~wav_writer_t();
    wav_writer_t(const wav_writer_t &) = delete;
    wav_writer_t &operator=(const wav_writer_t &) = delete;

    // Interleaved values, whole samples. Throws std::runtime_error when
    // libsndfile or the file fails.
    void write(const std::vector<float> &values);

    // Completes the file's header; the writer takes nothing more after it.
    // Throws std::runtime_error.
    void finish();

  private:
    struct state_t;
    std::unique_ptr<state_t> state_;
};

struct wav_data_t {
    int rate = 0;
    int channels = 0;
    std::vector<float> values; // interleaved, as libsndfile reads them as float
};

// Reads a WAV file's bytes; on a fault returns false with libsndfile's
// reason (or why its module cannot be loaded).
bool read_wav(const std::vector<std::uint8_t> &bytes, wav_data_t *out, std::string *error);
