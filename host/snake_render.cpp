// snake-render: frames of the scripted game as pictures, video, CSV, plots
// and sound. The command line is host/render_command.cpp.
#include "host/render_command.h"

int main(int argc, char **argv) { return render_command(argc, argv, {}); }
