#include "host/io/start_descriptors.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

struct start_t {
    bool known = false;  // secure_standard_descriptors has run
    bool listed = false; // open_at_start lists every inherited descriptor
    std::vector<int> open_at_start;
    bool standard_closed[3] = {}; // 0, 1, 2 were closed and are now placeholders
};

start_t start;

bool is_open(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// /dev/null opened the other way round: a read from the stand-in for input
// or a write to the one for output fails with "Bad file descriptor", as it
// would on the closed descriptor. "/" as a path-only descriptor refuses both.
void occupy(int fd)
{
    const int flags = fd == STDIN_FILENO ? O_WRONLY : O_RDONLY;
    int got = ::open("/dev/null", flags);
    if (got < 0)
        got = ::open("/", O_PATH | O_DIRECTORY);
    if (got < 0)
        std::abort(); // nothing can be opened: better no run than a misplaced file
    if (got != fd) {
        ::dup2(got, fd);
        ::close(got);
    }
}

void list_open_descriptors()
{
    DIR *dir = ::opendir("/proc/self/fd");
    if (dir == nullptr)
        return;
    const int own = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && fd != own)
            start.open_at_start.push_back(static_cast<int>(fd));
    }
    ::closedir(dir);
    start.listed = true;
}

} // namespace

void secure_standard_descriptors()
{
    for (int fd = 0; fd < 3; ++fd) {
        if (!is_open(fd)) {
            occupy(fd);
            start.standard_closed[fd] = true;
        }
    }
    list_open_descriptors();
    start.known = true;
}

bool descriptor_inherited(int fd)
{
    if (fd < 0)
        return false;
    if (fd < 3 && start.standard_closed[fd])
        return false;
    if (!start.known || !start.listed)
        return is_open(fd);
    for (const int open : start.open_at_start)
        if (open == fd)
            return true;
    return false;
}
