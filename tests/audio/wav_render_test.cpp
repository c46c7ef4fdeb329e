// snake-render's WAV of scripted frames against the raster's own record of
// their ticks, heard by a listener of the test's own: every sample worked out
// from the ticks by the rule (sample n takes tick floor(n * tick_rate / rate),
// a dark tick the next lit tick's point, after the last one the last lit
// point), with the file decoded again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/audio/wav_file.h"
#include "host/keys/key_script_file.h"
#include "host/keys/stimuli.h"
#include "host/render/render.h"
#include "host/sim/beam_raster.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

struct heard_t {
    std::int64_t frame;
    beam_point_t point;
};

// Every tick of the recorded frames, as the raster hands it out.
class raw_ticks_t {
  public:
    raw_ticks_t() : listening_({this, &raw_ticks_t::on_tick}) {}
    std::vector<heard_t> heard;

    // The points of frames first to last.
    std::vector<beam_point_t> of_frames(std::int64_t first, std::int64_t last) const
    {
        std::vector<beam_point_t> points;
        for (const heard_t &h : heard)
            if (h.frame >= first && h.frame <= last)
                points.push_back(h.point);
        return points;
    }

  private:
    static void on_tick(void *c, const beam_tick_t &t)
    {
        static_cast<raw_ticks_t *>(c)->heard.push_back({t.frame, {t.lit, t.x, t.y}});
    }
    beam_listening_t listening_;
};

float level_of(const signal_format_t &f, std::uint8_t v)
{
    return static_cast<float>(f.gain * (v - 127.5) / 128.0);
}

// The samples by the rule; round and round the ticks when `cyclic`.
std::vector<float> by_rule(const signal_format_t &f, const std::vector<beam_point_t> &ticks,
                           std::int64_t samples, bool cyclic)
{
    const auto count = static_cast<std::int64_t>(ticks.size());
    std::vector<float> values;
    for (std::int64_t n = 0; n < samples; ++n) {
        std::int64_t k = n * f.tick_rate / f.rate;
        if (cyclic)
            k %= count;
        const beam_point_t &tick = ticks[static_cast<std::size_t>(k)];
        std::int64_t j = k;
        while (!ticks[static_cast<std::size_t>(j)].lit) {
            if (cyclic) {
                j = (j + 1) % count;
            } else if (++j == count) {
                j = k; // none after it: the last lit point before it
                while (!ticks[static_cast<std::size_t>(j)].lit)
                    --j;
            }
        }
        const beam_point_t &where = ticks[static_cast<std::size_t>(j)];
        const float x = level_of(f, where.x);
        const float y = level_of(f, where.y);
        values.push_back(f.swap ? y : x);
        values.push_back(f.swap ? x : y);
        if (f.z)
            values.push_back(tick.lit ? 1.0f : 0.0f);
    }
    return values;
}

std::int64_t samples_for(const signal_format_t &f, std::size_t ticks)
{
    const auto k = static_cast<std::int64_t>(ticks);
    return (k * f.rate + f.tick_rate - 1) / f.tick_rate; // ceil(ticks * rate / tick_rate)
}

signal_format_t format_of(std::int64_t tick_rate, std::int64_t rate, double gain = 1.0,
                          bool swap = false, bool z = false)
{
    return {tick_rate, rate, gain, swap, z};
}

render_job_t wav_job(int level, std::int64_t first, std::int64_t last, const std::string &path,
                     const signal_format_t &format)
{
    render_job_t job;
    job.setup.level = static_cast<std::uint8_t>(level);
    job.keys = builtin_key_script();
    job.frames = {first, last, 1};
    job.wav.path = path;
    job.wav.signal = format;
    return job;
}

// Whether the render ended as it should: every frame written, or broken off
// by `fault`.
bool ended(const render_end_t &end, beam_fault_kind_t fault = beam_fault_kind_t::none)
{
    EXPECT_EQ(end.write_error, "");
    return end.fault.kind == fault && end.write_error.empty();
}

wav_data_t read_back(const std::string &path)
{
    wav_data_t wav;
    std::string error;
    EXPECT_TRUE(read_wav(read_file(path), &wav, &error)) << path << ": " << error;
    return wav;
}

TEST(WavOfFrames, EverySampleIsTheTickInForce)
{
    struct case_t {
        int level;
        std::int64_t first, last; // a meal at level 1; the crash at level 3
        signal_format_t format;
    };
    const case_t cases[] = {
        {1, 100, 130, format_of(100000, 192000)},
        {1, 100, 130, format_of(100000, 44100, 0.75, true, true)}, // 0.441 samples a tick
        {3, 300, 312, format_of(30000, 96000, 1.0, false, true)},  // 3.2 samples a tick
        {3, 1, 3, format_of(1000, 768000)},                        // 768 samples a tick
    };
    for (const case_t &c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " at " + std::to_string(c.format.rate) +
                     " Hz");
        scratch_dir_t dir;
        raw_ticks_t raw;
        ASSERT_TRUE(ended(render(wav_job(c.level, c.first, c.last, dir / "a.wav", c.format))));
        const std::vector<beam_point_t> ticks = raw.of_frames(c.first, c.last);
        ASSERT_EQ(raw.heard.front().frame, c.first);
        ASSERT_EQ(raw.heard.back().frame, c.last);
        const wav_data_t wav = read_back(dir / "a.wav");
        EXPECT_EQ(wav.rate, c.format.rate);
        ASSERT_EQ(wav.channels, c.format.z ? 3 : 2);
        const std::int64_t samples = samples_for(c.format, ticks.size());
        ASSERT_EQ(static_cast<std::int64_t>(wav.values.size()), samples * wav.channels);
        const std::vector<float> want = by_rule(c.format, ticks, samples, false);
        for (std::size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(wav.values[i], want[i]) << "sample " << i / wav.channels;
    }
}

TEST(WavOfFrames, AFrameOverTheBudgetEndsTheFileBeforeIt)
{
    scratch_dir_t dir;
    raw_ticks_t raw;
    render_job_t job = wav_job(1, 5000, 6000, dir / "o.wav", format_of(100000, 48000));
    std::string error;
    ASSERT_TRUE(load_key_script(std::string(TEST_DATA) + "/over_budget.keys", &job.keys, &error))
        << error;
    job.setup.growth = 255;
    EXPECT_TRUE(ended(render(job), beam_fault_kind_t::tick_limit));
    const std::int64_t aborted = raw.heard.back().frame; // it heard the 2001st tick
    ASSERT_GT(aborted, 5000);
    const std::vector<beam_point_t> ticks = raw.of_frames(5000, aborted - 1);
    const wav_data_t wav = read_back(dir / "o.wav");
    const std::int64_t samples = samples_for(job.wav.signal, ticks.size());
    ASSERT_EQ(static_cast<std::int64_t>(wav.values.size()), 2 * samples);
    EXPECT_EQ(wav.values, by_rule(job.wav.signal, ticks, samples, false));
}

TEST(WavOfFrames, SecondsRepeatOneFrame)
{
    scratch_dir_t dir;
    raw_ticks_t raw;
    render_job_t job =
        wav_job(2, 120, 120, dir / "s.wav", format_of(100000, 48000, 1, false, true));
    job.wav.seconds = 0.05;
    ASSERT_TRUE(ended(render(job)));
    const wav_data_t wav = read_back(dir / "s.wav");
    ASSERT_EQ(wav.values.size(), 3u * 2400); // 0.05 s at 48 kHz
    EXPECT_EQ(wav.values, by_rule(job.wav.signal, raw.of_frames(120, 120), 2400, true));
}

TEST(WavOfFrames, PcmIsTheFloatTimesFullScaleRounded)
{
    scratch_dir_t dir;
    const signal_format_t format = format_of(100000, 44100, 0.3, false, true);
    std::vector<float> floats;
    {
        raw_ticks_t raw;
        ASSERT_TRUE(ended(render(wav_job(1, 1, 2, dir / "f.wav", format))));
        floats = by_rule(format, raw.of_frames(1, 2), samples_for(format, raw.heard.size()), false);
    }
    const std::vector<std::uint8_t> float_file = read_file(dir / "f.wav");
    const char peak[] = "PEAK";
    EXPECT_EQ(std::search(float_file.begin(), float_file.end(), peak, peak + 4), float_file.end())
        << "a PEAK chunk holds the time the file was made";
    // libsndfile reads a PCM code c of b bits as the float c / 2^(b - 1), exactly.
    for (const int bits : {16, 24}) {
        SCOPED_TRACE(bits);
        render_job_t job = wav_job(1, 1, 2, dir / "p.wav", format);
        job.wav.format = bits == 16 ? wav_sample_format_t::pcm16 : wav_sample_format_t::pcm24;
        ASSERT_TRUE(ended(render(job)));
        const wav_data_t pcm = read_back(dir / "p.wav");
        ASSERT_EQ(pcm.values.size(), floats.size());
        const double top = std::ldexp(1.0, bits - 1);
        for (std::size_t i = 0; i < floats.size(); ++i)
            ASSERT_EQ(std::lround(pcm.values[i] * top), std::lround(floats[i] * (top - 1)))
                << "value " << i;
    }
}

} // namespace
