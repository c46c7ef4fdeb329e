#include "host/options/signal_options.h"

#include <string>

#include "host/options/option_help.h"

namespace {

// CLI11's range check takes 0 itself; a gain of 0 would draw nothing.
const CLI::Validator ABOVE_ZERO(
    [](std::string &text) {
        return std::stod(text) > 0 ? std::string() : std::string("the gain must be above 0");
    },
    "");

} // namespace

void add_signal_options(CLI::App &app, signal_format_t *format)
{
    add_number(app, "--rate", format->rate, "samples per second", SIGNAL_RATE_MIN, SIGNAL_RATE_MAX,
               number_text(format->rate), "HZ");
    app.add_option("--gain", format->gain, "scale of X and Y, above 0 to 1")
        ->check(CLI::Range(0.0, 1.0).description(""))
        ->check(ABOVE_ZERO)
        ->type_name("G")
        ->default_str(number_text(format->gain));
    app.add_flag("--swap", format->swap, "Y on the left channel, X on the right");
    app.add_flag("--z", format->z, "a third channel for a Z input: 1 lit, 0 dark");
}
