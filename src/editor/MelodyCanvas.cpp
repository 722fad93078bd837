#include "MelodyCanvas.h"

#include "IGraphics.h"
#include "IPopupMenu.h"
#include "MelodyCell.h"
#include "MelodyGrid.h"

#include <cstdio>

using namespace melody_grid;

MelodyCanvas::MelodyCanvas(IEditorHost* plug, const IRect& rect, int paramIdx, MelodyCell& cell)
    : IControl(plug, rect, paramIdx), mCell(cell)
{
    // Quick clicks on a degree toggle it each time; the default double click would instead send
    // a value to the trigger parameter.
    SetDblAsSingleClick(true);
}

void MelodyCanvas::HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept
{
    if (keys.mR)
    {
        PromptForValue();
        return;
    }
    const IRect& r = GetRECT();
    const int pulse = PulseAt(mCell.ShownMelody().mNumPulses, x - r.mL);
    const int degree = DegreeAt(y - r.mT);
    mCell.mpGrid->PressCell(mCell, keys.mC, keys.mL ? pulse : -1, degree);
}

void MelodyCanvas::Layout(int numPulses) noexcept
{
    const IRect& r = GetRECT();
    for (int p = 0; p < 4; ++p)
        for (int d = 0; d < 5; ++d)
        {
            const PixelSpan xs = PulseColumn(numPulses, p);
            const PixelSpan ys = DegreeRow(d);
            mDegreeRects[p][d] = xs.mFrom > xs.mTo ? IRect()
                                                   : IRect(r.mL + xs.mFrom, r.mT + ys.mFrom,
                                                           r.mL + xs.mTo + 1, r.mT + ys.mTo + 1);
        }
    mLaidOutPulses = numPulses;
}

bool MelodyCanvas::Paint(IGraphics& graphics) noexcept
{
    const Melody& melody = mCell.ShownMelody();
    const int n = melody.mNumPulses;
    if (n != mLaidOutPulses)
        Layout(n);
    const bool bright = mCell.Live() && mCell.StepActive();
    const IColorARGB& frame = bright ? kFrameLive : kFrameOther;
    const IColorARGB& struck = bright ? kStruckLive : kStruckOther;
    const IRect& r = GetRECT();

    graphics.DrawRectOutline(frame, r);
    if (mCell.Selected())
        graphics.FillRect(kSelectionWash, IRect(r.mL, r.mT, r.mL + kCanvasSize, r.mT + kCanvasSize),
                          &mBlend);
    for (int y : kHorizontalLines)
        graphics.DrawHorizontalLine(frame, r.mT + y, r.mL, r.mL + kCanvasSize);
    int xs[3];
    const int lines = VerticalLines(n, xs);
    for (int i = 0; i < lines; ++i)
        graphics.DrawVerticalLine(frame, r.mL + xs[i], r.mT, r.mT + kCanvasSize);

    const int pulses = n < 1 ? 1 : (n > 4 ? 4 : n);
    for (int p = 0; p < pulses; ++p)
        for (int d = 0; d < 5; ++d)
        {
            if ((melody.mPitchSets[p].mPlayingMask & (1 << d)) == 0)
                continue;
            const IRect& cell = mDegreeRects[p][d];
            graphics.FillRect(struck, IRect(cell.mL + 1, cell.mT + 1, cell.mR - 1, cell.mB - 1),
                              &mBlend);
        }
    return true;
}

namespace
{
void AddNumbered(IPopupMenu& menu, const char* text, const char* symbol, int firstCode, int count)
{
    auto sub = std::make_unique<IPopupMenu>();
    for (int i = 1; i <= count; ++i)
    {
        char label[16];
        std::snprintf(label, sizeof(label), "%s %d", symbol, i);
        sub->AddTextItem(label)->SetTag(firstCode + i - 1);
    }
    menu.AddSubmenu(text, std::move(sub));
}
} // namespace

std::unique_ptr<IPopupMenu> MelodyCanvas::BuildParamMenu() noexcept
{
    mCell.mpGrid->RefreshModel();
    const bool live = mCell.Live();
    auto menu = std::make_unique<IPopupMenu>();
    const int onFlags = IPopupMenu::Item::kChecked | IPopupMenu::Item::kDisabled;
    menu->AddTextItem("Enable", -1, live ? onFlags : 0)->SetTag(kEnable);
    menu->AddTextItem("Disable", -1, live ? 0 : onFlags)->SetTag(kDisable);
    menu->AddSeparator();
    menu->AddTextItem("Flip L/R")->SetTag(0);
    menu->AddTextItem("Flip T/B")->SetTag(1);
    AddNumbered(*menu, "Shift Left", "<", 2, 3);
    AddNumbered(*menu, "Shift Right", ">", 5, 3);
    AddNumbered(*menu, "Shift Up", "^", 8, 4);
    AddNumbered(*menu, "Shift Down", "v", 12, 4);
    menu->AddTextItem("Rand")->SetTag(17);
    menu->AddSeparator();
    menu->AddTextItem("Copy")->SetTag(kCopy);
    menu->AddTextItem("Paste")->SetTag(kPaste);
    menu->AddSeparator();
    menu->AddTextItem("Clear")->SetTag(kClear);
    return menu;
}

void MelodyCanvas::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    // Separators and submenu titles carry no command; a disabled item cannot be chosen.
    if (!chosen || chosen->Tag() < 0 || !chosen->Enabled())
        return;
    mCell.mpGrid->ApplyCellCommand(mCell, chosen->Tag());
}
