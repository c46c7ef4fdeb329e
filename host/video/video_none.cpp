// The video encoder of a build without FFmpeg's libraries: there is none,
// and it says why.
#include "host/video/video_module.h"

const video_module_t *video_module(std::string *error)
{
    *error = "this snake-render was built without FFmpeg's libraries "
             "(libavcodec-dev, libavformat-dev, libswscale-dev, libavutil-dev)";
    return nullptr;
}
