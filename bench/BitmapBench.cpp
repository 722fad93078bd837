// A full 720 x 650 editor surface: plain copy and source-alpha blits against a memcpy of the same
// bytes (the floor any row copy can reach).
#include "LICE_Blit.h"
#include "LICE_MemBitmap.h"
#include "LICE_Pixel.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace
{

constexpr int kWidth = 720;
constexpr int kHeight = 650;

// A source like the editor's images: opaque, transparent and antialiased pixels mixed.
void FillSource(LICE_MemBitmap& b)
{
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            const unsigned phase = unsigned(x * 7 + y * 13) % 16;
            const unsigned alpha = phase < 8 ? 255 : (phase < 12 ? 0 : phase * 16);
            b.getBits()[y * b.getRowSpan() + x] = LICE_RGBA(x & 255, y & 255, 90, alpha);
        }
}

void BM_Memcpy(benchmark::State& state)
{
    LICE_MemBitmap src(kWidth, kHeight), dest(kWidth, kHeight);
    FillSource(src);
    const std::size_t bytes = std::size_t(src.getRowSpan()) * kHeight * 4;
    for (auto _ : state)
    {
        std::memcpy(dest.getBits(), src.getBits(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void BlitBench(benchmark::State& state, float opacity, int mode)
{
    LICE_MemBitmap src(kWidth, kHeight), dest(kWidth, kHeight);
    FillSource(src);
    FillSource(dest);
    const std::size_t bytes = std::size_t(src.getRowSpan()) * kHeight * 4;
    for (auto _ : state)
    {
        LICE::Blit(&dest, &src, 0, 0, nullptr, opacity, mode);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void BM_CopyBlit(benchmark::State& state)
{
    BlitBench(state, 1.0f, LICE_BLIT_MODE_COPY);
}
void BM_SourceAlphaBlit(benchmark::State& state)
{
    BlitBench(state, 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
}
void BM_HalfCopyBlit(benchmark::State& state)
{
    BlitBench(state, 0.5f, LICE_BLIT_MODE_COPY);
}
void BM_AddSourceAlphaBlit(benchmark::State& state)
{
    BlitBench(state, 1.0f, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA);
}

} // namespace

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_CopyBlit);
BENCHMARK(BM_SourceAlphaBlit);
BENCHMARK(BM_HalfCopyBlit);
BENCHMARK(BM_AddSourceAlphaBlit);
