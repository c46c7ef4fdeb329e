#include "host/pc-snake/args.h"

#include <cerrno>
#include <cstdlib>

bool scan_int(const char *text, std::int32_t *out)
{
    // Base 0 reads what "%i" reads; long long has room past 32 bits everywhere.
    char *end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 0);
    if (end == text || errno == ERANGE || value > INT32_MAX || value < INT32_MIN)
        return false;
    *out = static_cast<std::int32_t>(value);
    return true;
}

bool parse_args(int argc, const char *const *argv, std::int32_t *level, std::int32_t *frame)
{
    if (argc != 3)
        return false;
    scan_int(argv[1], level);
    scan_int(argv[2], frame);
    // level - 1 must be 0 to 3: one unsigned test.
    const std::uint32_t level_index = static_cast<std::uint32_t>(*level) - 1u;
    return *frame > 0 && (level_index & ~3u) == 0;
}

void print_usage(std::FILE *err, const char *program, std::int32_t level, std::int32_t frame)
{
    std::fprintf(err, "\nVerwendung:\n%s <level> <frame>\n", program);
    std::fprintf(err, "    level in 1..4 anstatt %d\n", static_cast<int>(level));
    std::fprintf(err, "    frame > 0     anstatt %d\n", static_cast<int>(frame));
}
