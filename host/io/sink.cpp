#include "host/io/sink.h"

#include <unistd.h>

#include <cerrno>

namespace {

bool memory_write(void *context, const void *data, std::size_t n)
{
    static_cast<memory_sink_t *>(context)->bytes.append(static_cast<const char *>(data), n);
    return true;
}

bool fd_write(void *context, const void *data, std::size_t n)
{
    auto *out = static_cast<fd_sink_t *>(context);
    const auto *p = static_cast<const unsigned char *>(data);
    while (out->err == 0 && n > 0) {
        const ssize_t done = ::write(out->fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            out->err = done < 0 ? errno : EIO; // no progress and no reason given
            break;
        }
        p += done;
        n -= static_cast<std::size_t>(done);
        out->written += static_cast<std::uint64_t>(done);
    }
    return out->err == 0;
}

} // namespace

sink_t memory_sink(memory_sink_t *memory) { return {memory, memory_write}; }

sink_t fd_sink(fd_sink_t *out) { return {out, fd_write}; }
