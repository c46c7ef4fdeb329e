// snake-render: frames of the scripted game as pictures, video, CSV, plots
// and sound. The command line is render_command.cpp.
#include "host/io/start_descriptors.h"
#include "host/io/temp_files.h"
#include "host/snake-render/render_command.h"

int main(int argc, char **argv)
{
    // Before anything is opened: a closed standard output stays refused.
    secure_standard_descriptors();
    // Ctrl-C, kill, a hang-up or a reader gone (`| head`) leave no temporary file.
    temp_files_install_signal_handlers();
    return render_command(argc, argv, {});
}
