#include "CounterControl.h"

#include "MelodyCell.h"
#include "MelodyGrid.h"
#include "Orlantix.h"
#include "ThreadRole.h"

#include <cstdio>

namespace
{
ITextStyle CounterStyle()
{
    return ITextStyle("Arial", 14, {255, 255, 255, 255}, ITextStyle::kStyleNormal,
                      ITextStyle::kAlignCenter);
}
} // namespace

CounterControl::CounterControl(IEditorHost* plug, const IRect& rect, MelodyCell& cell)
    : ISpinnerControl(plug, rect, -1, CounterStyle(), nullptr, false, false, kVertical, 12.0),
      mCell(cell)
{
    SetText("1");
}

int CounterControl::CountForValue(double value) noexcept
{
    // A hair above the value, so that (count - 1) / 63 stands for count despite the rounding.
    const int k = static_cast<int>(value * (kMaxCount - 1) + 1e-9);
    return (k < 0 ? 0 : (k > kMaxCount - 1 ? kMaxCount - 1 : k)) + 1;
}

double CounterControl::ValueForCount(int count) noexcept
{
    const int k = count < 1 ? 0 : (count > kMaxCount ? kMaxCount - 1 : count - 1);
    return static_cast<double>(k) / (kMaxCount - 1);
}

bool CounterControl::Follow(int count) noexcept
{
    ORX_MAIN_THREAD();
    // A loaded count outside 1..64 is shown as it is; the value takes the nearest end.
    char text[16];
    std::snprintf(text, sizeof(text), "%d", count);
    const bool valueOff = CountForValue(mValue) != CountForValue(ValueForCount(count));
    const bool textOff = mText != text;
    if (valueOff)
        mValue = ValueForCount(count);
    if (textOff)
        mText = text;
    return valueOff || textOff;
}

// The turn starts from the melody's count as it is now (a load may have changed it since the
// last paint). Only a turn that reaches another count writes it into the melody, so a loaded
// count outside 1..64 stays until the user really changes it.
void CounterControl::HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept
{
    IMutexLock lock(mCell.mpGrid->Plug().Mutex());
    Follow(mCell.mpGrid->LiveRepeatCount(mCell));
    const int before = CountForValue(mValue);
    ISpinnerControl::HandleMouseDrag(x, y, dx, dy, keys);
    if (CountForValue(mValue) != before)
        mCell.mpGrid->SetRepeatCount(mCell, CountForValue(mValue));
}

void CounterControl::HandleWheel(int x, int y, const IMouseKeys& keys, int notches) noexcept
{
    IMutexLock lock(mCell.mpGrid->Plug().Mutex());
    Follow(mCell.mpGrid->LiveRepeatCount(mCell));
    const int before = CountForValue(mValue);
    ISpinnerControl::HandleWheel(x, y, keys, notches);
    if (CountForValue(mValue) != before)
        mCell.mpGrid->SetRepeatCount(mCell, CountForValue(mValue));
}

bool CounterControl::Paint(IGraphics& graphics) noexcept
{
    Follow(mCell.ShownMelody().mRepeatCount);
    return ISpinnerControl::Paint(graphics);
}
