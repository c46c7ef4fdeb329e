// A piece of a test run in a child process, where it may change what a test
// process cannot change back (its user, its standard descriptors, its signal
// handlers) or be killed, and hand back what it found as text.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

struct child_t {
    int status;       // as waitpid gives it
    std::string said; // what the body returned
};

// Runs body in a child process and waits for it.
child_t run_in_child(const std::function<std::string()> &body);

// Turns the calling process (a child) into uid and gid, with no other groups;
// false where that is impossible (the tests then run as root only).
bool become_user(uid_t uid, gid_t gid);
