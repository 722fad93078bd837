#include "BitmapTestUtil.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

#include <cstdint>
#include <gtest/gtest.h>

TEST(MemBitmap, RowSpanFollowsTheAlignmentAndPixelsSitOn64Bytes)
{
    LICE_MemBitmap aligned(5, 3, 4);
    EXPECT_EQ(aligned.getRowSpan(), 8);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(aligned.getBits()) % 64, 0u);
    LICE_MemBitmap unaligned(5, 3, 1);
    EXPECT_EQ(unaligned.getRowSpan(), 5);
    LICE_MemBitmap byLowestBit(5, 3, 12); // lowest set bit 4
    EXPECT_EQ(byLowestBit.getRowSpan(), 8);
    LICE_MemBitmap capped(17, 1, 64); // counts as 16
    EXPECT_EQ(capped.getRowSpan(), 32);
    EXPECT_FALSE(aligned.isFlipped());
    EXPECT_EQ(aligned.getDC(), nullptr);
    EXPECT_EQ(aligned.Extended(1, nullptr), 0);
}

TEST(MemBitmap, GrowsByAQuarterAndNeverShrinks)
{
    LICE_MemBitmap b;
    EXPECT_EQ(b.getBits(), nullptr);
    EXPECT_TRUE(b.resize(100, 10)); // 100 x 10 x 4 bytes, grown by a quarter
    EXPECT_EQ(b.getAllocatedBytes(), 5000u);
    EXPECT_FALSE(b.resize(100, 10));

    // Anything up to the grown size reuses the buffer.
    EXPECT_TRUE(b.resize(100, 12));
    EXPECT_EQ(b.getAllocatedBytes(), 5000u);
    EXPECT_TRUE(b.resize(4, 4));
    EXPECT_EQ(b.getAllocatedBytes(), 5000u);
    EXPECT_EQ(b.getWidth(), 4);
    EXPECT_NE(b.getBits(), nullptr);

    EXPECT_TRUE(b.resize(200, 10));
    EXPECT_EQ(b.getAllocatedBytes(), 10000u);

    EXPECT_TRUE(b.resize(0, 0));
    EXPECT_EQ(b.getAllocatedBytes(), 0u);
    EXPECT_EQ(b.getBits(), nullptr);
}

TEST(MemBitmap, RefusesNegativeAndHugeSizes)
{
    LICE_MemBitmap b(4, 4);
    EXPECT_TRUE(b.resize(-10, -10)); // negative counts as 0: freed, not a positive product
    EXPECT_EQ(b.getWidth(), 0);
    EXPECT_EQ(b.getBits(), nullptr);

    EXPECT_TRUE(b.resize(1 << 20, 1 << 20)); // 4 TiB: a failed allocation leaves size 0
    EXPECT_EQ(b.getWidth(), 0);
    EXPECT_EQ(b.getHeight(), 0);
    EXPECT_EQ(b.getBits(), nullptr);
}

TEST(SysBitmap, RowSpanIsTheAllocatedWidthAndFittingSizesReuseTheSurface)
{
    LICE_SysBitmap b(10, 5);
    ASSERT_NE(b.getBits(), nullptr);
    EXPECT_EQ(b.getRowSpan(), 12);
    EXPECT_EQ(b.getAllocatedHeight(), 5);

    LICE_pixel* before = b.getBits();
    EXPECT_TRUE(b.resize(9, 4));
    EXPECT_EQ(b.getBits(), before);
    EXPECT_EQ(b.getRowSpan(), 12);
    EXPECT_FALSE(b.resize(9, 4));

    EXPECT_TRUE(b.resize(13, 5));
    EXPECT_EQ(b.getRowSpan(), 16);
    EXPECT_EQ(b.getWidth(), 13);

    EXPECT_FALSE(b.resize(0, 5)); // a zero size releases the surface
    EXPECT_EQ(b.getBits(), nullptr);
    EXPECT_EQ(b.getWidth(), 0);
}
