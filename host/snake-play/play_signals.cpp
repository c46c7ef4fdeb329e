#include "host/snake-play/play_signals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t stop_signal_number = 0;

extern "C" void note_stop_signal(int number) { stop_signal_number = number; }

} // namespace

void install_stop_signals()
{
    struct sigaction action {};
    action.sa_handler = note_stop_signal;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

int stop_signal() { return stop_signal_number; }
