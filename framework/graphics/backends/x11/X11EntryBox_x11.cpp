#include "X11EntryBox.h"

#include "LICE_MemBitmap.h"
#include "X11Popups.h"

#include <X11/keysym.h>

namespace orx::x11
{

namespace
{
constexpr long kEntryEvents =
    ExposureMask | ButtonPressMask | KeyPressMask | FocusChangeMask | StructureNotifyMask;
} // namespace

bool EntryBox::Create(Display* display, Window editor, const IRect& rect, const std::string& text,
                      int fontHeight) noexcept
{
    Destroy();
    try
    {
        mStyle.emplace("Arial", fontHeight, IColorARGB(255, 0, 0, 0), ITextStyle::kStyleNormal,
                       ITextStyle::kAlignCenter);
    }
    catch (...)
    {
        return false;
    }
    if (!mWindow.Create(display, editor, rect, kEntryEvents, false))
    {
        mStyle.reset();
        return false;
    }
    mRect = rect;
    mField.SetText(text, true);
    mFocused = false;
    return true;
}

void EntryBox::Destroy() noexcept
{
    mWindow.Destroy();
    mStyle.reset();
}

void EntryBox::Forget() noexcept
{
    mWindow.Forget();
    mStyle.reset();
}

void EntryBox::SetText(const std::string& text) noexcept
{
    mField.SetText(text, true);
    Draw(mFocused);
}

EntryBox::EKey EntryBox::Key(XKeyEvent& event) noexcept
{
    std::string text;
    const KeySym key = KeyOf(event, &text);
    const bool shift = (event.state & ShiftMask) != 0;
    switch (key)
    {
    case XK_Return:
    case XK_KP_Enter:
        return EKey::kCommit;
    case XK_Escape:
        return EKey::kCancel;
    case XK_Left:
        mField.Key(TextField::kLeft, shift);
        break;
    case XK_Right:
        mField.Key(TextField::kRight, shift);
        break;
    case XK_Home:
        mField.Key(TextField::kHome, shift);
        break;
    case XK_End:
        mField.Key(TextField::kEnd, shift);
        break;
    case XK_BackSpace:
        mField.Key(TextField::kBackspace);
        break;
    case XK_Delete:
        mField.Key(TextField::kDelete);
        break;
    default:
        if ((event.state & ControlMask) && (key == XK_a || key == XK_A))
            mField.Key(TextField::kSelectAll);
        else if (!(event.state & ControlMask))
            mField.Type(text);
        break;
    }
    Draw(mFocused);
    return EKey::kEdited;
}

void EntryBox::Click(int x) noexcept
{
    if (mStyle)
        mField.PlaceCaret(x, mRect.W(), *mStyle);
    Draw(mFocused);
}

void EntryBox::Draw(bool focused) noexcept
{
    mFocused = focused;
    if (!mWindow || !mStyle)
        return;
    try
    {
        LICE_MemBitmap picture(mRect.W(), mRect.H());
        mField.Draw(picture, *mStyle, focused);
        mWindow.PutAll(picture);
    }
    catch (...)
    {
    }
}

} // namespace orx::x11
