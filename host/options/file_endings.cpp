#include "host/options/file_endings.h"

#include <sys/stat.h>

#include "host/keys/key_script.h"
#include "host/options/option_completion.h"

namespace {

// Whether the name is written straight through, whatever its ending.
bool any_name_goes(const std::string &name)
{
    if (name == "-" || name.starts_with("/dev/") || name.starts_with("/proc/"))
        return true;
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

} // namespace

bool check_file_ending(const char *option, const std::string &name, const char *ending,
                       std::string *error)
{
    const std::string end = ending;
    if (name.empty() || (name.size() > end.size() && name.ends_with(end)) || any_name_goes(name))
        return true;
    *error = std::string(option) + " " + shown_name(name) + ": the name must end in " + end;
    return false;
}

bool check_declared_ending(CLI::App &app, const char *option, const std::string &name,
                           std::string *error)
{
    const std::vector<std::string> endings = declared_endings(app, option);
    return check_file_ending(option, name, endings.at(0).c_str(), error);
}
