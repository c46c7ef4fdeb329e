// What every option of snake-render and snake-play shares: numbers read and
// checked one way (option_numbers.h), with the range and the default printed
// in the help from the same constants, one help line per option, and one way
// of saying that an option is wrong.
#pragma once

#include <CLI/CLI.hpp>

#include <exception>
#include <optional>
#include <string>
#include <type_traits>

#include "host/options/option_numbers.h"

// A bound or a default as the help shows it, the same in every locale.
std::string number_text(double v);
template <class T> std::string number_text(T v)
{
    static_assert(std::is_integral_v<T>);
    return std::to_string(+v);
}

// "what, LO to HI": the help of a number option; its default follows as [..].
template <class T> std::string number_help(const std::string &what, T lo, T hi)
{
    return what + ", " + number_text(lo) + " to " + number_text(hi);
}

// The type a number option's value holds (the inner one of an optional).
template <class V> struct number_slot {
    using type = V;
};
template <class V> struct number_slot<std::optional<V>> {
    using type = V;
};

// Refuses a value that read_number refuses, with its message.
CLI::Validator number_check(const number_range_t &range);

// A number option checked by read_number; `shown_default` goes into the help as [..].
template <class V>
CLI::Option *add_checked_number(CLI::App &app, const std::string &names, V &value,
                                const std::string &help, const number_range_t &range,
                                const std::string &shown_default, const std::string &type)
{
    const auto store = [&value, range](const std::string &text) {
        double v = 0;
        read_number(text, range, &v); // the check has let it through
        value = static_cast<typename number_slot<V>::type>(v);
    };
    CLI::Option *o = app.add_option_function<std::string>(names, store, help);
    o->check(number_check(range))->type_name(type);
    if (!shown_default.empty())
        o->default_str(shown_default);
    return o;
}

// A number option from lo to hi, whole when T is; `shown_default` goes into the help as [..].
template <class V, class T>
CLI::Option *add_number(CLI::App &app, const std::string &names, V &value, const std::string &what,
                        T lo, T hi, const std::string &shown_default, const std::string &type = "N")
{
    const number_range_t range{std::is_integral_v<T>, static_cast<double>(lo),
                               static_cast<double>(hi)};
    return add_checked_number(app, names, value, number_help(what, lo, hi), range, shown_default,
                              type);
}

// Whether the option `name` (e.g. "--size") of `app` was on the command line.
bool option_given(const CLI::App &app, const std::string &name);

// Help as the programs show it: options and their text on one line each, the
// text in one column just past the longest option, measured when the help is
// shown.
void format_help(CLI::App &app, const std::string &footer);

// -V and --version: "PROGRAM VERSION", the version of the build (host/version.h).
void add_version_flag(CLI::App &app, const std::string &program);

// "PROGRAM: message" on stderr; returns EXIT_USAGE.
int usage_fault(const std::string &program, const std::string &message);

// What a failure says to a user: "out of memory" for std::bad_alloc, else its own words.
std::string failure_reason(const std::exception &e);

// "PROGRAM: out of memory" on stderr; returns EXIT_WRITE_FAILED (the outputs could not be made).
int out_of_memory(const std::string &program);

// Parses argv; returns -1 to go on, or the status to exit with (0 after
// --help, --version or --bash-completion, EXIT_USAGE after a fault, said on stderr).
int parse_command_line(CLI::App &app, const std::string &program, int argc, char **argv);
