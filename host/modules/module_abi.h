// What a loadable module and the program that loads it share: a call's
// outcome as a status and a message, and the way a module's C++ exceptions
// become that outcome. Modules are the parts of the programs that link heavy
// libraries (FFmpeg's, libsndfile), loaded only by a run that uses them.
#pragma once

#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

// The one symbol a module exports: a C function returning its table.
#define PC_SNAKE_MODULE_ENTRY extern "C" __attribute__((visibility("default")))

enum module_status_t : std::int32_t {
    MODULE_OK = 0,
    MODULE_FAILED = 1,       // the library or the file refused (std::runtime_error)
    MODULE_BAD_ARGUMENT = 2, // the caller asked for something impossible (std::invalid_argument)
    MODULE_NO_MEMORY = 3,    // std::bad_alloc
};

inline constexpr std::size_t MODULE_MESSAGE_MAX = 512;

// A call's outcome: its status, and the reason when it is not MODULE_OK.
struct module_error_t {
    std::int32_t status;
    char message[MODULE_MESSAGE_MAX];
};

// Runs `body` inside a module's C function: an exception becomes a status
// and its message (cut to fit), so none crosses into the program.
template <typename Body> std::int32_t module_call(module_error_t *error, Body body)
{
    error->status = MODULE_OK;
    error->message[0] = '\0';
    const auto keep = [error](module_status_t status, const char *what) {
        error->status = status;
        std::strncpy(error->message, what, MODULE_MESSAGE_MAX - 1);
        error->message[MODULE_MESSAGE_MAX - 1] = '\0';
    };
    try {
        body();
    } catch (const std::bad_alloc &) {
        keep(MODULE_NO_MEMORY, "out of memory");
    } catch (const std::invalid_argument &e) {
        keep(MODULE_BAD_ARGUMENT, e.what());
    } catch (const std::exception &e) {
        keep(MODULE_FAILED, e.what());
    }
    return error->status;
}

// On the program's side: the exception the module's call stood for, thrown
// again; nothing when it went well.
inline void module_rethrow(const module_error_t &error)
{
    switch (error.status) {
    case MODULE_OK: return;
    case MODULE_NO_MEMORY: throw std::bad_alloc();
    case MODULE_BAD_ARGUMENT: throw std::invalid_argument(error.message);
    default: throw std::runtime_error(error.message);
    }
}
