// One output of a run, opened before any work, written as the run goes, then
// committed or discarded. A file is written whole or not at all; anything
// else is written straight through, as the shell's `>` would write it.
//
//   "-", /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N (or a link to
//       one): written through a copy of that open descriptor, so a pipe is
//       streamed and `>> log` appends. Standard output closed when the
//       program started (secure_standard_descriptors) fails at open with
//       "Bad file descriptor".
//   an existing pipe, terminal or device: opened and written straight
//       through (a pipe without a reader blocks the open, as `>` would).
//   a regular file, or a new name: written into a temporary file in the
//       target's folder (unnamed where the system allows, so a killed run
//       leaves nothing; else a short hidden name the signal handlers of
//       temp_files.h remove) and put in place at commit. A replaced file
//       keeps its mode, and its owner and group where the kernel lets them
//       be set (always as root).
//   a file that cannot be replaced without harm is written in place at
//       commit, as `>` would (truncated to the new bytes): a file with other
//       hard links (every name sees the new bytes), a file whose owner or
//       group the writer cannot give the replacement (another user's file
//       that one may write), and a file in a folder one may not write to.
//       Until the commit it is untouched; the commit itself is then not
//       whole or nothing (space is reserved first where the system can).
//
// Links are followed where the kernel lets `>` follow them; the file replaced
// is the one the name led to at open. A file that `>` could not open for
// writing is refused at open with the system's reason. Errors name the target
// and the reason: "cannot write /dev/full: No space left on device".
#pragma once

#include <cstddef>
#include <string>

#include "host/io/sink.h"

enum class output_kind_t {
    descriptor, // written through a copy of an open descriptor
    stream,     // an existing pipe, terminal or device, written straight through
    file,       // a temporary file put in place at commit
};

struct output_target_t {
    std::string name;                         // as the user gave it, for messages
    output_kind_t kind = output_kind_t::file; // how the bytes reach the target
    fd_sink_t out{-1, 0, 0}; // where writes go (a file's temporary file), and the first failure
    bool seekable = false;   // a file: out.fd may be sought, read and written at any offset
    // A file only:
    int folder_fd = -1;      // the target's folder as found at open (O_PATH)
    std::string leaf;        // the target's name in that folder
    int temp_folder_fd = -1; // the temporary file's folder
    std::string temp_name;   // its name there; "" while it has none
    int temp_slot = -1;      // its entry in temp_files' table; -1: none
    int place_fd = -1;       // the target itself, written in place at commit; -1: replaced
};

// Opens the output `name`, before any work. On failure *error says why
// (a program ends with its write-fault status) and nothing is left open or
// made. The target stays where it is (its sink points into it) until
// output_commit or output_discard.
bool output_open(const std::string &name, output_target_t *target, std::string *error);

// The sink a writer writes the output through. A writer that must seek
// (libsndfile's sf_open_fd with close_desc off, an FFmpeg AVIO context with a
// seek callback) uses out.fd itself where seekable is set, and reports its
// own write errors; it never closes out.fd.
sink_t output_sink(output_target_t *target);

// Puts the output in place. On failure *error says why, and a file target
// holds what it held before (but see the in-place case above). Every
// descriptor of the target is closed either way.
bool output_commit(output_target_t *target, std::string *error);

// Leaves the target as it was and removes the temporary file; nothing after
// output_commit or on a target never opened.
void output_discard(output_target_t *target);

// "cannot write NAME: reason" once a write to the target has failed; "" while
// every write went through.
std::string output_failure(const output_target_t &target);

// Whether the target is a file a writer may go back into: a file target, or a
// descriptor or device that takes seeks and is not appended to (standard
// output redirected to a file with `>`, /dev/null). Not a pipe or a terminal.
bool output_seekable(const output_target_t &target);

// Whether output_open(name) would write straight through (a descriptor's
// name, an existing pipe, terminal or device), found without opening it.
bool output_is_stream(const std::string &name);

// Opens, writes and commits in one call, for an output made whole in memory
// (one picture, a key script); on failure *error says why.
bool output_write(const std::string &name, const void *data, std::size_t n, std::string *error);

// Temporary files with names even where the system offers unnamed ones: for
// tests of the names' clean-up, and for a system that misreports.
void output_use_named_temp_files(bool named);
