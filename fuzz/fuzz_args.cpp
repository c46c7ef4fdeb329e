// pc-snake's command line with arbitrary arguments. The input is split at
// NUL bytes into at most four arguments behind the program name. Every
// argument's number is compared with what the C library's "%i" reads, the
// verdict of parse_args with the ranges, and the usage text with the values
// it has to show.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "host/pc-snake/args.h"

namespace {

constexpr std::size_t MAX_ARGS = 4;
constexpr const char *PROGRAM = "pc-snake";
constexpr std::int32_t UNTOUCHED = 0x5A5A5A5A;

enum class ref_t { parsed, no_number, out_of_range, unsettled };

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Newer C libraries may read a 0b prefix as binary under "%i"; "%i" in this
// program does not, so such numbers are left out of the comparison.
bool library_reads_binary()
{
    long long v = 0;
    return std::sscanf("0b1", "%lli", &v) == 1 && v == 1;
}

bool has_binary_prefix(const char *s)
{
    while (is_space(*s))
        ++s;
    if (*s == '+' || *s == '-')
        ++s;
    return s[0] == '0' && (s[1] == 'b' || s[1] == 'B') && (s[2] == '0' || s[2] == '1');
}

// What "%i" makes of s, judged by the C library.
ref_t reference_scan(const char *s, std::int32_t *value)
{
    static const bool binary = library_reads_binary();
    if (binary && has_binary_prefix(s))
        return ref_t::unsettled;
    long long v = 0;
    if (std::sscanf(s, "%lli", &v) != 1)
        return ref_t::no_number;
    // sscanf does not report overflow; strtoll reads the same syntax and does.
    errno = 0;
    (void)std::strtoll(s, nullptr, 0);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return ref_t::out_of_range;
    *value = static_cast<std::int32_t>(v);
    return ref_t::parsed;
}

// scan_int against the library; returns the reference verdict.
ref_t check_scan(const char *s, std::int32_t *expected)
{
    std::int32_t got = UNTOUCHED;
    const bool ok = scan_int(s, &got);
    const ref_t ref = reference_scan(s, expected);
    switch (ref) {
    case ref_t::parsed:
        FUZZ_CHECK(ok);
        FUZZ_CHECK(got == *expected);
        break;
    case ref_t::no_number:
    case ref_t::out_of_range:
        FUZZ_CHECK(!ok);
        FUZZ_CHECK(got == UNTOUCHED);
        break;
    case ref_t::unsettled:
        if (!ok)
            FUZZ_CHECK(got == UNTOUCHED);
        break;
    }
    return ref;
}

void check_usage(std::int32_t level, std::int32_t frame)
{
    char *buf = nullptr;
    std::size_t len = 0;
    std::FILE *f = open_memstream(&buf, &len);
    FUZZ_CHECK(f != nullptr);
    print_usage(f, PROGRAM, level, frame);
    FUZZ_CHECK(std::fclose(f) == 0);

    char expected[200];
    const int n = std::snprintf(expected, sizeof expected,
                                "\nVerwendung:\n%s <level> <frame>\n"
                                "    level in 1..4 anstatt %d\n"
                                "    frame > 0     anstatt %d\n",
                                PROGRAM, static_cast<int>(level), static_cast<int>(frame));
    FUZZ_CHECK(n > 0 && static_cast<std::size_t>(n) < sizeof expected);
    FUZZ_CHECK(buf != nullptr);
    FUZZ_CHECK(std::strncmp(buf, "\nVerwendung:\n", 13) == 0);
    FUZZ_CHECK(len == static_cast<std::size_t>(n) && std::memcmp(buf, expected, len) == 0);
    std::free(buf);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> args;
    if (size > 0) {
        args.emplace_back();
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] != 0) {
                args.back().push_back(static_cast<char>(data[i]));
            } else if (args.size() < MAX_ARGS) {
                args.emplace_back();
            } else {
                break;
            }
        }
    }

    std::vector<const char *> argv;
    argv.push_back(PROGRAM);
    for (const std::string &a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(args.size() + 1);

    std::int32_t level = 0;
    std::int32_t frame = 0;
    const bool ok = parse_args(argc, argv.data(), &level, &frame);

    if (ok) {
        FUZZ_CHECK(argc == 3);
        FUZZ_CHECK(level >= 1 && level <= 4);
        FUZZ_CHECK(frame > 0);
    }
    if (argc != 3) {
        FUZZ_CHECK(!ok);
        FUZZ_CHECK(level == 0 && frame == 0); // nothing is parsed
    }

    // Each argument on its own, and the pair as parse_args should see it.
    std::int32_t values[MAX_ARGS] = {};
    bool settled = true;
    for (std::size_t i = 0; i < args.size(); ++i)
        if (check_scan(args[i].c_str(), &values[i]) == ref_t::unsettled)
            settled = false;
    if (argc == 3 && settled) {
        FUZZ_CHECK(level == values[0]); // 0 where the parse failed
        FUZZ_CHECK(frame == values[1]);
        FUZZ_CHECK(ok == (frame > 0 && level >= 1 && level <= 4));
    }

    if (!ok)
        check_usage(level, frame);
    return 0;
}
