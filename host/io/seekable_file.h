// An output that a writer goes back into as it writes (libsndfile for a WAV's
// header, a muxer for a video's index), seen from where the output begins in
// its descriptor: a fresh file begins at 0, standard output redirected to a
// file perhaps further on. Writes go through the fd_sink, so the first
// failure of a write or a seek is kept there for the output's owner to tell.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/io/sink.h"

struct seekable_file_t {
    fd_sink_t *out;
    std::int64_t base; // the descriptor's offset where the output begins
};

// The output as it stands now, at its beginning.
seekable_file_t seekable_file(fd_sink_t *out);

// Each returns -1 on a fault, and keeps its errno in out->err; whence is
// SEEK_SET, SEEK_CUR or SEEK_END.
std::int64_t seekable_seek(const seekable_file_t &f, std::int64_t offset, int whence);
std::int64_t seekable_tell(const seekable_file_t &f);
std::int64_t seekable_size(const seekable_file_t &f);
std::int64_t seekable_read(const seekable_file_t &f, void *to, std::size_t n);
// Every byte at the current position, or false.
bool seekable_write(const seekable_file_t &f, const void *data, std::size_t n);
