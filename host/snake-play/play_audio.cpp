#include "host/snake-play/play_audio.h"

#include <SDL.h>
#include <dlfcn.h>

#include <memory>

#include "host/play/beam_audio.h"

struct live_audio_t {
    SDL_AudioDeviceID device = 0;
    std::int64_t rate = 0;          // as granted
    std::int64_t device_buffer = 0; // samples the device takes at a time
    audio_queue_t queue;            // shared with the device's thread, under its lock
    std::unique_ptr<beam_stream_t> stream;
    bool started = false;
};

namespace {

extern "C" void keep_quiet(const char *, int, const char *, int, const char *, ...) {}

// alsa-lib, which SDL loads for its ALSA driver, tells every step of an open
// that fails on stderr ("ALSA lib confmisc.c:855:(parse_card) cannot find
// card '0'" and seven lines more) before SDL hands the error back, which
// snake-play then says in its own words. Its handler for such lines is set to
// one that keeps quiet, in the library SDL is about to load (the same one,
// once loaded; kept loaded). Without alsa-lib there is nothing to quiet.
void quiet_alsa_library()
{
    void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr)
        return;
    using handler_t = void (*)(const char *, int, const char *, int, const char *, ...);
    using set_handler_t = int (*)(handler_t);
    const auto set_handler =
        reinterpret_cast<set_handler_t>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler != nullptr)
        set_handler(keep_quiet);
}

void SDLCALL pull(void *userdata, Uint8 *bytes, int length)
{
    auto *queue = static_cast<audio_queue_t *>(userdata);
    const auto samples = static_cast<std::size_t>(length) /
                         (sizeof(float) * static_cast<std::size_t>(queue->channels));
    queue_pull(queue, reinterpret_cast<float *>(bytes), samples);
}

// A few milliseconds: short next to a frame, so that a queue of one frame is enough.
Uint16 buffer_for(std::int64_t rate)
{
    Uint16 samples = 64;
    while (samples * 2 <= rate / 200)
        samples = static_cast<Uint16>(samples * 2);
    return samples;
}

std::int64_t queued(live_audio_t *a)
{
    SDL_LockAudioDevice(a->device);
    const std::int64_t n = queue_samples(a->queue);
    SDL_UnlockAudioDevice(a->device);
    return n;
}

} // namespace

live_audio_t *live_audio_open(const signal_format_t &wanted, std::string *said, std::string *error)
{
    quiet_alsa_library();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *error = std::string("no sound device for --audio: ") + SDL_GetError();
        return nullptr;
    }
    auto a = std::make_unique<live_audio_t>();
    a->queue.channels = signal_channels(wanted);
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(wanted.rate);
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(a->queue.channels);
    want.samples = buffer_for(wanted.rate);
    want.callback = pull;
    want.userdata = &a->queue;
    SDL_AudioSpec have{};
    a->device =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (a->device == 0) {
        *error = std::string("no sound device for --audio: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    a->rate = have.freq;
    a->device_buffer = have.samples;
    signal_format_t granted = wanted;
    granted.rate = have.freq;
    a->stream = std::make_unique<beam_stream_t>(granted);
    *said = "beam audio on SDL's " + std::string(SDL_GetCurrentAudioDriver()) +
            " driver: " + std::to_string(have.freq) + " Hz (asked for " +
            std::to_string(want.freq) + "), " + std::to_string(a->queue.channels) +
            " channels of float, buffers of " + std::to_string(have.samples) + " samples, " +
            std::to_string(wanted.tick_rate) + " beam ticks a second";
    return a.release();
}

std::int64_t live_audio_wait_us(live_audio_t *a)
{
    if (!a->started)
        return 0;
    return queue_wait_us(queued(a), stream_low_mark(*a->stream, a->device_buffer), a->rate);
}

void live_audio_after_step(live_audio_t *a, bool frame_finished)
{
    const std::vector<float> &values = stream_next(a->stream.get(), frame_finished);
    SDL_LockAudioDevice(a->device);
    queue_push(&a->queue, values);
    const bool full = queue_samples(a->queue) >= stream_low_mark(*a->stream, a->device_buffer);
    if (full && !a->started)
        a->queue.running = true;
    SDL_UnlockAudioDevice(a->device);
    if (full && !a->started) {
        a->started = true;
        SDL_PauseAudioDevice(a->device, 0);
    }
}

double live_audio_frame_ms(const live_audio_t *a) { return stream_frame_ms(*a->stream); }

std::int64_t live_audio_close(live_audio_t *a, bool drain)
{
    SDL_LockAudioDevice(a->device);
    queue_push(&a->queue, stream_end(a->stream.get()));
    a->queue.running = false; // what comes short now is the end
    const std::int64_t underruns = a->queue.underruns;
    SDL_UnlockAudioDevice(a->device);
    if (drain) {
        SDL_PauseAudioDevice(a->device, 0);
        // Up to the queue's length and a second more, should the device stall.
        const Uint64 give_up = SDL_GetTicks64() + 1000 + 1000 * queued(a) / a->rate;
        while (queued(a) > 0 && SDL_GetTicks64() < give_up)
            SDL_Delay(1);
    }
    SDL_CloseAudioDevice(a->device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    delete a;
    return underruns;
}
