#include "MelodyRowControl.h"

#include "IGraphics.h"
#include "IPopupMenu.h"
#include "MelodyGrid.h"
#include "MelodyGridLayout.h"
#include "RowTransforms.h"

#include <cstdio>

MelodyRowControl::MelodyRowControl(IEditorHost* plug, const IRect& rect, int paramIdx,
                                   MelodyGrid& grid, int row)
    : IControl(plug, rect, paramIdx), mGrid(grid), mRow(row)
{
    mValue = 1.0;
    SetDblAsSingleClick(true); // never sends a value to the blank parameter
}

void MelodyRowControl::HandleMouseDown(int, int, const IMouseKeys& keys) noexcept
{
    if (keys.mR)
        PromptForValue();
    else
        mGrid.PressRow(mRow, keys.mC);
}

bool MelodyRowControl::Paint(IGraphics& graphics) noexcept
{
    graphics.FillRect(melody_grid::kRowControl, GetRECT(), &mBlend);
    graphics.DrawRectOutline(melody_grid::kRowControl, GetRECT());
    return true;
}

namespace
{
void AddPlain(IPopupMenu& menu, const char* text, int command)
{
    menu.AddTextItem(text)->SetTag(command);
}

// Items "<symbol> 1" .. "<symbol> count"; each twelfth item after the first starts a column.
void AddNumbered(IPopupMenu& menu, const char* text, const char* symbol, int command, int count)
{
    auto sub = std::make_unique<IPopupMenu>();
    for (int i = 1; i <= count; ++i)
    {
        char label[16];
        std::snprintf(label, sizeof(label), "%s %d", symbol, i);
        const int flags = (i > 1 && i % 12 == 1) ? IPopupMenu::Item::kBreak : 0;
        sub->AddTextItem(label, -1, flags)->SetTag(MelodyRowControl::kNumbered + 256 * command + i);
    }
    menu.AddSubmenu(text, std::move(sub));
}
} // namespace

std::unique_ptr<IPopupMenu> MelodyRowControl::BuildParamMenu() noexcept
{
    auto menu = std::make_unique<IPopupMenu>();
    AddPlain(*menu, "Enable", kRowEnable);
    AddPlain(*menu, "Disable", kRowDisable);
    menu->AddSeparator();
    AddPlain(*menu, "Flip T/B", kRowFlipTB);
    menu->AddSeparator();
    AddNumbered(*menu, "Shift Up", "^", kRowShiftUp, 4);
    AddNumbered(*menu, "Shift Down", "v", kRowShiftDown, 4);
    menu->AddSeparator();
    AddNumbered(*menu, "Shift Left (chord)", "<", kRowShiftLeftChord, 11);
    AddNumbered(*menu, "Shift Right (chord)", ">", kRowShiftRightChord, 11);
    AddPlain(*menu, "Reverse (chord)", kRowReverseChord);
    AddPlain(*menu, "Scramble (chord)", kRowScrambleChord);
    menu->AddSeparator();
    AddNumbered(*menu, "Shift Left (pulse)", "<", kRowShiftLeftPulse, 47);
    AddNumbered(*menu, "Shift Right (pulse)", ">", kRowShiftRightPulse, 47);
    AddPlain(*menu, "Reverse (pulse)", kRowReversePulse);
    AddPlain(*menu, "Random (pulse)", kRowRandomPulse);
    menu->AddSeparator();
    AddPlain(*menu, "Clear", kRowClear);
    menu->AddSeparator();
    AddPlain(*menu, "Copy", kRowCopy);
    AddPlain(*menu, "Paste", kRowPaste);
    menu->SetEnabled(kRowPaste, !mGrid.RowClipboardEmpty());
    return menu;
}

void MelodyRowControl::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    if (!chosen || chosen->Tag() < 0 || !chosen->Enabled())
        return;
    const int tag = chosen->Tag();
    if (tag & kNumbered)
        mGrid.ApplyRowCommand(mRow, (tag >> 8) & 0xFF, tag & 0xFF);
    else
        mGrid.ApplyRowCommand(mRow, tag, 1);
}
