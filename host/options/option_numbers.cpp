#include "host/options/option_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "host/keys/key_script.h"
#include "host/options/option_help.h"

namespace {

enum class reading_t { number, not_a_number, too_large, too_small };

std::string_view without_plus(std::string_view text)
{
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

// Decimal, or hexadecimal with 0x, with a sign if any; as key scripts write codes.
reading_t read_whole(std::string_view text, double *value)
{
    text = without_plus(text);
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const char *end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, magnitude, base);
    if (ec == std::errc::invalid_argument || stop != end)
        return reading_t::not_a_number;
    if (ec == std::errc::result_out_of_range)
        return reading_t::too_large;
    *value = negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);
    return reading_t::number;
}

// The same in every locale; nan and inf read as what they are, to be refused.
reading_t read_real(std::string_view text, double *value)
{
    text = without_plus(text);
    const char *end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, *value);
    if (ec == std::errc::invalid_argument || stop != end)
        return reading_t::not_a_number;
    if (ec == std::errc::result_out_of_range) {
        // Beyond a double either way: a wider type tells which way.
        long double wide = 0;
        const auto [wide_stop, wide_ec] = std::from_chars(text.data(), end, wide);
        const bool tiny = wide_ec == std::errc{} && wide_stop == end && std::fabs(wide) < 1;
        return tiny ? reading_t::too_small : reading_t::too_large;
    }
    return reading_t::number;
}

std::string bound_text(double v, bool whole)
{
    return whole ? std::to_string(static_cast<long long>(v)) : number_text(v);
}

// What is wrong with a value that is not a number in range, or "".
std::string fault_of(std::string_view text, const number_range_t &range, double *value)
{
    if (text.empty())
        return "the value is empty";
    const std::string as_given = "'" + shown_text(text) + "'";
    double v = 0;
    const reading_t r = range.whole ? read_whole(text, &v) : read_real(text, &v);
    double real = 0;
    if (range.whole && r == reading_t::not_a_number &&
        read_real(text, &real) == reading_t::number && std::isfinite(real))
        return as_given + " is not a whole number";
    if (r == reading_t::not_a_number || std::isnan(v))
        return as_given + " is not a number";
    if (std::isinf(v))
        return as_given + " is not a finite number";
    if (r == reading_t::too_large)
        return as_given + " is too large";
    if (r == reading_t::too_small)
        return as_given + " is too close to 0 to be held";
    if (v < range.lo || v > range.hi || (range.above_lo && v == range.lo))
        return as_given + " is out of range";
    *value = v;
    return {};
}

} // namespace

std::string range_text(const number_range_t &range)
{
    const std::string lo = bound_text(range.lo, range.whole);
    const std::string hi = bound_text(range.hi, range.whole);
    if (range.above_lo)
        return "a number above " + lo + ", up to " + hi;
    return std::string(range.whole ? "a whole number" : "a number") + " from " + lo + " to " + hi;
}

std::string read_number(std::string_view text, const number_range_t &range, double *value)
{
    const std::string fault = fault_of(text, range, value);
    return fault.empty() ? fault : fault + "; give " + range_text(range);
}
