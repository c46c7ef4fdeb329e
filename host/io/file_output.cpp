#include "host/io/file_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool fail(const std::string &what, const std::string &path, int err, std::string *error)
{
    *error = "cannot " + what + " " + path + ": " + std::strerror(err);
    return false;
}

// Every byte, across short writes and interrupted calls.
bool write_all(int fd, const void *data, std::size_t n)
{
    const auto *p = static_cast<const unsigned char *>(data);
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        if (done == 0) {
            errno = EIO; // no progress and no reason given
            return false;
        }
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// The process's umask; reading it means setting it, so it is put straight back.
mode_t current_umask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

bool write_file_whole(const std::string &path, const void *data, std::size_t n, std::string *error)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail("create a temporary file for", path, errno, error);
    // mkstemp makes the file 0600; give it what open() would have.
    const bool written = ::fchmod(fd, 0666 & ~current_umask()) == 0 && write_all(fd, data, n);
    const int write_errno = errno;
    const bool closed = ::close(fd) == 0;
    const int close_errno = errno;
    if (!written || !closed) {
        ::unlink(temp.c_str());
        return fail("write", path, written ? close_errno : write_errno, error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int rename_errno = errno;
        ::unlink(temp.c_str());
        return fail("replace", path, rename_errno, error);
    }
    return true;
}
