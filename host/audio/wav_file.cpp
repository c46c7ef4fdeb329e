// wav_writer_t and read_wav over the table of wav_module.h, wherever the
// table comes from.
#include "host/audio/wav_file.h"

#include <stdexcept>

#include "host/audio/wav_module.h"

namespace {

// Where the reader puts a file's values: the caller's vector, grown to hold
// them; nullptr when it cannot be.
float *values_room(void *context, std::uint64_t count)
{
    auto &values = static_cast<wav_data_t *>(context)->values;
    try {
        values.resize(count);
    } catch (const std::exception &) {
        return nullptr;
    }
    return values.data();
}

} // namespace

bool wav_ready(std::string *error) { return wav_module(error) != nullptr; }

struct wav_writer_t::state_t {
    const wav_module_t *module = nullptr;
    wav_encoder_t *wav = nullptr;

    ~state_t()
    {
        if (wav != nullptr)
            module->close(wav);
    }
};

wav_writer_t::wav_writer_t(int rate, int channels, wav_sample_format_t format, fd_sink_t *out,
                           std::uint64_t wav_data_max)
    : state_(std::make_unique<state_t>())
{
    std::string missing;
    state_->module = wav_module(&missing);
    if (state_->module == nullptr)
        throw std::runtime_error(missing);
    module_error_t error;
    state_->module->open(rate, channels, static_cast<std::int32_t>(format), out, wav_data_max,
                         &state_->wav, &error);
    module_rethrow(error);
}

wav_writer_t::~wav_writer_t() = default;

void wav_writer_t::write(const std::vector<float> &values)
{
    module_error_t error;
    state_->module->write(state_->wav, values.data(), values.size(), &error);
    module_rethrow(error);
}

void wav_writer_t::finish()
{
    module_error_t error;
    state_->module->finish(state_->wav, &error);
    module_rethrow(error);
}

bool read_wav(const std::vector<std::uint8_t> &bytes, wav_data_t *out, std::string *error)
{
    const wav_module_t *module = wav_module(error);
    if (module == nullptr)
        return false;
    const wav_room_t room{out, values_room};
    module_error_t failed;
    std::int32_t rate = 0;
    std::int32_t channels = 0;
    const std::int32_t status =
        module->read(bytes.data(), bytes.size(), &rate, &channels, room, &failed);
    out->rate = rate;
    out->channels = channels;
    if (status == MODULE_NO_MEMORY)
        throw std::bad_alloc();
    if (status != MODULE_OK)
        *error = failed.message;
    return status == MODULE_OK;
}
