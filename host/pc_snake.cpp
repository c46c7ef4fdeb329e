// pc-snake: plays the scripted game at a level for a number of frames and
// prints the last frame, with its afterglow, as a PPM image on stdout.
//   pc-snake LEVEL FRAME
// Exit: 0 image written, 1 usage, 2 tick limit, 3 diagonal wall join,
// 4 the image could not be written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/args.h"
#include "host/exit_status.h"
#include "host/image/ppm.h"
#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"

namespace {

std::int32_t level; // the arguments, 0 until parsed
std::int32_t frame;
scripted_run_t run; // its `game` is the record the module plays in

int write_image()
{
    std::string image;
    write_ppm(raster.pixel.data(), image);
    errno = 0;
    const std::size_t written = std::fwrite(image.data(), 1, image.size(), stdout);
    if (written != image.size() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int err = errno;
        std::fprintf(stderr, "pc-snake: cannot write the image: %s\n",
                     err != 0 ? std::strerror(err) : "write error");
        return EXIT_WRITE_FAILED;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (!parse_args(argc, argv, &level, &frame)) {
        const char *program = (argc > 0 && argv[0] != nullptr) ? argv[0] : "pc-snake";
        print_usage(stderr, program, level, frame);
        return EXIT_USAGE;
    }
    run.setup.level = static_cast<std::uint8_t>(level);
    run.keys = builtin_key_script();
    try {
        run_start(&run);
        run_to_frame(&run, frame);
    } catch (const beam_abort_t &abort) {
        return abort.status; // the raster has said why
    }
    return write_image();
}
