// Writing a file whole or not at all: the bytes go to a temporary file next to
// the target, which is renamed over the target only once every write and the
// close have succeeded. A reader never sees a partly written file at the path.
#pragma once

#include <cstddef>
#include <string>

// Writes data (n bytes) to path with the permissions of a newly created file
// (0666 less the umask). On failure the temporary file is removed, the path
// holds what it held before, and *error names the file and the reason.
// Not a guard against power loss: the data is not synced to the disk.
bool write_file_whole(const std::string &path, const void *data, std::size_t n, std::string *error);
