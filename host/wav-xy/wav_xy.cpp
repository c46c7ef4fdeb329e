// wav-xy: what an oscilloscope in XY mode draws from a WAV of the beam, as a
// PNG in the screen's colours: the first channel across, the second upwards,
// every sample a touch of the beam that brightens its point the way the
// raster's afterglow does. With a third channel (Z) only lit samples draw.
// For looking at a WAV without a scope, and for the README's picture.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/audio/wav_file.h"
#include "host/image/frame_image.h"
#include "host/image/png_writer.h"
#include "host/io/output_checks.h"
#include "host/io/output_target.h"
#include "host/io/start_descriptors.h"
#include "host/io/temp_files.h"
#include "host/options/exit_status.h"
#include "host/options/file_endings.h"
#include "host/options/option_completion.h"
#include "host/options/option_help.h"
#include "host/sim/afterglow.h"

namespace {

constexpr const char *PROGRAM = "wav-xy";

constexpr const char *FOOTER = R"(
Example:
  snake-render 3 300 --wav f.wav && wav-xy f.wav scope.png 2

Exit status: 0 done, 1 bad arguments or a WAV that cannot be read, 4 the PNG
could not be written.
)";

struct wav_xy_args_t {
    std::string in;  // the WAV
    std::string out; // the PNG
    int scale = 1;   // pixels a side per screen point
};

// Returns -1 to go on with *args filled in, or the status to exit with.
int parse_args(int argc, char **argv, wav_xy_args_t *args)
{
    CLI::App app{"wav-xy: what an oscilloscope in XY mode draws from a WAV of the beam, as a PNG "
                 "in the screen's colours: the first channel across, the second upwards; with a "
                 "third (Z) only the lit samples.",
                 PROGRAM};
    add_version_flag(app, PROGRAM);
    add_completion_flag(app, PROGRAM);
    complete_files(app.add_option("IN", args->in, "the WAV of the beam")->required()->type_name(""),
                   {".wav"});
    complete_files(app.add_option("OUT", args->out, "the PNG to write")->required()->type_name(""),
                   {".png"});
    add_number(app, "SCALE", args->scale, "pixels per point", 1, IMAGE_SCALE_MAX,
               number_text(args->scale), "");
    format_help(app, FOOTER);
    const int parsed = parse_command_line(app, PROGRAM, argc, argv);
    if (parsed >= 0)
        return parsed;
    std::string error;
    if (!check_declared_ending(app, "OUT", args->out, &error))
        return usage_fault(PROGRAM, error);
    return -1;
}

// A tick lasts about two samples at the default rates; two touches then come
// near the raster's 0.8 for a point.
constexpr double TOUCH_WEIGHT = 0.5;

std::uint8_t screen_coordinate(float value)
{
    const double v = std::floor(static_cast<double>(value) * 128.0 + 128.0);
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

std::unique_ptr<afterglow_t> plot(const wav_data_t &wav)
{
    auto glow = std::make_unique<afterglow_t>();
    afterglow_clear(glow.get());
    const auto channels = static_cast<std::size_t>(wav.channels);
    for (std::size_t i = 0; i + channels <= wav.values.size(); i += channels) {
        if (channels >= 3 && wav.values[i + 2] < 0.5f)
            continue; // blanked
        heller(glow.get(), screen_coordinate(wav.values[i]), screen_coordinate(wav.values[i + 1]),
               TOUCH_WEIGHT);
    }
    return glow;
}

// The file's bytes; false with the system's reason when it cannot be read.
bool read_bytes(const std::string &path, std::vector<std::uint8_t> *bytes, std::string *error)
{
    errno = 0;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        *error = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    std::uint8_t block[65536];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0)
        bytes->insert(bytes->end(), block, block + n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed)
        *error = std::strerror(err != 0 ? err : EIO);
    return !failed;
}

} // namespace

int main(int argc, char **argv)
{
    secure_standard_descriptors();
    temp_files_install_signal_handlers();
    wav_xy_args_t args;
    const int parsed = parse_args(argc, argv, &args);
    if (parsed >= 0)
        return parsed;
    wav_data_t wav;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!check_run_files({{"", args.in, false}, {"", args.out, true}}, &error) ||
        !wav_ready(&error))
        return usage_fault(PROGRAM, error);
    if (!read_bytes(args.in, &bytes, &error) || !read_wav(bytes, &wav, &error) || wav.channels < 2)
        return usage_fault(PROGRAM,
                           args.in + ": " + (error.empty() ? "needs two channels" : error.c_str()));
    const rgb_image_t image = frame_image(plot(wav)->pixel.data());
    const std::vector<std::uint8_t> png =
        encode_png(args.scale > 1 ? scale_image(image, args.scale) : image);
    if (!output_write(args.out, png.data(), png.size(), &error)) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
        return EXIT_WRITE_FAILED;
    }
    return 0;
}
