// Loads one of the programs' modules from their folder relative to the
// program's own file (/proc/self/exe): bin/../lib/pc-snake/modules/ as installed by
// default, so that the same layout works in the build tree, after
// `cmake --install` to any prefix and in a package. A module stays loaded
// for the process.
#pragma once

#include <cstdint>
#include <string>

struct module_file_t {
    const char *file;   // e.g. "video.so"
    const char *entry;  // its exported function that returns the table
    std::uint32_t abi;  // what the table's first field must hold: its interface
    const char *brings; // the libraries it links, for the message: "FFmpeg's libraries"
};

struct loaded_module_t {
    const void *table; // the module's table; nullptr when it could not be loaded
    std::string error; // then one line for the user: "cannot load the module
                       // FILE (BRINGS): REASON", REASON as dlerror gives it
};

// Loads the module; a caller keeps the result for the process.
loaded_module_t load_module(const module_file_t &module);
