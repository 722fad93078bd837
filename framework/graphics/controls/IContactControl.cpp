#include "IContactControl.h"

void IContactControl::HandleMouseUp(int, int, const IMouseKeys&) noexcept
{
    mValue = 0.0;
    MarkDirty(true);
}
