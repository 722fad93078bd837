// Text drawn with the editor's font rules, and a snapshot of an editor surface written with
// our own PNG writer.

#include "GraphicsTestSupport.h"
#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "IKnobMultiControl.h"
#include "ITextControl.h"
#include "LICE_PngRead.h"
#include "LICE_SysBitmap.h"
#include "TextRenderer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace
{
struct Ink
{
    int mL = 1 << 30, mT = 1 << 30, mR = -1, mB = -1;
    bool mExact = false; // some pixel shows exactly the text colour
};

// Draws text on black and measures where it landed.
Ink Draw(IGraphicsLice& g, const ITextStyle& style, const char* text, const IRect& r)
{
    g.FillRect({255, 0, 0, 0}, IRect(0, 0, g.Width(), g.Height()), nullptr);
    EXPECT_TRUE(g.DrawText(style, text, r));
    Ink ink;
    for (int y = 0; y < g.Height(); ++y)
        for (int x = 0; x < g.Width(); ++x)
        {
            const IColorARGB c = g.GetPixel(x, y);
            if (c.mR == 0 && c.mG == 0 && c.mB == 0)
                continue;
            ink.mL = std::min(ink.mL, x);
            ink.mR = std::max(ink.mR, x);
            ink.mT = std::min(ink.mT, y);
            ink.mB = std::max(ink.mB, y);
            EXPECT_LE(c.mR, style.mColor.mR);
            EXPECT_LE(c.mG, style.mColor.mG);
            ink.mExact |=
                c.mR == style.mColor.mR && c.mG == style.mColor.mG && c.mB == style.mColor.mB;
        }
    return ink;
}
} // namespace

TEST(Text, AlignsWithinTheRectangleInTheStylesColourAtTheStylesHeight)
{
    EditorPlug plug;
    IGraphicsLice g(&plug, 200, 60);
    g.CreateSurfaces();
    ITextStyle style("Arial", 14, {255, 200, 100, 50}, ITextStyle::kStyleNormal,
                     ITextStyle::kAlignCenter);
    ASSERT_NE(style.Font(), nullptr);
    const Ink centred = Draw(g, style, "Hello", IRect(0, 0, 200, 20));
    EXPECT_TRUE(centred.mExact);
    EXPECT_NEAR(centred.mL + centred.mR, 199, 2); // symmetric about the middle
    // Line height 14: the capitals stand on the baseline 11 pixels down, 8 to 10 tall.
    EXPECT_EQ(centred.mB, 10);
    EXPECT_GE(centred.mT, 0);
    EXPECT_LE(10 - centred.mT, 10);
    EXPECT_GE(10 - centred.mT, 7);

    style.mAlign = ITextStyle::kAlignNear;
    EXPECT_LE(Draw(g, style, "Hello", IRect(20, 0, 200, 20)).mL, 22);
    style.mAlign = ITextStyle::kAlignFar;
    const Ink right = Draw(g, style, "Hello", IRect(0, 0, 180, 20));
    EXPECT_GE(right.mR, 176);
    EXPECT_LE(right.mR, 179);
    // Not clipped to the rectangle; a second line one line height further down.
    const Ink two = Draw(g, style, "Wide text\nH", IRect(0, 30, 10, 31));
    EXPECT_LT(two.mR, 10);
    EXPECT_EQ(two.mB, 30 + 14 + 10);

    // A copy has a font object of its own; without one nothing is drawn.
    ITextStyle copy = style;
    ASSERT_NE(copy.Font(), nullptr);
    EXPECT_NE(copy.Font(), style.Font());
    copy.ReleaseFont();
    EXPECT_FALSE(g.DrawText(copy, "x", IRect(0, 0, 10, 10)));
    EXPECT_TRUE(g.DrawText(copy, "", IRect(0, 0, 10, 10)));
    ITextStyle bold("Arial", 14, {}, ITextStyle::kStyleBold);
    EXPECT_GT(bold.Font()->LineWidth("Hello", 5), style.Font()->LineWidth("Hello", 5));
}

TEST(EditorSnapshot, BackgroundKnobsAndTextWrittenAsPng)
{
    EditorPlug plug;
    auto* g = new IGraphicsWin(&plug, 720, 650, &CreateWindowSystem);
    g->AttachBackground(100, "velta-bg-v1-1.png");
    const IBitmapHandle knob = g->LoadBitmap(105, "silver-knob128.png", 128);
    for (int i = 0; i < 6; ++i)
        g->AddControl(new IKnobMultiControl(&plug, 40 + 50 * i, 80, i % 2 ? kGain : kSteps, knob));
    ITextStyle style("Arial", 14, {255, 255, 255, 255}, 0, ITextStyle::kAlignCenter);
    auto* title = new ITextControl(&plug, IRect(40, 120, 340, 136), style, "Orlantix 1.0");
    g->AddControl(title);
    plug.AttachEditor(g);
    HeadlessWindow w(*g);
    w.Open();
    w.Tick();
    title->SetGreyed(true);
    w.Tick();

    // ORX_SNAPSHOT_DIR keeps the picture there for a person to look at.
    const char* keep = std::getenv("ORX_SNAPSHOT_DIR");
    const std::string path =
        std::string(keep ? keep : ::testing::TempDir().c_str()) + "/editor-snapshot.png";
    ASSERT_TRUE(w.Snapshot(path.c_str()));
    const auto back = LICE::LoadPngFile(path.c_str(), true);
    if (!keep)
        std::remove(path.c_str());
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->getWidth(), 720);
    ASSERT_EQ(back->getHeight(), 650);
    int differ = 0, lit = 0;
    for (int y = 0; y < 650; ++y)
        for (int x = 0; x < 720; ++x)
        {
            const LICE_pixel a = LICE::ReadPixel(back.get(), x, y);
            differ += (a & 0xFFFFFFu) != (g->GetPixel(x, y).Packed() & 0xFFFFFFu);
            lit += (y >= 120 && y < 136 && (a & 0xFFu) == 127); // the greyed text colour
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(lit, 10);
    EXPECT_EQ(back->getBits()[0] >> 24, 255u); // written opaque
}
