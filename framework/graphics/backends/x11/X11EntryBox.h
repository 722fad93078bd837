#pragma once
// The value prompt's entry box of the X11 layer: a child window of the editor drawn by us
// (TextField.h), its text centred in an "Arial" font, edited by the keys a user expects;
// Return and Escape are left to the window system, which tells the editor. X11 layer only
// (X11Handles.h).

#include "X11PictureWindow.h"

#include "IRect.h"
#include "ITextStyle.h"
#include "TextField.h"

#include <optional>
#include <string>

namespace orx::x11
{

class EntryBox
{
public:
    enum class EKey
    {
        kEdited,
        kCommit, // Return
        kCancel, // Escape
    };

    // A box at rect in the editor window, its text all selected; false leaves none.
    bool Create(Display* display, Window editor, const IRect& rect, const std::string& text,
                int fontHeight) noexcept;
    void Destroy() noexcept;
    // The box went with its parent: only forgotten.
    void Forget() noexcept;
    explicit operator bool() const noexcept { return static_cast<bool>(mWindow); }
    Window Id() const noexcept { return mWindow.Id(); }

    const std::string& Text() const noexcept { return mField.Text(); }
    void SetText(const std::string& text) noexcept;
    EKey Key(XKeyEvent& event) noexcept;
    // A press at x in the box puts the caret there.
    void Click(int x) noexcept;
    // Shows the box; the caret only while it has the keyboard.
    void Draw(bool focused) noexcept;

private:
    PictureWindow mWindow;
    TextField mField;
    std::optional<ITextStyle> mStyle;
    IRect mRect;
    bool mFocused = false;
};

} // namespace orx::x11
