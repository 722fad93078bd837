#pragma once
// What a window layer tells the editor window: one record per native message, the same for
// every platform. A backend fills it from its own messages (positions already in editor
// pixels, wheel already in notches, keys as Windows virtual-key codes, which are ASCII for
// digits and capital letters) and hands it to IGraphicsWin::HandleEvent.

#include "IMouseKeys.h"
#include "IRect.h"

struct WindowEvent
{
    enum EKind
    {
        kMouseMove,   // mX, mY, mKeys (buttons held)
        kMouseDown,   // mX, mY, mKeys; mRightButton for the right one
        kMouseUp,     // mX, mY, mKeys; mRightButton for the right one
        kDoubleClick, // left button: mX, mY, mKeys
        kWheel,       // mX, mY, mKeys, mNotches (positive away from the user)
        kMouseLeave,  // the pointer left the window
        kKeyDown,     // mVirtualKey at the pointer mX, mY; mKeys: the modifier keys held
        kActivate,    // a click activates the window: it takes the keyboard focus
        kPaint,       // mRect needs painting now
        kTimer,       // one frame tick
        kClose,       // the window is being closed
        // The value prompt's entry box.
        kEntryFocus,  // the box got the keyboard focus
        kEntryBlur,   // the box lost it
        kEntryCommit, // Return (or the box's own commit command)
        kEntryCancel, // Escape
    };

    EKind mKind = kTimer;
    int mX = 0;
    int mY = 0;
    IMouseKeys mKeys;
    bool mRightButton = false;
    int mNotches = 0;
    int mVirtualKey = 0;
    IRect mRect;
};

// The Windows virtual-key code of Escape, which the window systems also give it.
inline constexpr int kVirtualKeyEscape = 0x1B;

// Editor key codes, as IControl::HandleKey receives them.
enum EKeyCode
{
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,   // ... 9 = 14
    kKeyLetterA = 15, // ... Z = 40
};

// The editor key code of a Windows virtual-key code (lower-case ASCII letters count as their
// capitals); -1 for keys the editor does not take.
inline int KeyCodeForVirtualKey(int vk) noexcept
{
    switch (vk)
    {
    case 0x20:
        return kKeySpace;
    case 0x26:
        return kKeyUp;
    case 0x28:
        return kKeyDown;
    case 0x25:
        return kKeyLeft;
    case 0x27:
        return kKeyRight;
    default:
        break;
    }
    if (vk >= '0' && vk <= '9')
        return kKeyDigit0 + (vk - '0');
    if (vk >= 'A' && vk <= 'Z')
        return kKeyLetterA + (vk - 'A');
    if (vk >= 'a' && vk <= 'z')
        return kKeyLetterA + (vk - 'a');
    return -1;
}
