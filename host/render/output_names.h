// The names snake-render's picture outputs take: the format a name of
// --output asks for, where it writes, and the file name of a frame in a folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

enum class image_format_t { ppm, png };

inline constexpr const char *IMAGE_EXTENSIONS[] = {"ppm", "png"}; // by image_format_t

// The format of a name of --output: FILE.ppm, FILE.png, or standard output
// as -, ppm:- or png:-; none for any other name.
std::optional<image_format_t> output_format(const std::string &name);

// Where --output writes: the file, or "-" for standard output.
std::string output_path(const std::string &name);

// The file name of a frame in a --png-dir or --ppm-dir folder.
std::string frame_file_name(std::uint8_t level, std::int64_t frame, image_format_t format);
