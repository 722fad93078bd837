#pragma once
// The mouse buttons and modifier keys held during a mouse event.

struct IMouseKeys
{
    bool mL = false; // left button
    bool mR = false; // right button
    bool mS = false; // shift
    bool mC = false; // control
    bool mA = false; // alt
};
