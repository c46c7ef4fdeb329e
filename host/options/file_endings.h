// The one rule for the names of outputs of one format (--gif, --wav,
// --screenshot ...): a regular file's name ends as its format does, so that a
// slip such as `--wav x.mp3` is refused before any work. Standard output
// (-), an existing pipe or device, and the names of descriptors (/dev/...,
// /proc/...) take any name. Names are shown in messages with the bytes
// outside printable ASCII as \xNN, as key-script words are.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "host/io/target_place.h" // shown_name, the one way names are shown

// On a name that breaks the rule returns false with "OPTION NAME: the name
// must end in ENDING"; an empty name is an output not asked for.
bool check_file_ending(const char *option, const std::string &name, const char *ending,
                       std::string *error);

// The same, with the ending the option declared for its files (complete_files).
bool check_declared_ending(CLI::App &app, const char *option, const std::string &name,
                           std::string *error);
