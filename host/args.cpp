#include "host/args.h"

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

bool is_hex_digit(char c) { return digit_value(c) < 16; }

} // namespace

bool scan_int(const char *text, std::int32_t *out)
{
    const char *p = text;
    while (is_blank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (*p++ == '-');

    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && is_hex_digit(p[2])) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8; // a lone "0" (or "0x" without digits) reads as 0
    }

    // Accumulate the magnitude; past 2^31 the value cannot fit either sign.
    constexpr std::int64_t LIMIT = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    bool any = false;
    bool too_big = false;
    for (; digit_value(*p) < base; ++p) {
        any = true;
        magnitude = magnitude * base + digit_value(*p);
        if (magnitude > LIMIT) {
            too_big = true;
            magnitude = LIMIT + 1;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!any || too_big || value > INT32_MAX || value < INT32_MIN)
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
