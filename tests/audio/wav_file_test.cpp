// The WAV writer into a file as the samples come: read back by libsndfile
// with every sample, a WAV up to its limit and W64 past it (a small limit
// stands for the 4 GiB), from wherever the output begins in the file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/audio/wav_file.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

struct case_t {
    const char *name;
    wav_sample_format_t format;
    int channels;
    std::uint64_t limit; // data bytes a WAV holds
    const char *before;  // what the file holds before the output begins
    const char *magic;   // the container read back
};

TEST(WavFile, PastItsLimitAWavBecomesW64WithEverySample)
{
    const case_t cases[] = {
        {"float", wav_sample_format_t::float32, 2, WAV_DATA_MAX, "", "RIFF"},
        {"float, exactly at the limit", wav_sample_format_t::float32, 2, 8 * 1000, "", "RIFF"},
        {"float past the limit", wav_sample_format_t::float32, 2, 8 * 1000 - 1, "", "riff"},
        {"pcm16 with Z past the limit", wav_sample_format_t::pcm16, 3, 1000, "", "riff"},
        {"pcm24 past the limit, after other bytes", wav_sample_format_t::pcm24, 2, 3000, "hi\n",
         "riff"},
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scratch_dir_t dir;
        const std::string path = dir / "a.wav";
        const std::string before = c.before;
        fd_sink_t out{::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644), 0, 0};
        ASSERT_EQ(::write(out.fd, before.data(), before.size()),
                  static_cast<ssize_t>(before.size()));
        std::vector<float> all;
        {
            wav_writer_t writer(48000, c.channels, c.format, &out, c.limit);
            // Ten pieces of 100 samples, of uneven values.
            for (int piece = 0; piece < 10; ++piece) {
                std::vector<float> values;
                for (int i = 0; i < 100 * c.channels; ++i)
                    values.push_back(std::sin(0.01f * static_cast<float>(piece * 1000 + i)));
                all.insert(all.end(), values.begin(), values.end());
                writer.write(values);
            }
            writer.finish();
        }
        ::close(out.fd);
        EXPECT_EQ(out.err, 0);
        const std::vector<std::uint8_t> file = read_file(path);
        const std::string text(file.begin(), file.end());
        ASSERT_EQ(text.substr(0, before.size()), before);
        EXPECT_EQ(text.substr(before.size(), 4), c.magic);
        EXPECT_EQ(text.find("PEAK"), std::string::npos) << "a chunk that holds the time";
        wav_data_t wav;
        std::string error;
        ASSERT_TRUE(read_wav(std::vector<std::uint8_t>(file.begin() + before.size(), file.end()),
                             &wav, &error))
            << error;
        EXPECT_EQ(wav.rate, 48000);
        EXPECT_EQ(wav.channels, c.channels);
        ASSERT_EQ(wav.values.size(), all.size());
        const int bits = c.format == wav_sample_format_t::pcm16   ? 16
                         : c.format == wav_sample_format_t::pcm24 ? 24
                                                                  : 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            // libsndfile reads a PCM code c of b bits as c / 2^(b - 1).
            const float want = bits == 0 ? all[i]
                                         : static_cast<float>(pcm_code(all[i], bits)) /
                                               static_cast<float>(1 << (bits - 1));
            ASSERT_EQ(wav.values[i], want) << "value " << i;
        }
    }
}

} // namespace
