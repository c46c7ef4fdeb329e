// The video encoder linked into the program: for the tests and benchmarks,
// which drive the writer without the module.
#include "host/video/video_module.h"

const video_module_t *video_module(std::string *)
{
    return static_cast<const video_module_t *>(pc_snake_video_module());
}
