// The video encoder as the programs reach it: the module video.so, loaded by
// the first run that asks for a video, so that FFmpeg's libraries stay out
// of every other run.
#include "host/modules/module_loader.h"
#include "host/video/video_module.h"

constexpr module_file_t VIDEO_MODULE{VIDEO_MODULE_FILE, VIDEO_MODULE_ENTRY, VIDEO_MODULE_ABI,
                                     "FFmpeg's libraries"};

const video_module_t *video_module(std::string *error)
{
    static const loaded_module_t loaded = load_module(VIDEO_MODULE);
    if (loaded.table == nullptr)
        *error = loaded.error;
    return static_cast<const video_module_t *>(loaded.table);
}
