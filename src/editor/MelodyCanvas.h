#pragma once
// The 40 x 40 picture of one melody: a column per pulse, a row per pitch degree, the struck
// degrees filled. A left press selects the cell (control adds or removes it) and, without
// control, toggles the degree under the pointer; a right press opens the cell's edit menu,
// whose command applies to this cell alone. It carries the cell trigger parameter only so that
// the value prompt opens its menu; it never sends a value to it.

#include "IControl.h"
#include "MelodyGridLayout.h"

struct MelodyCell;

class MelodyCanvas : public IControl
{
public:
    // The melody commands of the edit menu (the items' tags).
    enum ECommand
    {
        kEnable = 20,
        kDisable = 21,
        kCopy = 22,
        kPaste = 23,
        kClear = 24,
    };

    // [main-thread]
    MelodyCanvas(IEditorHost* plug, const IRect& rect, int paramIdx, MelodyCell& cell);

    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
    bool Paint(IGraphics& graphics) noexcept override;
    // Built anew on every opening: "Enable" or "Disable" checked and disabled as the melody is
    // live or not.
    std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept override;
    void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept override;

private:
    // The degree rectangles for numPulses pulses, in editor pixels (right and bottom exclusive).
    void Layout(int numPulses) noexcept;

    MelodyCell& mCell;
    IRect mDegreeRects[4][5];
    int mLaidOutPulses = -1;
};
