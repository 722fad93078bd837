#include "ArtworkTables.h"
#include "LICE_EmbeddedResources.h"
#include "LICE_PngResource.h"

#include <gtest/gtest.h>
#include <string>

using orx::artwork::ImageEntry;

namespace
{

std::vector<ImageEntry> Table()
{
    return orx::artwork::ReadImageTable(std::string(ORX_SOURCE_DIR) + "/resources/images.txt");
}

} // namespace

TEST(Resources, TheTableListsIds100To125)
{
    const auto table = Table();
    ASSERT_EQ(table.size(), 26u);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(table[std::size_t(i)].mId, 100 + i);

    std::size_t count = 0;
    const LICE_EmbeddedResource* embedded = LICE_GetEmbeddedResources(count);
    ASSERT_EQ(count, 26u);
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(embedded[i].mId, int(100 + i));
}

TEST(Resources, EveryEmbeddedImageDecodesWithItsSizeAndWholeFrames)
{
    for (const ImageEntry& e : Table())
    {
        SCOPED_TRACE(e.mName);
        const auto bitmap = LICE::LoadPngResource(nullptr, e.mId);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->getWidth(), e.mWidth);
        EXPECT_EQ(bitmap->getHeight(), e.mHeight * e.mFrames);
        EXPECT_EQ(bitmap->getHeight() % e.mFrames, 0);
        // Every frame draws something: no frame of a strip is left empty.
        for (int f = 0; f < e.mFrames; ++f)
        {
            bool drawn = false;
            for (int y = f * e.mHeight; y < (f + 1) * e.mHeight && !drawn; ++y)
                for (int x = 0; x < e.mWidth && !drawn; ++x)
                    drawn = (bitmap->getBits()[y * bitmap->getRowSpan() + x] >> 24) != 0;
            EXPECT_TRUE(drawn) << "frame " << f;
        }
    }
}

TEST(Resources, TheBackgroundIsOpaqueAndFramesDiffer)
{
    const auto background = LICE::LoadPngResource(nullptr, 100);
    ASSERT_TRUE(background);
    for (int y = 0; y < background->getHeight(); ++y)
        for (int x = 0; x < background->getWidth(); ++x)
            ASSERT_EQ(background->getBits()[y * background->getRowSpan() + x] >> 24, 0xFFu)
                << x << "," << y;

    // Two-frame switches show their states differently.
    for (int id : {104, 109, 110, 111, 117, 122, 123, 125})
    {
        const auto b = LICE::LoadPngResource(nullptr, id);
        ASSERT_TRUE(b);
        const int half = b->getHeight() / 2;
        bool differ = false;
        for (int y = 0; y < half && !differ; ++y)
            for (int x = 0; x < b->getWidth() && !differ; ++x)
                differ = b->getBits()[y * b->getRowSpan() + x] !=
                         b->getBits()[(y + half) * b->getRowSpan() + x];
        EXPECT_TRUE(differ) << "image " << id;
    }
}

TEST(Resources, MissingIdsAnswerNothing)
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    EXPECT_FALSE(LICE::FindPngResource(nullptr, 99, data, size));
    EXPECT_FALSE(LICE::FindPngResource(nullptr, 126, data, size));
    EXPECT_FALSE(LICE::LoadPngResource(nullptr, -1));
    LICE_MemBitmap into(3, 3);
    EXPECT_FALSE(LICE::LoadPngResource(nullptr, 99, into));
    EXPECT_EQ(into.getWidth(), 3);
}
