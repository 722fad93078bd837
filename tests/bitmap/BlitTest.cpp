#include "BitmapTestUtil.h"
#include "LICE_Blit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace
{

constexpr LICE_pixel kBlank = 0x11111111;

// A source whose every pixel tells where it came from.
std::unique_ptr<LICE_MemBitmap> Numbered(int w, int h)
{
    auto b = Filled(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(*b, x, y, 0xFF000000u | LICE_pixel(y * 256 + x + 1));
    return b;
}

// What a plain copy must give, pixel by pixel, worked out without any clipping arithmetic.
std::vector<LICE_pixel> ExpectedCopy(const LICE_IBitmap& src, int dw, int dh, int x, int y,
                                     const LICE::Rect* r)
{
    std::vector<LICE_pixel> out(std::size_t(dw * dh), kBlank);
    const int left = r ? r->mLeft : 0, top = r ? r->mTop : 0;
    const int right = r ? r->mRight : src.getWidth(), bottom = r ? r->mBottom : src.getHeight();
    for (int sy = top; sy < bottom; ++sy)
        for (int sx = left; sx < right; ++sx)
        {
            const int dx = x + sx - left, dy = y + sy - top;
            if (sx >= 0 && sy >= 0 && sx < src.getWidth() && sy < src.getHeight() && dx >= 0 &&
                dy >= 0 && dx < dw && dy < dh)
                out[std::size_t(dy * dw + dx)] = At(src, sx, sy);
        }
    return out;
}

// Stores its rows bottom-up, to check that blits address such bitmaps from their last row.
class FlippedBitmap final : public LICE_IBitmap
{
public:
    FlippedBitmap(int w, int h) : mW(w), mH(h), mStore(std::size_t(w * h)) {}
    LICE_pixel* getBits() const override { return const_cast<LICE_pixel*>(mStore.data()); }
    int getWidth() const override { return mW; }
    int getHeight() const override { return mH; }
    int getRowSpan() const override { return mW; }
    bool isFlipped() const override { return true; }
    bool resize(int, int) override { return false; }
    // Image row y is stored at mH - 1 - y.
    LICE_pixel& Image(int x, int y) { return mStore[std::size_t((mH - 1 - y) * mW + x)]; }

private:
    int mW, mH;
    std::vector<LICE_pixel> mStore;
};

LICE_pixel BlitOne(LICE_pixel d, LICE_pixel s, float opacity, int mode)
{
    auto dest = Filled(1, 1, d);
    auto src = Filled(1, 1, s);
    LICE::Blit(dest.get(), src.get(), 0, 0, nullptr, opacity, mode);
    return At(*dest, 0, 0);
}

} // namespace

TEST(Blit, ClipsAtEveryEdgeForAnyPlacementAndSourceRectangle)
{
    const auto src = Numbered(4, 3);
    const LICE::Rect rects[] = {{0, 0, 4, 3},     {-2, -1, 2, 2}, {1, 1, 9, 9},
                                {-5, -5, 20, 20}, {3, 2, 4, 3},   {2, 0, 1, 3}};
    for (const LICE::Rect* r : {static_cast<const LICE::Rect*>(nullptr), &rects[0], &rects[1],
                                &rects[2], &rects[3], &rects[4], &rects[5]})
        for (int y = -5; y <= 6; ++y)
            for (int x = -6; x <= 7; ++x)
            {
                auto dest = Filled(5, 4, kBlank);
                LICE::Blit(dest.get(), src.get(), x, y, r, 1.0f, LICE_BLIT_MODE_COPY);
                ASSERT_EQ(Pixels(*dest), ExpectedCopy(*src, 5, 4, x, y, r))
                    << "at " << x << "," << y << (r ? " with a rectangle" : "");
            }
}

TEST(Blit, NegativeDestinationTakesTheMatchingPartOfTheSource)
{
    const auto src = Numbered(4, 3);
    auto dest = Filled(5, 5, kBlank);
    LICE::Blit(dest.get(), src.get(), -2, -1, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(At(*dest, 0, 0), At(*src, 2, 1));
    EXPECT_EQ(At(*dest, 1, 1), At(*src, 3, 2));
    EXPECT_EQ(At(*dest, 2, 0), kBlank);
    EXPECT_EQ(At(*dest, 0, 2), kBlank);
}

TEST(Blit, BlitPartAndCopyAgreeWithBlit)
{
    const auto src = Numbered(6, 5);
    auto a = Filled(8, 8, kBlank);
    auto b = Filled(8, 8, kBlank);
    const LICE::Rect r{1, 2, 4, 5};
    LICE::Blit(a.get(), src.get(), 3, -1, &r, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::BlitPart(b.get(), src.get(), 3, -1, 1, 2, 3, 3, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(Pixels(*a), Pixels(*b));

    LICE_MemBitmap copy(2, 2);
    LICE::Copy(&copy, src.get());
    EXPECT_EQ(copy.getWidth(), 6);
    EXPECT_EQ(Pixels(copy), Pixels(*src));
}

TEST(Blit, DoesNothingForMissingBitmapsZeroOpacityOrEmptyAreas)
{
    const auto src = Filled(3, 3, 0xFFFFFFFF);
    auto dest = Filled(3, 3, kBlank);
    LICE_MemBitmap empty;
    LICE::Blit(dest.get(), src.get(), 0, 0, nullptr, 0.0f, LICE_BLIT_MODE_COPY);
    LICE::Blit(dest.get(), src.get(), 0, 0, nullptr, std::nanf(""), LICE_BLIT_MODE_ADD);
    LICE::Blit(dest.get(), nullptr, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::Blit(nullptr, src.get(), 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::Blit(dest.get(), &empty, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::Blit(dest.get(), src.get(), 3, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::Blit(dest.get(), src.get(), 0, -3, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::Blit(dest.get(), src.get(), 2147483647, 2147483647, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::BlitPart(dest.get(), src.get(), 0, 0, -2147483647, 0, 2147483647, 3, 1.0f,
                   LICE_BLIT_MODE_COPY);
    EXPECT_EQ(Pixels(*dest), std::vector<LICE_pixel>(9, kBlank));
}

TEST(Blit, CopyOpacities)
{
    // Half opacity: each byte halved with its top bit cleared, then added.
    EXPECT_EQ(BlitOne(0xFF000000, 0x00FFFFFF, 0.5f, LICE_BLIT_MODE_COPY), 0x7F7F7F7Fu);
    EXPECT_EQ(BlitOne(0x00000000, 0xFFFFFFFF, 0.5f, LICE_BLIT_MODE_COPY), 0x7F7F7F7Fu);
    EXPECT_EQ(BlitOne(0x01020304, 0x03050709, 0.5f, LICE_BLIT_MODE_COPY), 0x01030406u);
    // Other opacities: s + (d - s) x (256 - w) / 256, truncating toward zero.
    EXPECT_EQ(BlitOne(0x00000000, 0xFFFFFFFF, 0.25f, LICE_BLIT_MODE_COPY), 0x40404040u);
    EXPECT_EQ(BlitOne(0xFFFFFFFF, 0x00000000, 0.25f, LICE_BLIT_MODE_COPY), 0xBFBFBFBFu);
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, 1.0f, LICE_BLIT_MODE_COPY), 0x9ABCDEF0u);
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, 3.0f, LICE_BLIT_MODE_COPY), 0x9ABCDEF0u);
}

TEST(Blit, SourceAlphaCopy)
{
    const int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    // Alpha 0 leaves the pixel, at any opacity.
    EXPECT_EQ(BlitOne(0x80402010, 0x00FFFFFF, 1.0f, mode), 0x80402010u);
    EXPECT_EQ(BlitOne(0x80402010, 0x00FFFFFF, 0.3f, mode), 0x80402010u);
    // Opaque: the source as it is, alpha included.
    EXPECT_EQ(BlitOne(0xFF402010, 0xFF00FF00, 1.0f, mode), 0xFF00FF00u);
    // Half alpha, k = 129: 255 + (0 - 255) x 127 / 256 = 129 per colour channel; alpha
    // k + (255 - k) x 127 / 256 = 191.
    EXPECT_EQ(BlitOne(0xFF000000, 0x80FFFFFF, 1.0f, mode), 0xBF818181u);
    // Below full opacity the weight is w x (alpha + 1) / 256: 128 x 256 / 256 = 128.
    EXPECT_EQ(BlitOne(0xFF000000, 0xFFFFFFFF, 0.5f, mode), 0xFF808080u);
}

TEST(Blit, AddDodgeAndMultiplyClampEachChannel)
{
    EXPECT_EQ(BlitOne(0xC8C8C8C8, 0x64646464, 1.0f, LICE_BLIT_MODE_ADD), 0xFFFFFFFFu);
    EXPECT_EQ(BlitOne(0xC8C8C8C8, 0x64646464, 0.5f, LICE_BLIT_MODE_ADD), 0xFAFAFAFAu);
    // Dodge: t = s x w / 256, d x 256 / (256 - t), at most 255; t of 255 or more is d x 256.
    EXPECT_EQ(BlitOne(0x64646464, 0x80808080, 1.0f, LICE_BLIT_MODE_DODGE), 0xC8C8C8C8u);
    EXPECT_EQ(BlitOne(0xC8C8C8C8, 0x80808080, 1.0f, LICE_BLIT_MODE_DODGE), 0xFFFFFFFFu);
    EXPECT_EQ(BlitOne(0x00000001, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_DODGE), 0x000000FFu);
    EXPECT_EQ(BlitOne(0xC8C8C8C8, 0x80808080, 1.0f, LICE_BLIT_MODE_MUL), 0x64646464u);
    EXPECT_EQ(BlitOne(0xC8C8C8C8, 0x00000000, 0.5f, LICE_BLIT_MODE_MUL), 0x64646464u);

    // With source alpha, alpha 0 leaves the pixel and alpha 127 halves the weight.
    const int addAlpha = LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    EXPECT_EQ(BlitOne(0x10101010, 0x00FFFFFF, 1.0f, addAlpha), 0x10101010u);
    EXPECT_EQ(BlitOne(0x10101010, 0x7F404040, 1.0f, addAlpha), 0x4F303030u);
    const int dodgeAlpha = LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    EXPECT_EQ(BlitOne(0x10101010, 0x00FFFFFF, 1.0f, dodgeAlpha), 0x10101010u);
}

TEST(Blit, ChannelCopyMovesOneByteAtAnyOpacity)
{
    // Destination red (byte 2) takes source blue (byte 0); the rest stays.
    const int mode = LICE_ChannelCopyMode(2, 0);
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.1f, mode), 0x11DD3344u);
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, LICE_ChannelCopyMode(3, 3)), 0xAA223344u);
}

TEST(Blit, FlippedBitmapsAreAddressedFromTheirLastStoredRow)
{
    FlippedBitmap src(2, 2);
    src.Image(0, 0) = 0xFF000001;
    src.Image(1, 0) = 0xFF000002;
    src.Image(0, 1) = 0xFF000003;
    src.Image(1, 1) = 0xFF000004;
    auto dest = Filled(2, 2, 0);
    LICE::Blit(dest.get(), &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(Pixels(*dest),
              (std::vector<LICE_pixel>{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}));
    FlippedBitmap back(2, 2);
    LICE::Blit(&back, dest.get(), 0, 1, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(back.Image(1, 1), 0xFF000002u);
    EXPECT_EQ(back.getBits()[0], 0xFF000001u); // image row 1 is the first stored row
}

TEST(ScaledBlit, NearestDoublesAndBilinearKeepsFlatAreasFlat)
{
    const auto src = Numbered(2, 2);
    auto dest = Filled(4, 4, kBlank);
    LICE::ScaledBlit(dest.get(), src.get(), 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, LICE_BLIT_MODE_COPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(*dest, x, y), At(*src, x / 2, y / 2)) << x << "," << y;

    const auto flat = Filled(3, 3, 0xFF336699);
    auto out = Filled(7, 7, kBlank);
    LICE::ScaledBlit(out.get(), flat.get(), -2, -3, 11, 13, 0, 0, 3, 3, 1.0f,
                     LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR);
    EXPECT_EQ(Pixels(*out), std::vector<LICE_pixel>(49, 0xFF336699u));

    // Far-off source coordinates sample the edge instead of overflowing.
    auto far = Filled(2, 2, kBlank);
    LICE::ScaledBlit(far.get(), src.get(), 0, 0, 2, 2, -1e30f, -1e30f, 2e30f, 2e30f, 1.0f,
                     LICE_BLIT_MODE_COPY);
    EXPECT_NE(At(*far, 0, 0), kBlank);
}

TEST(RotatedBlit, HalfATurnMirrorsBothAxes)
{
    const auto src = Numbered(3, 3);
    auto same = Filled(3, 3, kBlank);
    LICE::RotatedBlit(same.get(), src.get(), 0, 0, 3, 3, 0, 0, 3, 3, 0.0f, true, 1.0f,
                      LICE_BLIT_MODE_COPY);
    EXPECT_EQ(Pixels(*same), Pixels(*src));
    auto turned = Filled(3, 3, kBlank);
    LICE::RotatedBlit(turned.get(), src.get(), 0, 0, 3, 3, 0, 0, 3, 3, float(std::numbers::pi),
                      true, 1.0f, LICE_BLIT_MODE_COPY);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(*turned, x, y), At(*src, 2 - x, 2 - y)) << x << "," << y;
}
