// The WAV writer and reader's C face: a table of functions over libsndfile,
// the same whether it is linked into the program (tests) or loaded as the
// module wav.so (the programs, which so load libsndfile only for a WAV).
// wav_writer_t and read_wav are the C++ interface over it.
#pragma once

#include <cstdint>
#include <string>

#include "host/io/sink.h"
#include "host/modules/module_abi.h"

// The table's interface: 'wa' and a number raised whenever the table or the
// meaning of a field changes, so that a module of another version is
// refused rather than called.
inline constexpr std::uint32_t WAV_MODULE_ABI = 0x7761'0001;

struct wav_encoder_t; // one WAV being written; the module's own

extern "C" {

// Where a read puts its values: `values` gives room for `count` floats, or
// nullptr when there is no memory for them.
struct wav_room_t {
    void *context;
    float *(*values)(void *context, std::uint64_t count);
};

// Each function that can fail returns a module_status_t and fills *error.
struct wav_module_t {
    std::uint32_t abi; // WAV_MODULE_ABI
    // A WAV of `format` (wav_sample_format_t) into out, as wav_writer_t's
    // constructor describes.
    std::int32_t (*open)(std::int32_t rate, std::int32_t channels, std::int32_t format,
                         fd_sink_t *out, std::uint64_t wav_data_max, wav_encoder_t **wav,
                         module_error_t *error);
    // `count` interleaved values, whole samples.
    std::int32_t (*write)(wav_encoder_t *wav, const float *values, std::uint64_t count,
                          module_error_t *error);
    std::int32_t (*finish)(wav_encoder_t *wav, module_error_t *error);
    void (*close)(wav_encoder_t *wav);
    // A WAV file's bytes read: its rate and channels, and all its values,
    // interleaved, into the room it asks for.
    std::int32_t (*read)(const std::uint8_t *bytes, std::uint64_t size, std::int32_t *rate,
                         std::int32_t *channels, wav_room_t room, module_error_t *error);
};
}

// The module's one exported function: its wav_module_t, typed as the
// loader calls every module's entry.
PC_SNAKE_MODULE_ENTRY const void *pc_snake_wav_module();

inline constexpr const char *WAV_MODULE_FILE = "wav.so";
inline constexpr const char *WAV_MODULE_ENTRY = "pc_snake_wav_module";

// The table as this program reaches it: linked in, or loaded from the module
// (once); nullptr with the reason in *error.
const wav_module_t *wav_module(std::string *error);
