#include "register/core/URandom.h"

std::uint32_t TRandom::Next(std::uint32_t n)
{
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
}
