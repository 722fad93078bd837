// IGraphics: the mouse and keys from the window layer, and what they open and close on the
// plug-in: the host's edit gesture on a control's parameter, and an edit for the undo history.

#include "IGraphics.h"

#include "IEditorHost.h"

namespace
{
// Wheel turns on one control this close together make one edit: about half a second.
constexpr int kWheelRunFrames = 12;
} // namespace

void IGraphics::BeginGesture(int paramIdx) noexcept
{
    if (paramIdx < 0 || !mpPlug)
        return;
    EndGesture();
    mGestureParam = paramIdx;
    mpPlug->BeginParamGestureFromGUI(paramIdx);
}

void IGraphics::EndGesture() noexcept
{
    if (mGestureParam < 0)
        return;
    const int paramIdx = mGestureParam;
    mGestureParam = -1;
    if (mpPlug)
        mpPlug->EndParamGestureFromGUI(paramIdx);
}

void IGraphics::TellHost(bool withStateChange) noexcept
{
    if (mpPlug)
        mpPlug->FlushHostNotices(withStateChange);
}

void IGraphics::BeginInteraction(const IControl& control) noexcept
{
    EndInteraction();
    BeginGesture(control.ParamIdx());
    if (!mpPlug)
        return;
    mpPlug->BeginEdit(control.EditName());
    mEditOpen = true;
}

void IGraphics::EndInteraction() noexcept
{
    mWheelControl = -1;
    EndGesture();
    if (!mEditOpen)
        return;
    mEditOpen = false;
    if (mpPlug)
        mpPlug->EndEdit();
}

void IGraphics::NameInteraction(const char* name) noexcept
{
    if (mEditOpen && mpPlug)
        mpPlug->NameEdit(name);
}

void IGraphics::ReleaseMouse() noexcept
{
    ORX_MAIN_THREAD();
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    EndInteraction();
    TellHost(false);
}

void IGraphics::TickWheelRun() noexcept
{
    ORX_MAIN_THREAD();
    if (mWheelControl >= 0 && ++mWheelIdleFrames >= kWheelRunFrames)
        ReleaseMouse();
    if (const int key = mHostKey.exchange(0))
        EditKey(key == 'y' ? 'y' : 'z', true, false);
}

bool IGraphics::KeyFromHost(int character, bool control, bool shift) noexcept
{
    ORX_MAIN_THREAD();
    const bool z = character == 'z' || character == 'Z';
    const bool y = character == 'y' || character == 'Y';
    if (!control || !(z || y))
        return false;
    mHostKey.store(z && !shift ? 'z' : 'y');
    return true;
}

int IGraphics::FindControlAt(int x, int y) const noexcept
{
    if (mMouseCapture >= 0)
        return mMouseCapture;
    for (int i = NControls() - 1; i >= 0; --i)
    {
        const IControl& c = *mControls[static_cast<std::size_t>(i)];
        if (!c.IsHidden() && !c.IsGreyed() && c.HitTest(x, y))
            return i;
    }
    return -1;
}

void IGraphics::MouseDown(int x, int y, const IMouseKeys& keys) noexcept
{
    ORX_MAIN_THREAD();
    // A press whose release never came (a drag ended outside any window) ends here, and so
    // does a run of wheel turns.
    ReleaseMouse();
    const int c = FindControlAt(x, y);
    if (c < 0)
        return;
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    mLastClickWasRight = keys.mR;
    IControl* control = GetControl(c);
    BeginInteraction(*control);
    mPopupTookMouse = false;
    control->HandleMouseDown(x, y, keys);
    if (mPopupTookMouse)
    {
        mPopupTookMouse = false;
        ReleaseMouse();
    }
    TellHost(false);
}

void IGraphics::MouseUp(int x, int y, const IMouseKeys& keys) noexcept
{
    ORX_MAIN_THREAD();
    const int c = FindControlAt(x, y);
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    mLastClickWasRight = false;
    if (IControl* control = GetControl(c))
        control->HandleMouseUp(x, y, keys);
    EndInteraction();
    TellHost(false);
}

void IGraphics::MouseDrag(int x, int y, const IMouseKeys& keys) noexcept
{
    ORX_MAIN_THREAD();
    IControl* control = GetControl(mMouseCapture);
    if (!control || (x == mMouseX && y == mMouseY))
        return;
    const int dx = x - mMouseX;
    const int dy = y - mMouseY;
    mMouseX = x;
    mMouseY = y;
    control->HandleMouseDrag(x, y, dx, dy, keys);
    TellHost(false);
}

bool IGraphics::DoubleClick(int x, int y, const IMouseKeys& keys) noexcept
{
    ORX_MAIN_THREAD();
    ReleaseMouse();
    const int c = FindControlAt(x, y);
    IControl* control = GetControl(c);
    if (!control)
        return false;
    BeginInteraction(*control);
    if (!control->DblAsSingleClick())
    {
        control->HandleDoubleClick(x, y, keys);
        ReleaseMouse();
        return false;
    }
    // A press like any other: its release ends the interaction.
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    mPopupTookMouse = false;
    control->HandleMouseDown(x, y, keys);
    const bool captured = !mPopupTookMouse;
    if (mPopupTookMouse)
    {
        mPopupTookMouse = false;
        ReleaseMouse();
    }
    TellHost(false);
    return captured;
}

void IGraphics::Wheel(int x, int y, const IMouseKeys& keys, int notches) noexcept
{
    ORX_MAIN_THREAD();
    const int c = FindControlAt(x, y);
    IControl* control = GetControl(c);
    if (!control)
        return;
    // Inside a drag the turn belongs to the drag; otherwise turns on one control in quick
    // succession are one gesture and one edit.
    if (mMouseCapture < 0 && mWheelControl != c)
    {
        BeginInteraction(*control);
        mWheelControl = c;
    }
    mWheelIdleFrames = 0;
    control->HandleWheel(x, y, keys, notches);
    TellHost(false);
}

void IGraphics::KeyDown(int x, int y, int keyCode) noexcept
{
    ORX_MAIN_THREAD();
    IControl* control = GetControl(FindControlAt(x, y));
    if (!control)
        return;
    const bool own = mMouseCapture < 0;
    if (own)
        BeginInteraction(*control);
    mPopupTookMouse = false;
    control->HandleKey(x, y, keyCode);
    mPopupTookMouse = false;
    if (own)
        ReleaseMouse();
    TellHost(false);
}

bool IGraphics::EditKey(int character, bool control, bool shift) noexcept
{
    ORX_MAIN_THREAD();
    const bool z = character == 'z' || character == 'Z';
    const bool y = character == 'y' || character == 'Y';
    if (!control || !(z || y))
        return false;
    if (mMouseCapture >= 0)
        return true; // not in the middle of a drag
    ReleaseMouse();  // a run of wheel turns is over: its step is recorded first
    if (mpPlug)
    {
        if (z && !shift)
            mpPlug->Undo();
        else
            mpPlug->Redo();
    }
    return true;
}

bool IGraphics::MouseOver(int x, int y, const IMouseKeys& keys) noexcept
{
    ORX_MAIN_THREAD();
    if (!mHandleMouseOver)
        return false;
    const int c = FindControlAt(x, y);
    if (IControl* control = GetControl(c))
    {
        mMouseX = x;
        mMouseY = y;
        control->HandleMouseOver(x, y, keys);
    }
    if (mMouseOver >= 0 && mMouseOver != c)
        if (IControl* previous = GetControl(mMouseOver))
            previous->HandleMouseOut();
    mMouseOver = c;
    return true;
}

void IGraphics::MouseOut() noexcept
{
    ORX_MAIN_THREAD();
    for (auto& control : mControls)
        control->HandleMouseOut();
    mMouseOver = -1;
}
