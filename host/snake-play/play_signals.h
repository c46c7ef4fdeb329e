// SIGTERM, SIGINT and SIGHUP end snake-play as closing the window does: the
// recording and the screenshot are written (a player who stops with Ctrl-C
// keeps the game), then the program exits with 128 plus the signal's number.
// The handler only notes the signal; the main loop looks at it between
// frames and never waits longer than STOP_SIGNAL_WAIT_US at a time.
#pragma once

#include <cstdint>

// The longest the main loop sleeps before it looks for a signal again.
inline constexpr std::int64_t STOP_SIGNAL_WAIT_US = 50000;

// Installs the handlers. Call before SDL starts: it then leaves these signals
// alone, where its own handlers would make SIGINT and SIGTERM a quiet quit.
void install_stop_signals();

// The signal that asked the run to stop, or 0.
int stop_signal();
