#include "host/options/option_help.h"

#include <cstdio>
#include <locale>
#include <sstream>

#include "host/options/exit_status.h"

std::string number_text(double v)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << v;
    return text.str();
}

bool option_given(const CLI::App &app, const std::string &name)
{
    const CLI::Option *option = app.get_option_no_throw(name);
    return option != nullptr && option->count() > 0;
}

void format_help(CLI::App &app, const std::string &footer)
{
    app.get_formatter()->column_width(27);
    app.footer(footer);
}

int usage_fault(const std::string &program, const std::string &message)
{
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    return EXIT_USAGE;
}

int parse_command_line(CLI::App &app, const std::string &program, int argc, char **argv)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        return usage_fault(program,
                           std::string(e.what()) + "\nRun with --help for more information.");
    }
    return -1;
}
