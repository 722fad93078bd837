#pragma once
// Numbered callouts drawn over a picture of the editor: a part of the painted editor (zoomed by
// a whole factor when asked), margins around it that hold the numbered badges, a thin outline
// around each control a badge points at, and a leader line from the badge to it. Badges on one
// side are spread so that they never overlap, whatever the layout puts where.

#include "IRect.h"
#include "LICE_MemBitmap.h"

#include <string>
#include <vector>

namespace orx::docs
{

enum class Side
{
    kTop,    // in the margin above the picture, over the control
    kBottom, // in the margin below it
    kLeft,   // in the margin on the left, level with the control
    kRight,  // in the margin on the right
    kOn,     // on the control's top left corner, without a leader (a whole area)
};

struct Callout
{
    int mNumber = 0;
    std::string mName;           // what the manual's legend calls it
    std::vector<IRect> mTargets; // in editor pixels; one badge for each
    Side mSide = Side::kTop;
};

// What the callouts are drawn over: the part crop of the editor's surface, each pixel zoom x
// zoom pixels.
struct Framing
{
    IRect mCrop;
    int mZoom = 1;
};

// Draws the annotated picture into out: editor is the whole painted editor. Targets outside the
// crop are clipped to it.
void DrawCallouts(const LICE_IBitmap& editor, const Framing& framing,
                  const std::vector<Callout>& callouts, LICE_MemBitmap& out);

} // namespace orx::docs
