#include "host/io/seekable_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::int64_t failed(const seekable_file_t &f)
{
    if (f.out->err == 0)
        f.out->err = errno != 0 ? errno : EIO;
    return -1;
}

} // namespace

seekable_file_t seekable_file(fd_sink_t *out)
{
    const off_t at = ::lseek(out->fd, 0, SEEK_CUR);
    return {out, at < 0 ? 0 : at};
}

std::int64_t seekable_seek(const seekable_file_t &f, std::int64_t offset, int whence)
{
    std::int64_t to = offset;
    if (whence == SEEK_CUR)
        to += seekable_tell(f);
    else if (whence == SEEK_END)
        to += seekable_size(f);
    if (to < 0) {
        errno = EINVAL;
        return -1; // the writer's own mistake, not the file's
    }
    const off_t at = ::lseek(f.out->fd, f.base + to, SEEK_SET);
    return at < 0 ? failed(f) : at - f.base;
}

std::int64_t seekable_tell(const seekable_file_t &f)
{
    const off_t at = ::lseek(f.out->fd, 0, SEEK_CUR);
    return at < 0 ? failed(f) : at - f.base;
}

std::int64_t seekable_size(const seekable_file_t &f)
{
    struct stat st {};
    if (::fstat(f.out->fd, &st) != 0)
        return failed(f);
    return st.st_size > f.base ? st.st_size - f.base : 0;
}

std::int64_t seekable_read(const seekable_file_t &f, void *to, std::size_t n)
{
    ssize_t got;
    do
        got = ::read(f.out->fd, to, n);
    while (got < 0 && errno == EINTR);
    return got < 0 ? failed(f) : got;
}

bool seekable_write(const seekable_file_t &f, const void *data, std::size_t n)
{
    return sink_write(fd_sink(f.out), data, n);
}
