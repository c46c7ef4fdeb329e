#include "host/options/option_help.h"

#include <algorithm>
#include <cstdio>
#include <locale>
#include <memory>
#include <new>
#include <sstream>
#include <vector>

#include "host/options/exit_status.h"
#include "host/options/option_completion.h"
#include "host/version.h"

namespace {

constexpr std::size_t HELP_INDENT = 2; // CLI11's before each option
constexpr std::size_t HELP_GAP = 2;    // between the longest option and its text
constexpr double FEW_VALUES = 8;       // a whole range this short is completed value by value

// A short whole range's values, for the completion to offer (levels 1 to 4, scales 1 to 8).
std::string range_name(const number_range_t &range)
{
    if (!range.whole || range.hi - range.lo >= FEW_VALUES)
        return "";
    std::vector<std::string> values;
    for (double v = range.above_lo ? range.lo + 1 : range.lo; v <= range.hi; ++v)
        values.push_back(number_text(v));
    return completion_words_name(values);
}

} // namespace

std::string number_text(double v)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << v;
    return text.str();
}

CLI::Validator number_check(const number_range_t &range)
{
    return CLI::Validator(
        [range](const std::string &text) {
            double value = 0;
            return read_number(text, range, &value);
        },
        "", range_name(range));
}

bool option_given(const CLI::App &app, const std::string &name)
{
    const CLI::Option *option = app.get_option_no_throw(name);
    return option != nullptr && option->count() > 0;
}

namespace {

// CLI11's formatter, its column found when the help is shown, so that a run
// without --help does not format every option's name to measure it.
class aligned_formatter_t : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App *app, std::string name,
                          CLI::AppFormatMode mode) const override
    {
        CLI::Formatter aligned(*this);
        std::size_t longest = 0;
        for (const CLI::Option *o : app->get_options()) {
            const bool positional = !o->nonpositional();
            const std::string option =
                aligned.make_option_name(o, positional) + aligned.make_option_opts(o);
            longest = std::max(longest, option.size());
        }
        aligned.column_width(HELP_INDENT + longest + HELP_GAP);
        return aligned.make_help(app, std::move(name), mode);
    }
};

} // namespace

void format_help(CLI::App &app, const std::string &footer)
{
    app.formatter(std::make_shared<aligned_formatter_t>());
    app.footer(footer);
}

void add_version_flag(CLI::App &app, const std::string &program)
{
    app.set_version_flag("-V,--version", program + " " + PC_SNAKE_VERSION);
}

int usage_fault(const std::string &program, const std::string &message)
{
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    return EXIT_USAGE;
}

std::string failure_reason(const std::exception &e)
{
    return dynamic_cast<const std::bad_alloc *>(&e) != nullptr ? "out of memory" : e.what();
}

int out_of_memory(const std::string &program)
{
    std::fprintf(stderr, "%s: out of memory\n", program.c_str());
    return EXIT_WRITE_FAILED;
}

int parse_command_line(CLI::App &app, const std::string &program, int argc, char **argv)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::Success &) {
        return 0; // a hidden option has done its work (--bash-completion)
    } catch (const CLI::ParseError &e) {
        return usage_fault(program,
                           std::string(e.what()) + "\nRun with --help for more information.");
    }
    return -1;
}
