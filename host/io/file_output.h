// Writing an output whole or not at all. A regular file (or a new one) is
// written to a temporary file beside it, which is renamed over it only once
// every write and the close have succeeded, keeping the mode of the file it
// replaces: a reader never sees a partly written file at the path. A
// symbolic link is followed, and the file it points to is the one replaced.
// A target that exists and is not a regular file (a pipe, a terminal, a
// device) is opened and written straight through, and "-" is standard output.
#pragma once

#include <cstddef>
#include <string>

// Whether `path` names standard output.
bool is_standard_output(const std::string &path);

// Whether `path` is written straight through: standard output, or an existing
// pipe, terminal or device. A stream cannot be rewritten, only written once.
bool output_is_stream(const std::string &path);

// Writes data (n bytes) to path. On failure a replaced file holds what it
// held before, no temporary file is left, and *error names the target and
// the reason. Not a guard against power loss: the data is not synced.
bool write_file_whole(const std::string &path, const void *data, std::size_t n, std::string *error);
