// pc-snake: plays the scripted game at a level for a number of frames and
// prints the last frame, with its afterglow, as a PPM image on stdout.
//   pc-snake LEVEL FRAME
// Exit: 0 image written, 1 usage, 2 tick limit, 3 diagonal wall join,
// 4 the image could not be written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/image/ppm.h"
#include "host/keys/stimuli.h"
#include "host/options/exit_status.h"
#include "host/pc-snake/args.h"
#include "host/sim/afterglow.h"
#include "host/sim/beam_raster.h"
#include "host/sim/scripted_run.h"

namespace {

std::int32_t level; // the arguments, 0 until parsed
std::int32_t frame;
scripted_run_t run; // its `game` is the record the module plays in
afterglow_t glow;   // its `pixel`, the last frame's afterglow

int write_image()
{
    std::string image;
    write_ppm(glow.pixel.data(), image);
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
    const beam_listening_t listening(afterglow_listener(&glow));
    run_start(&run);
    const beam_fault_t fault = run_to_frame(&run, frame);
    if (beam_faulted(fault)) {
        std::fputs(beam_fault_message(fault).c_str(), stderr);
        return exit_status_of(fault);
    }
    return write_image();
}
