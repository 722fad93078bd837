#pragma once
// Where the melody grid sits in the editor and how a cell is drawn: the cells' controls, the
// row controls and switches, the pulse columns and degree rows inside a melody canvas (ranges
// inclusive, relative to the canvas's top left corner), and the grid's colours. The cells, the
// row controls and the solo and mute switches are placed from the layout table
// (resources/layout.txt: MelodyCells, MelodyRows, RowSwitches), as the artwork is.

#include "EditorLayoutTable.h"
#include "IColorARGB.h"
#include "IRect.h"

namespace melody_grid
{

inline constexpr orx::layout::Grid kCells = orx::layout::kMelodyCells;
inline constexpr orx::layout::Grid kRows = orx::layout::kMelodyRows;
inline constexpr orx::layout::Pair kRowSwitches = orx::layout::kRowSwitches;

// The four controls of the cell of chord step k (column) and variation v (row).
constexpr int ColumnLeft(int chordStep) noexcept
{
    return kCells.mX + kCells.mDx * chordStep;
}
constexpr int CellTop(int variation) noexcept
{
    return kCells.mY + kCells.mDy * variation;
}
// The canvas's pixels 0 ... kCanvasSize both ways, its frame included.
inline IRect CanvasRect(int chordStep, int variation) noexcept
{
    const int a = ColumnLeft(chordStep), b = CellTop(variation);
    return {a, b + 10, a + 41, b + 51};
}
inline IRect EnableRect(int chordStep, int variation) noexcept
{
    const int a = ColumnLeft(chordStep), b = CellTop(variation);
    return {a, b, a + 8, b + 8};
}
inline IRect PlayMarkerRect(int chordStep, int variation) noexcept
{
    const int a = ColumnLeft(chordStep), b = CellTop(variation);
    return {a, b + 53, a + 40, b + 55};
}
inline IRect CounterRect(int chordStep, int variation) noexcept
{
    const int a = ColumnLeft(chordStep), b = CellTop(variation);
    return {a + 24, b - 3, a + 40, b + 9};
}

// Left of each variation row its row control; right of it the solo and mute switches.
constexpr int RowTop(int row) noexcept
{
    return kRows.mY + kRows.mDy * row;
}
inline IRect RowControlRect(int row) noexcept
{
    return {kRows.mX, RowTop(row), kRows.mX + 17, RowTop(row) + 15};
}
constexpr int RowSwitchTop(int row) noexcept
{
    return kRowSwitches.mY + kRowSwitches.mDy * row;
}
inline constexpr int kSoloSwitchX = kRowSwitches.mX;
// The mute switch follows the solo switch's image.
constexpr int MuteSwitchX(int soloImageWidth) noexcept
{
    return kRowSwitches.mX + 2 + soloImageWidth;
}

inline constexpr int kCanvasSize = 40;

// A range of canvas pixels, both ends inclusive; empty when mFrom > mTo.
struct PixelSpan
{
    int mFrom = 0;
    int mTo = -1;
    bool Contains(int p) const noexcept { return mFrom <= p && p <= mTo; }
};

// The x range of pulse p for a melody of numPulses pulses (0 counts as 1); empty beyond them.
PixelSpan PulseColumn(int numPulses, int pulse) noexcept;
// The y range of pitch degree d: degree 0 at the bottom, degree 4 at the top.
PixelSpan DegreeRow(int degree) noexcept;
// The vertical grid lines between the pulse columns: numPulses - 1 of them, x into xs.
int VerticalLines(int numPulses, int xs[3]) noexcept;
inline constexpr int kHorizontalLines[4] = {32, 24, 16, 8};
// The pulse column and degree row under canvas pixel (x, y); -1 in a gap or on the frame.
int PulseAt(int numPulses, int x) noexcept;
int DegreeAt(int y) noexcept;

// Colours (alpha, red, green, blue).
inline const IColorARGB kFrameLive{255, 255, 127, 0}; // melody live and chord step active
inline const IColorARGB kFrameOther{255, 127, 127, 127};
inline const IColorARGB kSelectionWash{75, 127, 127, 127};
inline const IColorARGB kStruckLive{255, 255, 255, 0};
inline const IColorARGB kStruckOther{255, 145, 145, 0};
inline const IColorARGB kRowControl{255, 127, 127, 127};
inline const IColorARGB kEnableLiveActive{255, 0, 255, 0};
inline const IColorARGB kEnableLive{255, 0, 145, 0};
inline const IColorARGB kEnableOffActive{255, 255, 0, 0};
inline const IColorARGB kEnableOff{255, 145, 0, 0};
inline const IColorARGB kPlayMarker{255, 255, 255, 255};

} // namespace melody_grid
