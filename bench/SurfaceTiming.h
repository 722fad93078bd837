#pragma once
// Timing of editor frames against the cost of one memcpy of the 720 x 650 surface, measured in
// the same run: each benchmark reports its best iteration as a multiple of the best memcpy
// (counter x_memcpy), both as free of other load as the run allows, and in milliseconds.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace surface_timing
{

inline constexpr std::size_t kSurfaceBytes = 720u * 650u * 4u;

// Seconds for one memcpy of the surface, the best of many.
inline double MemcpySeconds()
{
    static const double seconds = []
    {
        std::vector<unsigned char> a(kSurfaceBytes, 1), b(kSurfaceBytes, 2);
        double best = 1e9;
        for (int i = 0; i < 300; ++i)
        {
            const auto t0 = std::chrono::steady_clock::now();
            std::memcpy(b.data(), a.data(), kSurfaceBytes);
            benchmark::DoNotOptimize(b.data());
            benchmark::ClobberMemory();
            const auto t1 = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
        }
        return best;
    }();
    return seconds;
}

// Times body on every iteration after setup (untimed) has run.
template <class Setup, class Body>
void Timed(benchmark::State& state, Setup setup, Body body)
{
    double best = 1e9;
    for (auto _ : state)
    {
        setup();
        const auto t0 = std::chrono::steady_clock::now();
        body();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    state.counters["x_memcpy"] = best / MemcpySeconds();
    state.counters["best_ms"] = best * 1e3;
}

template <class Body>
void Timed(benchmark::State& state, Body body)
{
    Timed(
        state, [] {}, body);
}

} // namespace surface_timing
