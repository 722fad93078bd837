#pragma once
// The window-system seam of the editor. IGraphicsWin (portable, IGraphicsWin.cpp) holds all the
// logic of the editor window: event handling, the frame tick, the value prompt and its entry
// states, menus built as IPopupMenu, dialogs' rules, folders, resizing. What only a platform can
// do sits behind this one interface, with one implementation per file, each in a static
// library of its own that CMake links where it is wanted:
//   WindowSystem_headless.cpp  no screen: events injected by tests (HeadlessWindow.h), menus
//                              and dialogs answered by a scripted chooser.
//   WindowSystem_win32.cpp     a child window of the host's HWND, handles in counted owners
//                              (Win32Handle.h); menus, the EDIT entry box, common dialogs.
//   WindowSystem_x11.cpp       an X11 child window of the host's window on a display
//                              connection of its own; entry box, menus and file chooser
//                              drawn by the layer itself (X11Popups.h).
//
// How a backend works:
// - CreateWindowSystem is the factory each backend defines; the program passes it to
//   IGraphicsWin, which calls it once, at construction, and owns the result. The backend keeps
//   the event sink it was given and knows nothing else of the editor.
// - The backend turns each native message for its window into a WindowEvent and hands it to
//   the sink (pointer positions in editor pixels, wheel in notches, keys as
//   Windows virtual-key codes). The frame timer's ticks are kTimer events; a paint request is a
//   kPaint event with the rectangle to paint, during which Present may be called. Paint
//   requests come from UpdateNow and from the system alike; the editor paints the rectangle and
//   whatever else is dirty, adding that to the invalid area first (Invalidate), so the area to
//   mark valid is the whole invalid area once the kPaint event returns.
// - The entry box's own messages become kEntryFocus, kEntryBlur, kEntryCommit (Return) and
//   kEntryCancel (Escape) events.
// - Menus are shown from an IPopupMenu: entries numbered depth-first from 1 (an item with a
//   submenu before its items, as IPopupMenu::ItemAt counts), separators, disabled (greyed),
//   checked and highlighted entries and column breaks from the item flags; an item with a
//   submenu shows checked when its submenu has a checked item, unless it has kNoSubmenuCheck.
// - Text drawing is not here: it is the separate seam of TextRenderer.h.
// - Files including <windows.h> undefine DrawText, LoadBitmap and CreateWindow after it.
//
// Every operation runs on the editor's thread ([main-thread]) and is noexcept.

#include "IColorARGB.h"
#include "IRect.h"

#include <memory>
#include <string>

class IPopupMenu;
class IWindowEventSink;
class LICE_IBitmap;

class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // The editor window: a visible child of parent at rect (parent coordinates); false when it
    // cannot be made. It takes the keyboard focus.
    virtual bool CreateEditorWindow(void* parent, const IRect& rect) noexcept = 0;
    // Destroys the window (and its timer and entry box); nothing without one.
    virtual void DestroyEditorWindow() noexcept = 0;
    // The native handle, or null.
    virtual void* EditorWindow() const noexcept = 0;
    // The window's place in its parent and its size.
    virtual IRect EditorWindowRect() const noexcept = 0;
    // Grows the window by (dw, dh), and its parent and grandparent too while they are plain
    // child windows; then the old area is invalidated.
    virtual void GrowEditorWindow(int dw, int dh) noexcept = 0;
    virtual void FocusEditorWindow() noexcept = 0;

    // A kTimer event every periodMs milliseconds until stopped. A backend without timers of
    // its own may send the first one at once.
    virtual void StartFrameTimer(int periodMs) noexcept = 0;
    virtual void StopFrameTimer() noexcept = 0;

    virtual void CapturePointer() noexcept = 0;
    virtual void ReleasePointer() noexcept = 0;
    virtual bool PointerCaptured() const noexcept = 0;
    // Asks for one kMouseLeave when the pointer leaves the window.
    virtual void TrackPointerLeave() noexcept = 0;

    // Adds rect to the area to paint.
    virtual void Invalidate(const IRect& rect) noexcept = 0;
    // Paints the invalid area now: one kPaint event with it, if there is any.
    virtual void UpdateNow() noexcept = 0;
    // Shows rect of surface at the same place in the window.
    virtual bool Present(const LICE_IBitmap& surface, const IRect& rect) noexcept = 0;

    // Shows menu at the pointer and waits for a choice: its id (flat index + 1), 0 for none.
    virtual int ShowPopupMenu(const IPopupMenu& menu) noexcept = 0;

    // The value prompt's entry box: rect in the window, text all selected, centred, in a
    // fontHeight "Arial" font, with the keyboard focus. False when it cannot be made.
    virtual bool CreateEntryBox(const IRect& rect, const std::string& text,
                                int fontHeight) noexcept = 0;
    virtual void DestroyEntryBox() noexcept = 0;
    // At most maxLength bytes of the box's text.
    virtual std::string EntryText(int maxLength) const noexcept = 0;
    virtual void SetEntryText(const std::string& text) noexcept = 0;

    // A file dialog (save or open) starting in folder; true with path set when one was chosen.
    virtual bool ChooseFile(std::string& path, bool save, const std::string& folder) noexcept = 0;
    // The colour dialog starting from color's red, green and blue, titled prompt; on OK those
    // three take the choice.
    virtual bool ChooseColour(IColorARGB& color, const std::string& prompt) noexcept = 0;
    // A yes/no question and a plain message, each with a caption.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) noexcept = 0;
    virtual void ShowMessage(const std::string& caption, const std::string& text) noexcept = 0;
    // Opens url in the user's browser; false when offline or it could not be opened.
    virtual bool OpenUrl(const std::string& url) noexcept = 0;

    // The host's idle time for the editor (effEditIdle): a backend without a message loop of
    // its own handles its events and frame ticks here, without waiting for anything.
    virtual void Idle() noexcept {}

    // Whether the windows appear on the user's screen; a backend without a screen (the
    // headless one) answers false, and the host is then offered no editor.
    virtual bool ShowsOnScreen() const noexcept { return true; }

    // Full file names of the host program and of the library module (the handle given to
    // IGraphicsLice::SetModule, null for the library holding this code); empty when unknown.
    virtual std::string HostProgramPath() const noexcept = 0;
    virtual std::string ModulePath(void* module) const noexcept = 0;
};

// [main-thread] A window system sending its events to sink; windowClassTag names the plug-in
// its windows belong to (the Win32 backend's window class carries it). Null only when out of
// memory.
using WindowSystemFactory = std::unique_ptr<WindowSystem> (*)(IWindowEventSink& sink,
                                                              int windowClassTag) noexcept;

// The factory of the backend a program links (one of backends/headless, win32, x11).
std::unique_ptr<WindowSystem> CreateWindowSystem(IWindowEventSink& sink,
                                                 int windowClassTag) noexcept;
