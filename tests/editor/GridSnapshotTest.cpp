// A picture of the melody grid and the modifier panes on the editor's background while playing,
// written as a PNG into the build folder for a person to look at, with the colours that matter
// checked in it.

#include "EditorRig.h"
#include "LICE_Fill.h"
#include "LICE_PngRead.h"

#include <gtest/gtest.h>

#include <string>

TEST(EditorPicture, GridAndPanesWhilePlaying)
{
    EditorRig rig;
    // A few edits: a degree, a selection, a disabled melody, a muted row, a repeat count, a
    // strike step, a narrower strike span and the chord span shortened to ten steps.
    rig.W().Click(CanvasX(1, 25), CanvasY(0, 4));
    rig.W().Click(CanvasX(4, 15), CanvasY(1, 12), kControl);
    rig.W().Click(CellLeft(2) + 4, CellTop(0) + 4);
    rig.W().Click(668, RowTop(3) + 7);
    rig.W().Wheel(CellLeft(6) + 32, CellTop(0) + 3, 13);
    rig.Plug().SetParameterFromGUI(kStkBegin, 2.0 / 7.0);
    rig.Plug().SetParameterFromGUI(kStkLen, 3.0 / 7.0);
    rig.Plug().SetParameterFromGUI(kNumStep, 9.0 / 11.0);
    rig.W().Click(49 + 5, 430); // strike step 1: "Orig"
    Play(rig.Plug(), 1);
    rig.Frame(2);

    const std::string path = std::string(ORX_SNAPSHOT_OUT) + "/editor-grid-and-panes.png";
    ASSERT_TRUE(rig.W().Snapshot(path.c_str()));
    const auto picture = LICE::LoadPngFile(path.c_str(), true);
    ASSERT_NE(picture, nullptr);
    const auto at = [&](int x, int y)
    { return IColorARGB::FromPacked(LICE::ReadPixel(picture.get(), x, y)); };

    const IColorARGB orange{255, 255, 127, 0}, grey{255, 127, 127, 127};
    // Live cells inside the span have orange frames and yellow degrees; outside it, grey and
    // dull yellow; a disabled cell is grey.
    EXPECT_EQ(at(CellLeft(0), CanvasY(0, 20)), orange);
    EXPECT_EQ(at(CanvasX(1, 25), CanvasY(0, 4)), IColorARGB(255, 255, 255, 0));
    EXPECT_EQ(at(CellLeft(11), CanvasY(0, 20)), grey);
    EXPECT_EQ(at(CanvasX(11, 5), CanvasY(0, 20)), IColorARGB(255, 145, 145, 0));
    EXPECT_EQ(at(CellLeft(2), CanvasY(0, 20)), grey);
    // Four pulses: lines at 10, 20 and 30.
    EXPECT_EQ(at(CanvasX(1, 20), CanvasY(0, 3)), orange);
    EXPECT_EQ(at(CanvasX(1, 10), CanvasY(0, 3)), orange);
    // The counter of cell 6 shows 9 in white.
    EXPECT_EQ(rig.LiveMelody(6, 0).mRepeatCount, 9);
    int lit = 0;
    for (int y = CellTop(0) - 3; y < CellTop(0) + 9; ++y)
        for (int x = CellLeft(6) + 24; x < CellLeft(6) + 40; ++x)
            lit += at(x, y).mR > 200 && at(x, y).mG > 200;
    EXPECT_GT(lit, 10);
    // One play marker lit, white, in its pulse's column.
    int markers = 0;
    for (int k = 0; k < MAX_STEPS; ++k)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int p = 0; p < 4; ++p)
                markers +=
                    at(CellLeft(k) + 5 + 10 * p, CellTop(v) + 53) == IColorARGB(255, 255, 255, 255);
    EXPECT_EQ(markers, 1);
}
