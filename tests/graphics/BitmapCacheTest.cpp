// The process-wide bitmap cache, shared by every instance on any thread.

#include "BitmapCache.h"
#include "GraphicsTestSupport.h"
#include "IGraphicsLice.h"
#include "LICE_Fill.h"

#include <gtest/gtest.h>

#include <thread>

TEST(BitmapCache, InstancesOnTwoThreadsShareOneImagePerId)
{
    IBitmapHandle seen[2];
    auto load = [&](int i)
    {
        EditorPlug plug;
        IGraphicsLice g(&plug, 720, 650);
        seen[i] = g.LoadBitmap(105, "silver-knob128.png", 128);
    };
    std::thread a(load, 0), b(load, 1);
    a.join();
    b.join();
    ASSERT_NE(seen[0].mpBitmap, nullptr);
    EXPECT_EQ(seen[0].mpBitmap, seen[1].mpBitmap);
    EXPECT_EQ(seen[0].mW, 32);
    EXPECT_EQ(seen[0].mH, 32 * 128);
    EXPECT_EQ(seen[0].FrameHeight(), 32);

    EditorPlug plug;
    IGraphicsLice g(&plug, 10, 10);
    const int size = BitmapCache::Size();
    EXPECT_EQ(g.LoadBitmap(105, "any.png", 1).mpBitmap, seen[0].mpBitmap);
    EXPECT_EQ(g.LoadBitmap(9999, "missing.png").mpBitmap, nullptr);
    EXPECT_EQ(g.LoadBitmap(104, "on-off-led.bmp").mpBitmap, nullptr); // not a PNG name
    EXPECT_EQ(BitmapCache::Size(), size);                             // failures are not cached
    EXPECT_NE(g.LoadBitmap(104, "on-off-led.PNG").mpBitmap, nullptr);
}

TEST(BitmapCache, ScaledAndCroppedCopiesLiveUntilReleased)
{
    EditorPlug plug;
    IGraphicsLice g(&plug, 10, 10);
    Filmstrip strip(4, 4, 2); // frame 1 on top of frame 2
    const int size = BitmapCache::Size();
    const IBitmapHandle scaled = g.ScaleBitmap(strip.mHandle, 8, 16);
    const IBitmapHandle cropped = g.CropBitmap(strip.mHandle, IRect(1, 4, 3, 8));
    EXPECT_EQ(BitmapCache::Size(), size + 2);
    ASSERT_NE(scaled.mpBitmap, nullptr);
    EXPECT_EQ(scaled.mN, 2);
    EXPECT_EQ(scaled.mpBitmap->getHeight(), 16);
    EXPECT_EQ(LICE::ReadPixel(scaled.mpBitmap, 0, 0), FrameColor(1));
    EXPECT_EQ(LICE::ReadPixel(scaled.mpBitmap, 7, 15), FrameColor(2));
    EXPECT_EQ(cropped.mW, 2);
    EXPECT_EQ(LICE::ReadPixel(cropped.mpBitmap, 1, 3), FrameColor(2));
    g.ReleaseBitmap(scaled);
    g.ReleaseBitmap(cropped);
    g.ReleaseBitmap(cropped); // twice: nothing more
    EXPECT_EQ(BitmapCache::Size(), size);
}
