#include "parith/parith15.h"

std::uint16_t seed = parith::INITIAL_SEED;

std::uint16_t pprod(std::uint16_t a, std::uint16_t b)
{
    std::uint16_t r = 0;
    do {
        if (b & 1u)
            r ^= a;
        a = static_cast<std::uint16_t>(a << 1);
        if (a & 0x8000u)
            a ^= parith::FIELD_POLY; // clears bit 15 and adds the reduction
        b >>= 1;
    } while (b != 0);
    return r;
}

std::uint16_t prandom()
{
    seed = pprod(seed, parith::RANDOM_MULTIPLIER);
    return seed;
}

void set_seed(std::uint16_t s)
{
    std::uint16_t v = s & 0x7FFFu;
    if (v == 0)
        v = 1;
    seed = v;
}
