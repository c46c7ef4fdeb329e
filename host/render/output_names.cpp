#include "host/render/output_names.h"

#include <cstdio>

std::optional<image_format_t> output_format(const std::string &name)
{
    if (name == "-" || name == "ppm:-" || (name.size() > 4 && name.ends_with(".ppm")))
        return image_format_t::ppm;
    if (name == "png:-" || (name.size() > 4 && name.ends_with(".png")))
        return image_format_t::png;
    return std::nullopt;
}

std::string output_path(const std::string &name)
{
    return name == "ppm:-" || name == "png:-" ? "-" : name;
}

std::string frame_file_name(std::uint8_t level, std::int64_t number, image_format_t format)
{
    char name[64];
    std::snprintf(name, sizeof name, "level%u_frame%06lld.%s", static_cast<unsigned>(level),
                  static_cast<long long>(number), IMAGE_EXTENSIONS[static_cast<int>(format)]);
    return name;
}
