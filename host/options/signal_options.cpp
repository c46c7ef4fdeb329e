#include "host/options/signal_options.h"

#include <string>

#include "host/options/option_help.h"

void add_signal_options(CLI::App &app, signal_format_t *format)
{
    add_number(app, "--rate", format->rate, "samples per second", SIGNAL_RATE_MIN, SIGNAL_RATE_MAX,
               number_text(format->rate), "HZ");
    // A gain of 0 would draw nothing.
    add_checked_number(app, "--gain", format->gain, "scale of X and Y, above 0 to 1",
                       {false, 0.0, 1.0, true}, number_text(format->gain), "G");
    app.add_flag("--swap", format->swap, "Y on the left channel, X on the right");
    app.add_flag("--z", format->z, "a third channel for a Z input: 1 lit, 0 dark");
}
