#include <gtest/gtest.h>

#include <cstdint>

#include "register/core/URandom.h"

TEST(Random, StepsTheSeedAndScalesItsHighBits)
{
    TRandom r;
    r.Randomize(1);
    EXPECT_EQ(r.Next(100), 3u); // 134775814 * 100 >> 32
    EXPECT_EQ(r.Seed(), 134775814u);
    // The seed wraps modulo 2^32: 134775814 * 134775813 + 1.
    EXPECT_EQ(r.Next(0), 0u);
    EXPECT_EQ(r.Seed(), static_cast<std::uint32_t>(134775814ull * 134775813ull + 1ull));
    const std::uint32_t seed = r.Seed();
    const std::uint32_t next = seed * 134775813u + 1u;
    EXPECT_EQ(r.Next(0xFFFFFFFFu), static_cast<std::uint32_t>((static_cast<std::uint64_t>(next) * 0xFFFFFFFFu) >> 32));
}

TEST(Random, NumbersStayBelowTheBound)
{
    TRandom r;
    r.Randomize(0xDEADBEEF);
    for (int i = 0; i < 10000; ++i)
        EXPECT_LT(r.Next(2), 2u);
    r.Randomize(0);
    EXPECT_EQ(r.Next(7), 0u); // seed 1: (1 * 7) >> 32
}
