// A byte as two lower-case hexadecimal digits, as the painter state is shown.
#pragma once

#include <cstdint>
#include <string>

inline std::string hex2(std::uint8_t v)
{
    constexpr const char *DIGITS = "0123456789abcdef";
    return {DIGITS[v >> 4], DIGITS[v & 15]};
}
