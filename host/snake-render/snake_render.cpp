// snake-render: frames of the scripted game as pictures, video, CSV, plots
// and sound. The command line is render_command.cpp.
#include "host/snake-render/render_command.h"

int main(int argc, char **argv) { return render_command(argc, argv, {}); }
