#pragma once
// Marsaglia's two-word multiply-with-carry generator. Every random decision of the plug-in
// draws from one of these; each object is deterministic from its seed, so a pattern replays
// identically after construction.

#include <cstdint>

class MwcRandom
{
public:
    static constexpr uint32_t kDefaultSeed = 0x1234;

    explicit MwcRandom(uint32_t w = kDefaultSeed, uint32_t z = ~kDefaultSeed) noexcept
        : mW(w), mZ(z)
    {
    }

    void Seed(uint32_t w, uint32_t z) noexcept
    {
        mW = w;
        mZ = z;
    }

    uint32_t Next() noexcept
    {
        mZ = 36969u * (mZ & 65535u) + (mZ >> 16);
        mW = 18000u * (mW & 65535u) + (mW >> 16);
        return (mZ << 16) + mW;
    }

    // Uniform in [0, 1], both ends included.
    double NextUnit() noexcept { return Next() * 2.3283064370807974e-10; }

    // Uniform in [-1, 1].
    double NextSigned() noexcept { return 2.0 * NextUnit() - 1.0; }

    // In [0, 2]: below and above 0.5 each about half the time (length jitter).
    double NextShaped() noexcept
    {
        const double x = NextSigned();
        return x > 0.0 ? 2.0 * x : -0.5 * x;
    }

    // A mask with exactly one of the five pitch degrees set.
    int NextDegreeMask() noexcept { return 1 << ((Next() >> 11) % 5u); }

    // start + r mod n, unsigned; n must be positive.
    int NextPosition(int start, int n) noexcept
    {
        return start + static_cast<int>(Next() % static_cast<uint32_t>(n));
    }

    uint32_t W() const noexcept { return mW; }
    uint32_t Z() const noexcept { return mZ; }

private:
    uint32_t mW; // multiplied by 18000
    uint32_t mZ; // multiplied by 36969
};
