// Where an output's name leads, found the way the shell's `>` finds it: the
// kernel follows every symbolic link (so its link protections apply), and the
// folder and name it ends at are held open, so that what the name meant when
// the run began is what a run writes, whatever the links say later.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

struct target_place_t {
    int folder_fd = -1;  // the folder the file is or will be in (O_PATH); -1: none
    std::string folder;  // that folder as named, for messages
    std::string leaf;    // the file's name in it ("" for a folder named with a '/')
    bool exists = false; // whether the name leads to something
    int descriptor = -1; // an open descriptor a link leads to (/dev/stdout...), or -1
    struct stat st {};   // what it leads to, when it exists (never a link)
};

// Finds the place of path (not itself a descriptor's name). On a fault *error says it, naming the
// path: "the folder D for P does not exist", or "cannot open P: <reason>".
bool find_target_place(const std::string &path, target_place_t *place, std::string *error);
void close_target_place(target_place_t *place);

// The descriptor that "-", "/dev/stdout", "/dev/stderr", "/dev/stdin",
// "/dev/fd/N", "/proc/self/fd/N" or "/proc/<this process>/fd/N" denotes;
// -1 for any other name.
int descriptor_named(const std::string &path);

// A name as it may be shown in a message: control characters as \xNN,
// everything else (UTF-8 too) as it is.
std::string shown_name(std::string_view name);
