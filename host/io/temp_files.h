// Temporary files beside an output that a signal must not leave behind. A
// program that writes files installs the handlers once; from then on SIGINT,
// SIGTERM, SIGHUP and SIGPIPE remove every listed temporary file and end the
// process as that signal ends it by default (a shell sees 128 + the signal).
// A signal ignored when the program started stays ignored (nohup, a parent
// that ignores SIGPIPE: a write to a closed pipe then fails with EPIPE).
#pragma once

#include <signal.h>

inline constexpr int TEMP_FILES_MAX = 32; // named temporary files alive at once
inline constexpr int TEMP_NAME_MAX = 32;  // bytes of a temporary name, with its '\0'

// Installs the handlers. SDL and others install their own for SIGINT and
// SIGTERM: whichever is installed last is the one that runs.
void temp_files_install_signal_handlers();

// The signals above held back while a temporary file is made or put in place,
// so that a handler never sees it half listed.
struct signals_held_t {
    sigset_t before;
};
void hold_signals(signals_held_t *held);
void release_signals(const signals_held_t *held);

// Lists name (shorter than TEMP_NAME_MAX) in the folder folder_fd; returns its
// slot, or -1 when the table is full. Call with the signals held.
int temp_file_listed(int folder_fd, const char *name);
void temp_file_unlisted(int slot);
