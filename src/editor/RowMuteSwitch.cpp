#include "RowMuteSwitch.h"

#include "Orlantix.h"
#include "OrlantixGui.h"
#include "OrlantixParamIndex.h"

RowMuteSwitch::RowMuteSwitch(Orlantix& plug, int x, int y, int row, const IBitmapHandle& bitmap)
    : ISwitchControl(&plug, x, y, kRowMute1 + row, bitmap), mPlug(plug), mRow(row)
{
}

void RowMuteSwitch::HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept
{
    IMutexLock lock(mPlug.Mutex());
    // The click turns the shown state over. Read before the parameter goes out: its handler
    // shows the row's switches again, and a row muted by a solo still shows muted.
    const bool on = GetValue() <= 0.5;
    // The parameter first (the user's own mute), then what only a click means.
    ISwitchControl::HandleMouseDown(x, y, keys);
    if (keys.mR)
        return;
    OrlantixGui& gui = mPlug.Gui();
    gui.RowMuteFromSwitch(mRow, on);
    const int solo = kRowSolo1 + mRow;
    if (gui.Row(mRow).mSoloed && mPlug.GetParam(solo)->Value() <= 0.5)
    {
        // A second parameter the press moves: a gesture of its own, sent after the lock.
        mPlug.BeginParamGestureFromGUI(solo);
        mPlug.SetParameterFromGUI(solo, 1.0);
        mPlug.EndParamGestureFromGUI(solo);
    }
}
