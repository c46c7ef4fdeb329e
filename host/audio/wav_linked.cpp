// libsndfile linked into the program: for the tests and benchmarks, which
// write and read WAVs without the module.
#include "host/audio/wav_module.h"

const wav_module_t *wav_module(std::string *)
{
    return static_cast<const wav_module_t *>(pc_snake_wav_module());
}
