// libsndfile as the programs reach it: the module wav.so, loaded by the
// first run that writes or reads a WAV, so that libsndfile and its codecs
// stay out of every other run.
#include "host/audio/wav_module.h"
#include "host/modules/module_loader.h"

constexpr module_file_t WAV_MODULE{WAV_MODULE_FILE, WAV_MODULE_ENTRY, WAV_MODULE_ABI, "libsndfile"};

const wav_module_t *wav_module(std::string *error)
{
    static const loaded_module_t loaded = load_module(WAV_MODULE);
    if (loaded.table == nullptr)
        *error = loaded.error;
    return static_cast<const wav_module_t *>(loaded.table);
}
