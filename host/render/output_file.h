// One file of a render, opened before the work and written as it goes:
// put in place by commit(), and left as it was (its temporary file removed)
// if the render ends without it, by a failure or an exception.
#pragma once

#include <string>

#include "host/io/output_target.h"
#include "host/io/sink.h"

// A file that cannot be opened, written or put in place; the message names it.
struct write_failure_t {
    std::string message;
};

class output_file_t {
  public:
    // Opens the target `path`; throws write_failure_t when it cannot.
    explicit output_file_t(const std::string &path);
    ~output_file_t() { output_discard(&target_); }
    output_file_t(const output_file_t &) = delete;
    output_file_t &operator=(const output_file_t &) = delete;

    sink_t sink() { return output_sink(&target_); }
    // The descriptor and its first failure, for a writer that seeks in it.
    fd_sink_t *out() { return &target_.out; }
    bool seekable() const { return output_seekable(target_); }
    bool is_file() const { return target_.kind == output_kind_t::file; }
    const std::string &name() const { return target_.name; }

    // "cannot write NAME: reason" once a write has failed; "" until then.
    std::string failure() const { return output_failure(target_); }

    // Puts the file in place; throws write_failure_t when it cannot.
    void commit();

  private:
    output_target_t target_;
};
