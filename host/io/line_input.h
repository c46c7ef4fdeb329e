// A text file read a line at a time in bounded memory and time, for inputs
// that a user names (key scripts): a line is handed over once complete, or
// cut as soon as it grows past the line bound, and reading ends past the
// size bound, so an endless or binary file costs no more than the bounds.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct line_bounds_t {
    std::size_t line_max; // a longer line is handed over cut to line_max + 1 bytes
    std::size_t size_max; // bytes read at most
};

enum class line_input_end_t {
    whole,      // every line was handed over
    stopped,    // on_line asked to stop
    too_large,  // the file goes on past size_max
    unreadable, // it could not be opened or read; *error holds the system's reason
};

// Hands each line, without its '\n', to on_line, which returns false to stop.
line_input_end_t read_lines(const std::string &path, const line_bounds_t &bounds,
                            const std::function<bool(std::string_view line)> &on_line,
                            std::string *error);
