// The program's random generator: a 32-bit linear congruential generator. The main window
// seeds it once at start; the mass-transaction run and the register window's random items
// draw from it (the core's one generator, TRegisterCore::Random()).
//
//   TRandom r;
//   r.Randomize(1);
//   r.Next(100);  // seed := 1 * 134775813 + 1 = 134775814; (134775814 * 100) >> 32 = 3
#pragma once

#include <cstdint>

class TRandom {
public:
    // The seed as it is; the next number comes from the seed's successor.
    void Randomize(std::uint32_t seed) { seed_ = seed; }
    std::uint32_t Seed() const { return seed_; }
    // Steps the seed (seed * 134775813 + 1, modulo 2^32) and returns a number below n: the
    // high 32 bits of the 64-bit product of the new seed and n (0 for n = 0).
    std::uint32_t Next(std::uint32_t n);

private:
    std::uint32_t seed_ = 0;
};
