// The SSE2 area loops against the scalar reference: the same bytes for random pixels in every
// mode, with and without source alpha, at every kind of weight and width; glyph coverage too.
#include "LICE_BlendAreas.h"
#include "LICE_Pixel.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace
{

using LICE::detail::Rows;

// Rows of `width` pixels spaced wider than that: pixels beside the area must come out untouched.
struct Area
{
    static constexpr int kSpare = 3;
    int mWidth, mHeight;
    std::vector<LICE_pixel> mPixels;

    Area(int width, int height, std::mt19937& random)
        : mWidth(width), mHeight(height), mPixels(std::size_t((width + kSpare) * height))
    {
        // Alpha 0 and 255 often and in runs, since groups of them take short ways.
        std::uniform_int_distribution<int> byte(0, 255), kind(0, 3), run(0, 8);
        int k = 0, left = 0;
        for (LICE_pixel& p : mPixels)
        {
            if (left-- == 0)
            {
                k = kind(random);
                left = run(random);
            }
            const LICE_pixel alpha = k == 0 ? 0 : (k == 1 ? 255 : LICE_pixel(byte(random)));
            p = alpha << 24 | LICE_pixel(byte(random)) << 16 | LICE_pixel(byte(random)) << 8 |
                LICE_pixel(byte(random));
        }
    }

    Rows RowsOf() { return {mPixels.data(), mWidth + kSpare}; }
};

// Colours near each other, where rounding toward the source matters: the destination takes some
// of the source's channels, off by one or not.
void Blur(Area& dest, const Area& src, std::mt19937& random)
{
    std::uniform_int_distribution<int> pick(0, 7);
    for (std::size_t i = 0; i < dest.mPixels.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            if (const int p = pick(random); p < 2)
            {
                const LICE_pixel mask = LICE_pixel{0xFF} << shift;
                const LICE_pixel s = src.mPixels[i] & mask;
                const LICE_pixel near = p == 0 || s == mask ? s : s + (LICE_pixel{1} << shift);
                dest.mPixels[i] = (dest.mPixels[i] & ~mask) | near;
            }
}

constexpr int kModes[] = {LICE_BLIT_MODE_COPY,
                          LICE_BLIT_MODE_ADD,
                          LICE_BLIT_MODE_DODGE,
                          LICE_BLIT_MODE_MUL,
                          LICE_BLIT_MODE_OVERLAY,
                          LICE_BLIT_MODE_HSVADJ,
                          6 /* copies as mode 0 does */};
constexpr int kWidths[] = {1, 2, 3, 4, 5, 7, 8, 13, 64, 67};

std::vector<int> Weights(std::mt19937& random)
{
    std::vector<int> w = {0, 1, 63, 64, 65, 128, 192, 255, 256};
    std::uniform_int_distribution<int> any(1, 255);
    for (int i = 0; i < 4; ++i)
        w.push_back(any(random));
    return w;
}

std::string Case(int mode, int weight, int width)
{
    return "mode " + std::to_string(mode) + " weight " + std::to_string(weight) + " width " +
           std::to_string(width);
}

} // namespace

TEST(BlendAreas, Sse2BlitsGiveTheReferenceBytes)
{
    std::mt19937 random(11);
    for (const int op : kModes)
        for (const int flags : {0, LICE_BLIT_USE_ALPHA})
            for (const int weight : Weights(random))
                for (const int width : kWidths)
                {
                    const int mode = op | flags;
                    const int height = width > 8 ? 3 : 17;
                    Area src(width, height, random), reference(width, height, random);
                    Blur(reference, src, random);
                    Area fast = reference;
                    LICE::detail::scalar::BlendArea(reference.RowsOf(), src.RowsOf(), width, height,
                                                    weight, mode);
                    LICE::detail::sse2::BlendArea(fast.RowsOf(), src.RowsOf(), width, height,
                                                  weight, mode);
                    ASSERT_EQ(fast.mPixels, reference.mPixels) << Case(mode, weight, width);
                }
}

TEST(BlendAreas, Sse2FillsGiveTheReferenceBytes)
{
    std::mt19937 random(12);
    std::uniform_int_distribution<LICE_pixel> colour;
    for (const int op : kModes)
        for (const int weight : Weights(random))
            for (const int width : kWidths)
            {
                const LICE_pixel c = colour(random);
                Area reference(width, 5, random);
                Area fast = reference;
                LICE::detail::scalar::FillArea(reference.RowsOf(), width, 5, c, weight, op);
                LICE::detail::sse2::FillArea(fast.RowsOf(), width, 5, c, weight, op);
                ASSERT_EQ(fast.mPixels, reference.mPixels) << Case(op, weight, width);
            }
}

TEST(BlendAreas, Sse2CoverageGivesTheReferenceBytes)
{
    // Every coverage byte over random pixels, toward random colours and the extremes.
    std::mt19937 random(13);
    std::uniform_int_distribution<LICE_pixel> colour;
    std::vector<unsigned char> coverage(256 * 4);
    for (std::size_t i = 0; i < coverage.size(); ++i)
        coverage[i] = static_cast<unsigned char>(i % 2 == 0 ? i / 2 % 256 : 255 - i / 2 % 256);
    for (const LICE_pixel c : {colour(random), colour(random), LICE_pixel{0}, 0xFFFFFFFFu})
        for (const int width : kWidths)
        {
            const int height = int(coverage.size()) / width;
            Area reference(width, height, random);
            Area fast = reference;
            LICE::detail::scalar::CoverageArea(reference.RowsOf(), coverage.data(), width, width,
                                               height, c);
            LICE::detail::sse2::CoverageArea(fast.RowsOf(), coverage.data(), width, width, height,
                                             c);
            ASSERT_EQ(fast.mPixels, reference.mPixels) << "width " << width;
        }
}
