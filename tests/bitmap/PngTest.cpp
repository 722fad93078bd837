#include "BitmapTestUtil.h"
#include "LICE_PngRead.h"
#include "LICE_PngWrite.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <zlib.h>

namespace
{

// PNG files of any colour type, written with libpng directly so that the decoder meets layouts
// our own writer never makes. rows holds the packed samples as the format stores them.
std::vector<unsigned char> EncodeRaw(int w, int h, int colourType, int depth,
                                     std::vector<std::vector<unsigned char>> rows,
                                     const std::vector<png_color>& palette = {},
                                     const std::vector<unsigned char>& transparency = {})
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n)
        {
            auto* v = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, w, h, depth, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!transparency.empty())
        png_set_tRNS(png, info, transparency.data(), int(transparency.size()), nullptr);
    png_write_info(png, info);
    for (auto& row : rows)
        png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<unsigned char> Encode(const LICE_IBitmap& b, bool alpha)
{
    std::vector<unsigned char> out;
    EXPECT_TRUE(LICE::WritePngToMemory(b, alpha, out));
    return out;
}

std::unique_ptr<LICE_MemBitmap> Sample()
{
    auto b = Filled(5, 3, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            Set(*b, x, y, LICE_RGBA(x * 50, y * 100, 7 + x + y, 40 * x + y));
    return b;
}

} // namespace

TEST(Png, RgbDecodesWithOpaqueAlphaAndRgbaKeepsItsAlphaInTheTopByte)
{
    const auto sample = Sample();
    const auto rgb = Encode(*sample, false);
    ASSERT_GT(rgb.size(), 26u);
    EXPECT_EQ(rgb[25], PNG_COLOR_TYPE_RGB);
    const auto fromRgb = LICE::LoadPngFromMemory(rgb.data(), rgb.size());
    ASSERT_TRUE(fromRgb);
    ASSERT_EQ(fromRgb->getWidth(), 5);
    ASSERT_EQ(fromRgb->getHeight(), 3);
    EXPECT_EQ(fromRgb->getRowSpan(), 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(*fromRgb, x, y), At(*sample, x, y) | 0xFF000000u);

    const auto rgba = Encode(*sample, true);
    EXPECT_EQ(rgba[25], PNG_COLOR_TYPE_RGB_ALPHA);
    const auto fromRgba = LICE::LoadPngFromMemory(rgba.data(), rgba.size());
    ASSERT_TRUE(fromRgba);
    EXPECT_EQ(Pixels(*fromRgba), Pixels(*sample));
}

TEST(Png, GreyPaletteAndSixteenBitImagesDecodeToPackedPixels)
{
    const auto grey = EncodeRaw(2, 1, PNG_COLOR_TYPE_GRAY, 8, {{0x10, 0xF0}});
    auto b = LICE::LoadPngFromMemory(grey.data(), grey.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(Pixels(*b), (std::vector<LICE_pixel>{0xFF101010, 0xFFF0F0F0}));

    const auto greyAlpha = EncodeRaw(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{0x20, 0x80}});
    b = LICE::LoadPngFromMemory(greyAlpha.data(), greyAlpha.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 0, 0), 0x80202020u);

    // Two-bit grey: samples 0, 1, 2, 3 scale to 0x00, 0x55, 0xAA, 0xFF.
    const auto packed = EncodeRaw(4, 1, PNG_COLOR_TYPE_GRAY, 2, {{0x1B}});
    b = LICE::LoadPngFromMemory(packed.data(), packed.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(Pixels(*b),
              (std::vector<LICE_pixel>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));

    const std::vector<png_color> palette = {{255, 0, 0}, {0, 0, 255}};
    const auto indexed = EncodeRaw(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {{1, 0}}, palette, {255, 64});
    b = LICE::LoadPngFromMemory(indexed.data(), indexed.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(Pixels(*b), (std::vector<LICE_pixel>{0x400000FF, 0xFFFF0000}));

    const auto deep =
        EncodeRaw(1, 1, PNG_COLOR_TYPE_RGB, 16, {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}});
    b = LICE::LoadPngFromMemory(deep.data(), deep.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 0, 0), 0xFF12569Au);
}

TEST(Png, ShortDataAndBadSignaturesAreRefusedWithoutTouchingTheBitmap)
{
    const auto good = Encode(*Sample(), true);
    auto target = Filled(2, 2, 0xDEADBEEF);
    EXPECT_FALSE(LICE::LoadPngFromMemory(good.data(), 7, *target));
    EXPECT_FALSE(LICE::LoadPngFromMemory(good.data(), 0, *target));
    EXPECT_FALSE(LICE::LoadPngFromMemory(nullptr, 100, *target));
    auto bad = good;
    bad[1] = 'X';
    EXPECT_FALSE(LICE::LoadPngFromMemory(bad.data(), bad.size(), *target));
    EXPECT_FALSE(LICE::LoadPngFromMemory(bad.data(), bad.size()));
    EXPECT_EQ(target->getWidth(), 2);
    EXPECT_EQ(Pixels(*target), std::vector<LICE_pixel>(4, 0xDEADBEEF));

    // A good image goes into the given bitmap, which takes its size.
    EXPECT_TRUE(LICE::LoadPngFromMemory(good.data(), good.size(), *target));
    EXPECT_EQ(target->getWidth(), 5);
    EXPECT_EQ(Pixels(*target), Pixels(*Sample()));
}

TEST(Png, DamagedDataFailsCleanly)
{
    const auto good = Encode(*Sample(), true);
    // Cut anywhere after the signature: zeros are read past the end, and unless all pixel data
    // was already there (only the end chunk cut off) libpng's error ends the decode.
    const auto expected = Pixels(*Sample());
    int decoded = 0;
    for (std::size_t cut = 8; cut < good.size(); ++cut)
    {
        if (const auto b = LICE::LoadPngFromMemory(good.data(), cut))
        {
            EXPECT_EQ(Pixels(*b), expected) << "cut at " << cut;
            EXPECT_GE(cut, good.size() - 12) << "cut at " << cut;
            ++decoded;
        }
    }
    EXPECT_LE(decoded, 12);
    // Flipped bytes anywhere either decode or fail; they never crash.
    for (std::size_t i = 8; i < good.size(); ++i)
    {
        auto damaged = good;
        damaged[i] ^= 0x5A;
        LICE::LoadPngFromMemory(damaged.data(), damaged.size());
    }
    // Absurd sizes are refused before any allocation.
    auto huge = good;
    const unsigned char side[4] = {0x00, 0x0F, 0xFF, 0xFF};
    std::copy(side, side + 4, huge.begin() + 16);
    std::copy(side, side + 4, huge.begin() + 20);
    EXPECT_FALSE(LICE::LoadPngFromMemory(huge.data(), huge.size()));

    // A large flat image compresses close to deflate's limit and still decodes; its first bytes
    // alone claim more pixels than they could hold and are refused before the given bitmap is
    // resized.
    const int side2 = 2000;
    const auto flat = EncodeRaw(
        side2, side2, PNG_COLOR_TYPE_GRAY, 1,
        std::vector<std::vector<unsigned char>>(side2, std::vector<unsigned char>(side2 / 8, 0)));
    const auto big = LICE::LoadPngFromMemory(flat.data(), flat.size());
    ASSERT_TRUE(big);
    EXPECT_EQ(big->getWidth(), side2);
    EXPECT_EQ(big->getBits()[side2 * side2 - 1], LICE_RGBA(0, 0, 0, 255));
    auto given = Filled(3, 3, 0x12345678);
    EXPECT_FALSE(LICE::LoadPngFromMemory(flat.data(), 100, *given));
    EXPECT_EQ(given->getWidth(), 3);
}

// The size bound takes each side in its role: a filtered row's bytes grow with the width, the
// number of rows with the height. A long thin image compresses close to deflate's limit and
// must decode either way round; a large claim in a few bytes is refused before any bitmap is
// sized for it (with a correct header checksum, so that the bound is what refuses it).
TEST(Png, TheSizeBoundTellsWidthFromHeight)
{
    const auto wide =
        EncodeRaw(60000, 1, PNG_COLOR_TYPE_GRAY, 1, {std::vector<unsigned char>(60000 / 8, 0)});
    const auto tall = EncodeRaw(1, 60000, PNG_COLOR_TYPE_GRAY, 1,
                                std::vector<std::vector<unsigned char>>(60000, {0}));
    EXPECT_LE(wide.size(), 100u); // 7501 filtered bytes: near the limit of 1032 a byte
    for (const auto* png : {&wide, &tall})
    {
        const auto b = LICE::LoadPngFromMemory(png->data(), png->size());
        ASSERT_TRUE(b) << png->size() << " bytes";
        EXPECT_EQ(b->getWidth() * b->getHeight(), 60000);
        EXPECT_EQ(At(*b, b->getWidth() - 1, b->getHeight() - 1), LICE_RGBA(0, 0, 0, 255));
    }
    EXPECT_EQ(LICE::LoadPngFromMemory(wide.data(), wide.size())->getWidth(), 60000);

    // A bitmap that counts the sizes it is asked to take.
    class Counting final : public LICE_IBitmap
    {
    public:
        LICE_pixel* getBits() const override { return const_cast<LICE_pixel*>(&mPixel); }
        int getWidth() const override { return 1; }
        int getHeight() const override { return 1; }
        int getRowSpan() const override { return 1; }
        bool resize(int, int) override
        {
            ++mResizes;
            return false;
        }
        int mResizes = 0;

    private:
        LICE_pixel mPixel = 0;
    };
    for (const int colourType : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGBA})
    {
        auto claim = EncodeRaw(1, 1, colourType, colourType == PNG_COLOR_TYPE_GRAY ? 1 : 8,
                               {std::vector<unsigned char>(4, 0)});
        // The header chunk: length, "IHDR" at 12, width at 16, height at 20, its CRC at 29.
        for (const int at : {16, 20})
        {
            claim[at] = 0x00;
            claim[at + 1] = 0x00;
            claim[at + 2] = 0x40; // 16384
            claim[at + 3] = 0x00;
        }
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), claim.data() + 12, 17);
        for (int i = 0; i < 4; ++i)
            claim[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
        Counting counting;
        EXPECT_FALSE(LICE::LoadPngFromMemory(claim.data(), claim.size(), counting));
        EXPECT_EQ(counting.mResizes, 0) << claim.size() << " bytes claim 16384 x 16384";
        EXPECT_FALSE(LICE::LoadPngFromMemory(claim.data(), claim.size()));
    }
}

TEST(Png, ABitmapThatCannotTakeTheSizeIsRefused)
{
    class FixedBitmap final : public LICE_IBitmap
    {
    public:
        LICE_pixel* getBits() const override { return const_cast<LICE_pixel*>(mPixels); }
        int getWidth() const override { return 2; }
        int getHeight() const override { return 2; }
        int getRowSpan() const override { return 2; }
        bool resize(int, int) override { return false; }

    private:
        LICE_pixel mPixels[4] = {};
    } fixed;
    const auto png = Encode(*Sample(), true);
    EXPECT_FALSE(LICE::LoadPngFromMemory(png.data(), png.size(), fixed));
}

TEST(Png, FilesAreCheckedByExtensionAndRoundTrip)
{
    EXPECT_TRUE(LICE::HasPngExtension("a.png"));
    EXPECT_TRUE(LICE::HasPngExtension("dir.x\\B.PnG"));
    EXPECT_FALSE(LICE::HasPngExtension("a.png.bak"));
    EXPECT_FALSE(LICE::HasPngExtension("pic.png/file"));
    EXPECT_FALSE(LICE::HasPngExtension("png"));
    EXPECT_FALSE(LICE::HasPngExtension(nullptr));

    const auto dir = std::filesystem::temp_directory_path();
    const std::string png = (dir / "orlantix-bitmap-test.png").string();
    const std::string other = (dir / "orlantix-bitmap-test.bin").string();
    const auto sample = Sample();
    ASSERT_TRUE(LICE::WritePngFile(png.c_str(), *sample, true));
    std::filesystem::copy_file(png, other, std::filesystem::copy_options::overwrite_existing);

    const auto read = LICE::LoadPngFile(png.c_str(), true);
    ASSERT_TRUE(read);
    EXPECT_EQ(Pixels(*read), Pixels(*sample));
    EXPECT_FALSE(LICE::LoadPngFile(other.c_str(), true));
    EXPECT_TRUE(LICE::LoadPngFile(other.c_str(), false));
    EXPECT_FALSE(LICE::LoadPngFile((dir / "orlantix-missing.png").string().c_str(), true));
    LICE_MemBitmap into;
    EXPECT_TRUE(LICE::LoadPngFile(png.c_str(), true, into));
    EXPECT_EQ(into.getWidth(), 5);
    std::filesystem::remove(png);
    std::filesystem::remove(other);

    LICE_MemBitmap empty;
    std::vector<unsigned char> bytes;
    EXPECT_FALSE(LICE::WritePngToMemory(empty, true, bytes));
}
