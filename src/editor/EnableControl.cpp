#include "EnableControl.h"

#include "IGraphics.h"
#include "MelodyCell.h"
#include "MelodyGrid.h"
#include "MelodyGridLayout.h"

using namespace melody_grid;

EnableControl::EnableControl(IEditorHost* plug, const IRect& rect, MelodyCell& cell)
    : IControl(plug, rect), mCell(cell)
{
    mValue = 1.0;
    SetDblAsSingleClick(true); // quick clicks switch the melody each time
}

void EnableControl::HandleMouseDown(int, int, const IMouseKeys&) noexcept
{
    mCell.mpGrid->PressEnable(mCell);
}

bool EnableControl::Paint(IGraphics& graphics) noexcept
{
    const bool live = mCell.Live();
    const bool active = mCell.StepActive();
    const IColorARGB& color = live ? (active ? kEnableLiveActive : kEnableLive)
                                   : (active ? kEnableOffActive : kEnableOff);
    graphics.FillRect(color, GetRECT(), &mBlend);
    return true;
}
