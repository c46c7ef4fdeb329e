// The video encoder's C face: a table of functions over FFmpeg's libraries,
// the same whether the encoder is linked into the program (tests) or loaded
// as the module video.so (the programs, which so load FFmpeg only for
// --video). video_writer_t is the C++ interface over it.
#pragma once

#include <cstdint>
#include <string>

#include "host/io/sink.h"
#include "host/modules/module_abi.h"

// The table's interface: 'vi' and a number raised whenever the table or the
// meaning of a field changes, so that a module of another version is
// refused rather than called.
inline constexpr std::uint32_t VIDEO_MODULE_ABI = 0x7669'0001;

struct video_encoder_t; // one video being written; the module's own

extern "C" {

// Each function that can fail returns a module_status_t and fills *error.
struct video_module_t {
    std::uint32_t abi; // VIDEO_MODULE_ABI
    // A video of `kind` (video_kind_t) into out, as video_writer_t's
    // constructor describes; *video stays untouched on a fault.
    std::int32_t (*open)(std::int32_t kind, std::int32_t width, std::int32_t height,
                         std::int32_t fps, std::int32_t crf, fd_sink_t *out, std::int32_t seekable,
                         video_encoder_t **video, module_error_t *error);
    // A frame of width x height pixels in `bytes` bytes: rows from the
    // top, 3 bytes (red, green, blue) a pixel; refused unless it is a whole
    // picture of the video's size.
    std::int32_t (*add_frame)(video_encoder_t *video, const std::uint8_t *rgb, std::int32_t width,
                              std::int32_t height, std::uint64_t bytes, module_error_t *error);
    std::int32_t (*finish)(video_encoder_t *video, module_error_t *error);
    void (*close)(video_encoder_t *video);
};
}

// The module's one exported function: its video_module_t, typed as the
// loader calls every module's entry.
PC_SNAKE_MODULE_ENTRY const void *pc_snake_video_module();

inline constexpr const char *VIDEO_MODULE_FILE = "video.so";
inline constexpr const char *VIDEO_MODULE_ENTRY = "pc_snake_video_module";

// The encoder's table as this program reaches it: linked in, loaded from
// the module (once), or absent from the build; nullptr with the reason in
// *error.
const video_module_t *video_module(std::string *error);
