#pragma once
// A variation row's mute switch, bound to its RowMute parameter. It shows the row muted by the
// user or by another row's solo; un-muting a row that another row's solo silenced makes the row
// join the solo (and its RowSolo parameter follows, so a saved state plays the same).

#include "ISwitchControl.h"

class Orlantix;

class RowMuteSwitch : public ISwitchControl
{
public:
    // [main-thread]
    RowMuteSwitch(Orlantix& plug, int x, int y, int row, const IBitmapHandle& bitmap);

    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;

private:
    Orlantix& mPlug;
    int mRow;
};
