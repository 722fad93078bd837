#include "BitmapTestUtil.h"
#include "LICE_Draw.h"
#include "LICE_Fill.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numbers>

namespace
{

LICE_pixel FillOne(LICE_pixel d, LICE_pixel colour, float opacity, int mode)
{
    auto b = Filled(1, 1, d);
    LICE::FillRectangle(b.get(), 0, 0, 1, 1, colour, opacity, mode);
    return At(*b, 0, 0);
}

int CountSet(const LICE_IBitmap& b, LICE_pixel background)
{
    const auto p = Pixels(b);
    return int(std::count_if(p.begin(), p.end(), [&](LICE_pixel v) { return v != background; }));
}

} // namespace

TEST(FillRectangle, QuarterStepsUseTheirExactByteForms)
{
    // 0.25: q + pixel / 4 + pixel / 2; 0.5: h + pixel / 2; 0.75: h + q + pixel / 4; 1.0: colour.
    EXPECT_EQ(FillOne(0x00000000, 0xFFFFFFFF, 0.25f, LICE_BLIT_MODE_COPY), 0x3F3F3F3Fu);
    EXPECT_EQ(FillOne(0x80808080, 0xFFFFFFFF, 0.25f, LICE_BLIT_MODE_COPY), 0x9F9F9F9Fu);
    EXPECT_EQ(FillOne(0x80808080, 0xFFFFFFFF, 0.5f, LICE_BLIT_MODE_COPY), 0xBFBFBFBFu);
    EXPECT_EQ(FillOne(0x80808080, 0xFFFFFFFF, 0.75f, LICE_BLIT_MODE_COPY), 0xDEDEDEDEu);
    EXPECT_EQ(FillOne(0x80808080, 0x12345678, 1.0f, LICE_BLIT_MODE_COPY), 0x12345678u);
    EXPECT_EQ(FillOne(0xFFFFFFFF, 0x03070B0F, 0.5f, LICE_BLIT_MODE_COPY), 0x80828486u);
}

TEST(FillRectangle, OtherWeightsBlendTheAlphaChannelTowardTheWeight)
{
    // w = 100: colour channels 255 + (0 - 255) x 156 / 256 = 100; alpha 100 + (0 - 100) x 156 /
    // 256 = 40, whatever the colour's own alpha byte.
    EXPECT_EQ(FillOne(0x00000000, 0x00FFFFFF, 100.0f / 256, LICE_BLIT_MODE_COPY), 0x28646464u);
    EXPECT_EQ(FillOne(0x10101010, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_ADD), 0xFFFFFFFFu);
    EXPECT_EQ(FillOne(0x10101010, 0x00202020, 0.5f, LICE_BLIT_MODE_ADD), 0x50202020u);
}

TEST(FillRectangle, SourceAlphaScalesTheOpacityByTheColoursAlpha)
{
    const int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    EXPECT_EQ(FillOne(0x80402010, 0x00FFFFFF, 1.0f, mode), 0x80402010u);
    EXPECT_EQ(FillOne(0x80402010, 0xFF0A0B0C, 1.0f, mode), 0xFF0A0B0Cu);
    // Alpha 128 of 255 at opacity 1 gives w = 128: the half-step form.
    EXPECT_EQ(FillOne(0x00000000, 0x80FEFEFE, 1.0f, mode), 0x407F7F7Fu);
}

TEST(FillRectangle, ClipsToTheBitmap)
{
    auto b = Filled(6, 5, 0);
    LICE::FillRectangle(b.get(), -3, -2, 5, 4, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(CountSet(*b, 0), 2 * 2);
    EXPECT_EQ(At(*b, 1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(At(*b, 2, 1), 0u);

    auto c = Filled(6, 5, 0);
    LICE::FillRectangle(c.get(), 4, 3, 2147483647, 2147483647, 0xFFFFFFFF, 1.0f,
                        LICE_BLIT_MODE_COPY);
    EXPECT_EQ(CountSet(*c, 0), 2 * 2);
    LICE::FillRectangle(c.get(), 0, 0, -4, 3, 0xFF00FF00, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::FillRectangle(c.get(), 0, 0, 6, 5, 0xFF00FF00, 0.0f, LICE_BLIT_MODE_COPY);
    LICE::FillRectangle(nullptr, 0, 0, 6, 5, 0xFF00FF00, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(CountSet(*c, 0), 2 * 2);
}

TEST(Pixels, ReadAndBlendSinglePixelsInsideTheBitmapOnly)
{
    auto b = Filled(3, 2, 0xFF000000);
    Set(*b, 2, 1, 0xFF123456);
    EXPECT_EQ(LICE::ReadPixel(b.get(), 2, 1), 0xFF123456u);
    EXPECT_EQ(LICE::ReadPixel(b.get(), 3, 1), 0u);
    EXPECT_EQ(LICE::ReadPixel(b.get(), -1, 0), 0u);
    EXPECT_EQ(LICE::ReadPixel(b.get(), 0, 2), 0u);
    EXPECT_EQ(LICE::ReadPixel(nullptr, 0, 0), 0u);
    LICE_MemBitmap empty;
    EXPECT_EQ(LICE::ReadPixel(&empty, 0, 0), 0u);

    LICE::BlendPixel(b.get(), 1, 0, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::BlendPixel(b.get(), 5, 0, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(At(*b, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(CountSet(*b, 0xFF000000), 2);
}

TEST(Draw, LinesCoverTheirEndsAndStayInsideTheBitmap)
{
    auto b = Filled(8, 6, 0);
    LICE::DrawLineSegment(b.get(), 1, 2, 5, 2, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY, false);
    EXPECT_EQ(CountSet(*b, 0), 5);
    for (int x = 1; x <= 5; ++x)
        EXPECT_EQ(At(*b, x, 2), 0xFFFFFFFFu);

    // End points far outside are clipped first: one row, drawn at once.
    auto c = Filled(8, 6, 0);
    LICE::DrawLineSegment(c.get(), -2000000000, 3, 2000000000, 3, 0xFFFFFFFF, 1.0f,
                          LICE_BLIT_MODE_COPY, true);
    EXPECT_EQ(CountSet(*c, 0), 8);

    auto d = Filled(8, 6, 0);
    LICE::DrawLineSegment(d.get(), 0, 0, 7, 5, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY, false);
    EXPECT_EQ(At(*d, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(*d, 7, 5), 0xFFFFFFFFu);
    EXPECT_EQ(CountSet(*d, 0), 8);
}

TEST(Draw, CirclesAreSymmetricAndArcsKeepToTheirAngles)
{
    auto b = Filled(21, 21, 0);
    LICE::DrawCircleOutline(b.get(), 10.5f, 10.5f, 6.0f, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY,
                            false);
    EXPECT_EQ(At(*b, 10, 10), 0u);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
        {
            EXPECT_EQ(At(*b, x, y), At(*b, 20 - x, y)) << x << "," << y;
            EXPECT_EQ(At(*b, x, y), At(*b, y, x)) << x << "," << y;
        }
    EXPECT_EQ(At(*b, 10, 4), 0xFFFFFFFFu);

    // A quarter from straight up, clockwise: only the upper right quadrant.
    auto arc = Filled(21, 21, 0);
    LICE::DrawArcSegment(arc.get(), 10.5f, 10.5f, 6.0f, 0.0f, float(std::numbers::pi / 2),
                         0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY, true);
    EXPECT_GT(CountSet(*arc, 0), 4);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
        {
            if (At(*arc, x, y) != 0)
            {
                EXPECT_TRUE(x >= 10 && y <= 10) << x << "," << y;
            }
        }

    // A huge radius costs no more than the bitmap's pixels and draws nothing here.
    auto huge = Filled(4, 4, 0);
    LICE::DrawCircleOutline(huge.get(), 1e9f, 1e9f, 1e30f, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY,
                            true);
    EXPECT_EQ(CountSet(*huge, 0), 0);
}
