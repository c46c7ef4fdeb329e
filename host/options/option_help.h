// What every option of snake-render and snake-play shares: numbers checked by
// CLI11 against a range, with the range and the default printed in the help
// from the same constants, one help line per option, and one way of saying
// that an option is wrong.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <type_traits>

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

// A number option from lo to hi; `shown_default` goes into the help as [..].
template <class V, class T>
CLI::Option *add_number(CLI::App &app, const std::string &names, V &value, const std::string &what,
                        T lo, T hi, const std::string &shown_default, const std::string &type = "N")
{
    CLI::Option *o = app.add_option(names, value, number_help(what, lo, hi));
    o->check(CLI::Range(lo, hi).description(""))->type_name(type);
    if (!shown_default.empty())
        o->default_str(shown_default);
    return o;
}

// Whether the option `name` (e.g. "--size") of `app` was on the command line.
bool option_given(const CLI::App &app, const std::string &name);

// Help as the programs show it: options and their text on one line each.
void format_help(CLI::App &app, const std::string &footer);

// "PROGRAM: message" on stderr; returns EXIT_USAGE.
int usage_fault(const std::string &program, const std::string &message);

// Parses argv; returns -1 to go on, or the status to exit with (0 after
// --help or --version, EXIT_USAGE after a fault, said on stderr).
int parse_command_line(CLI::App &app, const std::string &program, int argc, char **argv);
