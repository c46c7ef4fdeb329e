#include "host/io/file_output.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int LINK_HOPS_MAX = 40; // as the kernel's own limit on a path's links

bool fail(const std::string &what, const std::string &path, int err, std::string *error)
{
    *error = "cannot " + what + " " + path + ": " + std::strerror(err != 0 ? err : EIO);
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

std::string folder_of(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path a chain of symbolic links ends at (which need not exist yet).
bool follow_links(std::string path, std::string *target, std::string *error)
{
    for (int hop = 0; hop <= LINK_HOPS_MAX; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = path;
            return true;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
        if (n < 0)
            return fail("follow the link", path, errno, error);
        const std::string to(link, static_cast<std::size_t>(n));
        path = to.front() == '/' ? to : folder_of(path) + to;
    }
    return fail("follow the links of", path, ELOOP, error);
}

bool write_through(int fd, const std::string &shown, const void *data, std::size_t n,
                   std::string *error)
{
    if (!write_all(fd, data, n))
        return fail("write", shown, errno, error);
    return true;
}

bool write_stream(const std::string &path, const void *data, std::size_t n, std::string *error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail("open", path, errno, error);
    const bool written = write_through(fd, path, data, n, error);
    const int close_errno = errno;
    if (::close(fd) != 0 && written)
        return fail("write", path, close_errno, error);
    return written;
}

// Through a temporary file beside `target`, renamed over it at the end.
bool replace_file(const std::string &path, const std::string &target, mode_t mode, const void *data,
                  std::size_t n, std::string *error)
{
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail("create a temporary file for", path, errno, error);
    const bool written = ::fchmod(fd, mode) == 0 && write_all(fd, data, n);
    const int write_errno = errno;
    const bool closed = ::close(fd) == 0;
    const int close_errno = errno;
    if (!written || !closed) {
        ::unlink(temp.c_str());
        return fail("write", path, written ? close_errno : write_errno, error);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int rename_errno = errno;
        ::unlink(temp.c_str());
        return fail("replace", path, rename_errno, error);
    }
    return true;
}

} // namespace

bool is_standard_output(const std::string &path) { return path == "-"; }

bool output_is_stream(const std::string &path)
{
    struct stat st {};
    return is_standard_output(path) ||
           (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode));
}

bool write_file_whole(const std::string &path, const void *data, std::size_t n, std::string *error)
{
    if (is_standard_output(path))
        return write_through(STDOUT_FILENO, "to standard output", data, n, error);
    std::string target;
    if (!follow_links(path, &target, error))
        return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) // a new file, as open() would make it
        return replace_file(path, target, 0666 & ~current_umask(), data, n, error);
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return write_stream(target, data, n, error);
    return replace_file(path, target, st.st_mode & 07777, data, n, error);
}
