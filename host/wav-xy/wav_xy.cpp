// wav-xy: what an oscilloscope in XY mode draws from a WAV of the beam, as a
// PNG in the screen's colours: the first channel across, the second upwards,
// every sample a touch of the beam that brightens its point the way the
// raster's afterglow does. With a third channel (Z) only lit samples draw.
// For looking at a WAV without a scope, and for the README's picture.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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
#include "host/sim/afterglow.h"

namespace {

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
    const int scale = argc == 4 ? std::atoi(argv[3]) : 1;
    if (argc < 3 || argc > 4 || scale < 1 || scale > IMAGE_SCALE_MAX) {
        std::fputs("usage: wav-xy IN.wav OUT.png [SCALE]  (SCALE: pixels per point, 1 to 8)\n",
                   stderr);
        return EXIT_USAGE;
    }
    wav_data_t wav;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!check_run_files({{"", argv[1], false}, {"", argv[2], true}}, &error) ||
        !wav_ready(&error)) {
        std::fprintf(stderr, "wav-xy: %s\n", error.c_str());
        return EXIT_USAGE;
    }
    if (!read_bytes(argv[1], &bytes, &error) || !read_wav(bytes, &wav, &error) ||
        wav.channels < 2) {
        std::fprintf(stderr, "wav-xy: %s: %s\n", argv[1],
                     error.empty() ? "needs two channels" : error.c_str());
        return EXIT_USAGE;
    }
    const rgb_image_t image = frame_image(plot(wav)->pixel.data());
    const std::vector<std::uint8_t> png = encode_png(scale > 1 ? scale_image(image, scale) : image);
    if (!output_write(argv[2], png.data(), png.size(), &error)) {
        std::fprintf(stderr, "wav-xy: %s\n", error.c_str());
        return EXIT_WRITE_FAILED;
    }
    return 0;
}
