// Where a writer hands over its bytes as it makes them: a context and one
// write function, so a file, a descriptor or a test's memory take the same
// writer. A write returns false once the bytes cannot all be taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct sink_t {
    void *context;
    bool (*write)(void *context, const void *data, std::size_t n);
};

inline bool sink_write(const sink_t &sink, const void *data, std::size_t n)
{
    return sink.write(sink.context, data, n);
}

// Bytes kept in memory, for tests and for outputs small enough to hold.
struct memory_sink_t {
    std::string bytes;
};

sink_t memory_sink(memory_sink_t *memory);

// A descriptor written to: every byte, across short writes and interrupted
// calls. After the first failure nothing more is written, and err keeps its
// reason, so a caller may look only once, at the end.
struct fd_sink_t {
    int fd;                // -1: nothing to write to (err says why)
    int err;               // errno of the first failure; 0 while all went well
    std::uint64_t written; // bytes taken so far
};

sink_t fd_sink(fd_sink_t *out);
