#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "parith/parith15.h"

namespace {

TEST(Pprod, MultipliesInTheField)
{
    // x^15 reduces to P without its x^15 term, 0x6125; x^16 = 0xC24A reduced once more;
    // 1 + x + ... + x^14 is 0x7FFF, and b = 0xFFFF adds x^15 to it.
    struct {
        std::uint16_t a, b, product;
    } const cases[] = {{0x1234, 0, 0},      {0x7FFF, 0, 0},      {0x1234, 1, 0x1234},
                       {0x7FFF, 1, 0x7FFF}, {0x4000, 2, 0x6125}, {2, 0x4000, 0x6125},
                       {0x4000, 4, 0x236F}, {1, 0xFFFF, 0x1EDA}, {0x2200, 0x2200, 0x43B9}};
    for (const auto &c : cases)
        EXPECT_EQ(pprod(c.a, c.b), c.product) << std::hex << c.a << " * " << c.b;
}

TEST(Prandom, StartsWithTheKnownSequence)
{
    set_seed(0x2200);
    for (std::uint16_t expected : {0x43B9, 0x7A01, 0x5712, 0x7BAC, 0x1727, 0x216A, 0x68B1, 0x3696})
        EXPECT_EQ(prandom(), expected);
}

TEST(Prandom, VisitsEveryNonzeroElementOncePerPeriod)
{
    set_seed(0x2200);
    std::vector<bool> seen(0x8000);
    for (int i = 0; i < 32767; ++i) {
        const std::uint16_t v = prandom();
        ASSERT_TRUE(v >= 1 && v <= 0x7FFF && !seen[v]) << "call " << i << " gave " << v;
        seen[v] = true;
    }
    EXPECT_EQ(seed, 0x2200);
}

TEST(SetSeed, KeepsTheLow15BitsAndNeverZero)
{
    struct {
        std::uint16_t s, state;
    } const cases[] = {{0, 1}, {0x8000, 1}, {0xFFFF, 0x7FFF}, {0xA200, 0x2200}, {0x1234, 0x1234}};
    for (const auto &c : cases) {
        set_seed(c.s);
        EXPECT_EQ(seed, c.state) << std::hex << c.s;
    }
    set_seed(0x8000);
    // From state 1 the values are the powers of the multiplier.
    for (std::uint16_t expected : {0x2200, 0x43B9, 0x7A01})
        EXPECT_EQ(prandom(), expected);
}

} // namespace
