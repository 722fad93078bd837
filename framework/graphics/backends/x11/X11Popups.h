#pragma once
// The X11 layer's popups: menus (DrawnMenu.h), the file chooser (FileChooser.h) and the
// question and message boxes (shown as menus), each in override-redirect windows of their
// own, modal as a Windows menu or dialog is: the pointer and keyboard are held by the popup
// until it closes, a press outside closes it, and the editor's frames go on meanwhile. X11
// layer only (X11Handles.h).

#include "X11Handles.h"

#include "IRect.h"

#include <string>

class IPopupMenu;

namespace orx::x11
{

// What a popup's loop needs from the window system that opened it.
class PopupHost
{
public:
    virtual Display* PopupDisplay() const noexcept = 0;
    // Runs the editor's frame if one is due; answers the milliseconds until the next.
    virtual int TickIfDue() noexcept = 0;
    // An event that is not the popup's: the editor's windows' own.
    virtual void ForeignEvent(XEvent& event) noexcept = 0;
    // The editor window is gone (its host destroyed it): the popup closes.
    virtual bool EditorGone() const noexcept = 0;

protected:
    ~PopupHost() = default;
};

// Where a popup ends, for the window system: the release of a press that closed it from
// outside is not the editor's.
struct PopupEnd
{
    unsigned mSwallowButton = 0; // X button number, 0 for none
};

// A double click: a second left press soon enough and near enough.
class ClickCounter
{
public:
    static constexpr Time kMaxMs = 500;
    static constexpr int kMaxDistance = 4;
    // Whether the press at (x, y) at time t completes a double click.
    bool Press(Time t, int x, int y) noexcept;

private:
    bool mHave = false;
    Time mTime = 0;
    int mX = 0;
    int mY = 0;
};

// The screen's rectangle.
IRect ScreenRect(Display* display) noexcept;

// Shows menu with its top left at (x, y) on the screen and waits: the chosen id (flat index
// + 1), 0 for none.
int RunMenu(PopupHost& host, const IPopupMenu& menu, int x, int y, PopupEnd& end) noexcept;

// A file chooser centred on over (a screen rectangle), starting in folder; true with path set
// when a file was chosen.
bool RunFileChooser(PopupHost& host, bool save, const std::string& folder, const IRect& over,
                    std::string& path, PopupEnd& end) noexcept;

// A question with Yes and No (answers true for Yes), or a message with OK, centred on over.
bool RunQuestion(PopupHost& host, const std::string& caption, const std::string& text, bool yesNo,
                 const IRect& over, PopupEnd& end) noexcept;

// The key of a key press, and the characters it types (as UTF-8) when text is given.
KeySym KeyOf(XKeyEvent& event, std::string* text = nullptr) noexcept;

// The Windows virtual-key code of an X key (the editor's keys), 0 for others.
int VirtualKeyOf(KeySym key) noexcept;

} // namespace orx::x11
