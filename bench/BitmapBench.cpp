// A full 720 x 650 editor surface: every kind of blit and fill the editor draws, each reported as
// well as a ratio to a memcpy of the same bytes measured in the same benchmark (counter
// x_memcpy), the floor any row copy can reach. The Reference benchmarks run the scalar loops the
// library's SSE2 loops are held to, for a before-and-after in one run.
#include "LICE_BlendAreas.h"
#include "LICE_Blit.h"
#include "LICE_Fill.h"
#include "LICE_MemBitmap.h"
#include "LICE_Pixel.h"
#include "LICE_PngResource.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>

namespace
{

constexpr int kWidth = 720;
constexpr int kHeight = 650;
constexpr std::size_t kBytes = std::size_t(kWidth) * kHeight * sizeof(LICE_pixel);

// A worst case for an image: opaque, transparent and antialiased pixels mixed pixel by pixel, so
// that no four neighbours share their alpha.
void FillMixed(LICE_MemBitmap& b)
{
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            const unsigned phase = unsigned(x * 7 + y * 13) % 16;
            const unsigned alpha = phase < 8 ? 255 : (phase < 12 ? 0 : phase * 16);
            b.getBits()[y * b.getRowSpan() + x] = LICE_RGBA(x & 255, y & 255, 90, alpha);
        }
}

// The editor's own images (all but the opaque background, id 100) side by side, row after row,
// until the surface is covered: what knobs, buttons and frames look like to a blit.
void FillWithImages(LICE_MemBitmap& b)
{
    std::vector<std::unique_ptr<LICE_MemBitmap>> images;
    for (int id = 101; id <= 125; ++id)
        if (auto image = LICE::LoadPngResource(nullptr, id))
            images.push_back(std::move(image));
    LICE::FillRectangle(&b, 0, 0, kWidth, kHeight, 0, 1.0f, LICE_BLIT_MODE_COPY);
    int x = 0, y = 0, rowHeight = 0;
    for (std::size_t i = 0; !images.empty() && y < kHeight; i = (i + 1) % images.size())
    {
        const LICE_MemBitmap& image = *images[i];
        if (x > 0 && x + image.getWidth() > kWidth)
        {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        LICE::Blit(&b, &image, x, y, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
        x += image.getWidth();
        rowHeight = std::max(rowHeight, image.getHeight());
    }
}

// Processor time in seconds: the machine is shared, and waiting for it is nobody's cost.
double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Seconds for one memcpy of the surface's bytes, averaged over 10 ms of copies.
double MemcpySeconds(const LICE_MemBitmap& from, LICE_MemBitmap& to)
{
    std::memcpy(to.getBits(), from.getBits(), kBytes);
    int copies = 0;
    const double start = CpuSeconds();
    double elapsed = 0.0;
    do
    {
        std::memcpy(to.getBits(), from.getBits(), kBytes);
        benchmark::ClobberMemory();
        ++copies;
        elapsed = CpuSeconds() - start;
    } while (elapsed < 0.01);
    return elapsed / copies;
}

// Runs draw(dest, src) as the benchmark and sets x_memcpy, the processor time of one draw over
// that of one memcpy of the same bytes (measured before and after).
template <class Draw>
void Measure(benchmark::State& state, void (*fillSource)(LICE_MemBitmap&), Draw draw)
{
    LICE_MemBitmap src(kWidth, kHeight), dest(kWidth, kHeight), scratch(kWidth, kHeight);
    fillSource(src);
    FillMixed(dest);
    double copy = MemcpySeconds(src, scratch);
    const double start = CpuSeconds();
    for (auto _ : state)
    {
        draw(dest, src);
        benchmark::ClobberMemory();
    }
    const double each = (CpuSeconds() - start) / double(state.iterations());
    copy = (copy + MemcpySeconds(src, scratch)) / 2;
    state.counters["x_memcpy"] = each / copy;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kBytes));
}

void BM_Memcpy(benchmark::State& state)
{
    Measure(state, FillMixed,
            [](LICE_MemBitmap& d, const LICE_MemBitmap& s)
            { std::memcpy(d.getBits(), s.getBits(), kBytes); });
}

void Blit(benchmark::State& state, float opacity, int mode,
          void (*fillSource)(LICE_MemBitmap&) = FillMixed)
{
    Measure(state, fillSource,
            [=](LICE_MemBitmap& d, const LICE_MemBitmap& s)
            { LICE::Blit(&d, &s, 0, 0, nullptr, opacity, mode); });
}

void Fill(benchmark::State& state, LICE_pixel colour, float opacity, int mode)
{
    Measure(state, FillMixed,
            [=](LICE_MemBitmap& d, const LICE_MemBitmap&)
            { LICE::FillRectangle(&d, 0, 0, kWidth, kHeight, colour, opacity, mode); });
}

constexpr int kCopy = LICE_BLIT_MODE_COPY;
constexpr int kOver = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
constexpr int kAdd = LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
constexpr int kDodge = LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;

void BM_CopyBlit(benchmark::State& s)
{
    Blit(s, 1.0f, kCopy);
}
void BM_HalfCopyBlit(benchmark::State& s)
{
    Blit(s, 0.5f, kCopy);
}
void BM_SourceAlphaBlit(benchmark::State& s)
{
    Blit(s, 1.0f, kOver);
}
void BM_SourceAlphaBlitOfImages(benchmark::State& s)
{
    Blit(s, 1.0f, kOver, FillWithImages);
}
void BM_SourceAlphaBlitQuarter(benchmark::State& s)
{
    Blit(s, 0.25f, kOver);
}
void BM_SourceAlphaBlitQuarterOfImages(benchmark::State& s)
{
    Blit(s, 0.25f, kOver, FillWithImages);
}
void BM_AddSourceAlphaBlit(benchmark::State& s)
{
    Blit(s, 1.0f, kAdd);
}
void BM_DodgeSourceAlphaBlit(benchmark::State& s)
{
    Blit(s, 1.0f, kDodge);
}
void BM_Fill(benchmark::State& s)
{
    Fill(s, 0xFF336699, 1.0f, kCopy);
}
void BM_FillWithAlpha(benchmark::State& s)
{
    Fill(s, 0x9A336699, 1.0f, kOver); // weight 154: no byte form
}
void BM_FillQuarter(benchmark::State& s)
{
    Fill(s, 0xFF336699, 0.25f, kCopy);
}

// --- Reference loops ---
void Reference(benchmark::State& state, float opacity, int mode)
{
    Measure(state, FillMixed,
            [=](LICE_MemBitmap& d, const LICE_MemBitmap& s)
            {
                LICE::detail::scalar::BlendArea({d.getBits(), d.getRowSpan()},
                                                {s.getBits(), s.getRowSpan()}, kWidth, kHeight,
                                                int(opacity * 256), mode);
            });
}
void BM_ReferenceSourceAlphaBlit(benchmark::State& s)
{
    Reference(s, 1.0f, kOver);
}
void BM_ReferenceSourceAlphaBlitQuarter(benchmark::State& s)
{
    Reference(s, 0.25f, kOver);
}
void BM_ReferenceAddSourceAlphaBlit(benchmark::State& s)
{
    Reference(s, 1.0f, kAdd);
}
BENCHMARK(BM_ReferenceSourceAlphaBlit);
BENCHMARK(BM_ReferenceSourceAlphaBlitQuarter);
BENCHMARK(BM_ReferenceAddSourceAlphaBlit);
// --- end of reference loops ---

} // namespace

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_CopyBlit);
BENCHMARK(BM_HalfCopyBlit);
BENCHMARK(BM_SourceAlphaBlit);
BENCHMARK(BM_SourceAlphaBlitOfImages);
BENCHMARK(BM_SourceAlphaBlitQuarter);
BENCHMARK(BM_SourceAlphaBlitQuarterOfImages);
BENCHMARK(BM_AddSourceAlphaBlit);
BENCHMARK(BM_DodgeSourceAlphaBlit);
BENCHMARK(BM_Fill);
BENCHMARK(BM_FillWithAlpha);
BENCHMARK(BM_FillQuarter);
