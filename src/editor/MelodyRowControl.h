#pragma once
// The small grey square left of a variation row. A left press selects the row's twelve cells
// (control adds or removes them); a right press opens the row menu, whose row command applies to
// this row alone. It carries a blank parameter only so that the value prompt opens its menu.

#include "IControl.h"

class MelodyGrid;

class MelodyRowControl : public IControl
{
public:
    // A numbered item's tag: kNumbered + 256 x command + amount; other tags are a command
    // with amount 1.
    static constexpr int kNumbered = 65536;

    // [main-thread]
    MelodyRowControl(IEditorHost* plug, const IRect& rect, int paramIdx, MelodyGrid& grid, int row);

    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
    bool Paint(IGraphics& graphics) noexcept override;
    // Built anew on every opening; "Paste" is disabled while the row clipboard is empty.
    std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept override;
    void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept override;

    int Row() const noexcept { return mRow; }

private:
    MelodyGrid& mGrid;
    int mRow;
};
