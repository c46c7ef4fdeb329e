// The beam's samples as a WAV file, made in memory by libsndfile so that the
// file can be written whole or not at all: 32-bit float, or PCM of 24 or 16
// bits (each value times the largest positive code, rounded half away from
// zero, clipped). The same samples always give the same bytes: no chunk that
// depends on when the file was made. And WAV files read back, for checking
// and plotting.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class wav_sample_format_t { float32, pcm24, pcm16 };

// "float", "pcm24", "pcm16": the names the options take.
inline constexpr const char *WAV_FORMAT_NAMES[] = {"float", "pcm24", "pcm16"};
wav_sample_format_t wav_format_named(const std::string &name); // one of WAV_FORMAT_NAMES

// The PCM code of a value in -1 to 1 for a sample of `bits` (16 or 24).
std::int32_t pcm_code(float value, int bits);

class wav_writer_t {
  public:
    // Throws std::runtime_error with libsndfile's message if it refuses.
    wav_writer_t(int rate, int channels, wav_sample_format_t format);
    ~wav_writer_t();
    wav_writer_t(const wav_writer_t &) = delete;
    wav_writer_t &operator=(const wav_writer_t &) = delete;

    // Interleaved values, whole samples. Throws std::length_error when the
    // file would pass the 4 GiB a WAV file can hold, std::runtime_error when
    // the encoder fails.
    void write(const std::vector<float> &values);

    // The complete file; the writer takes nothing more after it.
    std::vector<std::uint8_t> finish();

  private:
    struct encoder_t;
    std::unique_ptr<encoder_t> encoder_;
};

struct wav_data_t {
    int rate = 0;
    int channels = 0;
    std::vector<float> values; // interleaved, as libsndfile reads them as float
};

// Reads a WAV file's bytes; on a fault returns false with libsndfile's reason.
bool read_wav(const std::vector<std::uint8_t> &bytes, wav_data_t *out, std::string *error);
