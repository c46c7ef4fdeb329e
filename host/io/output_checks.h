// The files of a run checked together before any work, so that a run that
// cannot put its outputs in place fails at once, not at its end: every
// output's folder exists, takes a new file where one must be made, and no
// output is a folder, is the same file as another output or as an input
// (through symbolic and hard links), and only one goes to standard output.
#pragma once

#include <string>
#include <vector>

struct run_file_t {
    std::string option; // as the user wrote it ("--beam", "-o", "--keys"), for messages
    std::string path;   // as the user gave it
    bool is_output;     // false: an input the run reads
};

// The first fault among files, in their order, as a message naming the files
// ("--beam x.csv and --budget x.csv are the same file"); true when there is
// none. Every fault is the user's: the caller ends with a usage fault. Any
// number of outputs may go to /dev/null. Whether a file itself may be
// written is for output_open to find, with the system's reason.
bool check_run_files(const std::vector<run_file_t> &files, std::string *error);
