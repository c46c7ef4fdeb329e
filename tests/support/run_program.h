// A program run as a user runs it, through the shell, with a time limit so
// that a hanging run fails its test instead of stalling it.
#pragma once

#include <string>

struct run_t {
    int status; // exit status; 124 or 137 after the time limit, -1 on a signal
    std::string out, err;
};

// "'program' <tail>" with stdout to out_target (a shell word), or captured when
// empty. The program gets 60 seconds, then TERM, and KILL 5 seconds later.
run_t run_program(const std::string &program, const std::string &tail,
                  const std::string &out_target = "");

// The first option line of a program's --help whose text is not in the one
// column of the others, or "blanks" when the longest option leaves more than
// the two blanks it needs; empty when the columns are right.
std::string help_misaligned(const std::string &help);

// The first line of `text` that does not begin with `prefix` (a message that
// is not the program's own), or empty when every line does.
std::string foreign_line(const std::string &text, const std::string &prefix);

// A fresh empty folder for one test's files, removed with the object.
struct scratch_dir_t {
    scratch_dir_t();
    ~scratch_dir_t();
    scratch_dir_t(const scratch_dir_t &) = delete;
    scratch_dir_t &operator=(const scratch_dir_t &) = delete;
    std::string path;
    std::string operator/(const std::string &name) const { return path + "/" + name; }
};
