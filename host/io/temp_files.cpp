#include "host/io/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

namespace {

constexpr std::array<int, 4> HANDLED = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Filled before `used` is set and read by the handler only where it is set.
struct temp_slot_t {
    volatile sig_atomic_t used;
    int folder_fd;
    char name[TEMP_NAME_MAX];
};

std::array<temp_slot_t, TEMP_FILES_MAX> slots{};

void remove_temp_files_and_die(int signal)
{
    for (const temp_slot_t &slot : slots)
        if (slot.used != 0)
            ::unlinkat(slot.folder_fd, slot.name, 0);
    ::signal(signal, SIG_DFL);
    ::raise(signal); // held until this handler returns, then ends the process
}

sigset_t handled_set()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : HANDLED)
        sigaddset(&set, signal);
    return set;
}

} // namespace

void temp_files_install_signal_handlers()
{
    struct sigaction action {};
    action.sa_handler = remove_temp_files_and_die;
    action.sa_mask = handled_set(); // one cleanup at a time
    for (const int signal : HANDLED) {
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

void hold_signals(signals_held_t *held)
{
    const sigset_t set = handled_set();
    ::pthread_sigmask(SIG_BLOCK, &set, &held->before);
}

void release_signals(const signals_held_t *held)
{
    ::pthread_sigmask(SIG_SETMASK, &held->before, nullptr);
}

int temp_file_listed(int folder_fd, const char *name)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        temp_slot_t &slot = slots[i];
        if (slot.used != 0)
            continue;
        slot.folder_fd = folder_fd;
        std::strncpy(slot.name, name, sizeof slot.name - 1);
        slot.name[sizeof slot.name - 1] = '\0';
        std::atomic_signal_fence(std::memory_order_seq_cst);
        slot.used = 1;
        return static_cast<int>(i);
    }
    return -1;
}

void temp_file_unlisted(int slot)
{
    if (slot >= 0 && slot < TEMP_FILES_MAX)
        slots[static_cast<std::size_t>(slot)].used = 0;
}
