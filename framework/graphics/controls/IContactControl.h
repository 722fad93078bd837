#pragma once
// A switch that springs back to 0 when the button is released.

#include "ISwitchControl.h"

class IContactControl : public ISwitchControl
{
public:
    using ISwitchControl::ISwitchControl;

    void HandleMouseUp(int x, int y, const IMouseKeys& keys) noexcept override;
};
