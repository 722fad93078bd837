#pragma once
// Test hooks of the headless window layer (WindowSystem_headless.cpp); only tests and tools
// include this. A HeadlessWindow drives one IGraphicsWin built with the headless backend:
// events at editor coordinates go in as the platform would send them, frame ticks are driven
// by the caller, a scripted chooser answers menus and dialogs, and the surface can be written
// to a PNG file.

#include "IColorARGB.h"
#include "IMouseKeys.h"
#include "IRect.h"

#include <string>
#include <vector>

class IGraphicsWin;
class HeadlessWindowSystem;

// [any-thread] Without a screen, editors are not offered to hosts (no has-editor flag, and the
// editor opcodes answer 0). A test plug-in that exercises those opcodes through a host turns
// the offer on for the whole library; nothing is drawn on a screen either way.
void HeadlessOffersEditor(bool offered) noexcept;

class HeadlessWindow
{
public:
    // The kind of file dialog the layer was asked for.
    enum class EFileDialog
    {
        kNone, // none yet
        kOpen,
        kSave,
    };

    // graphics must have been built with the headless backend linked in.
    explicit HeadlessWindow(IGraphicsWin& graphics);

    // Opens the editor window in a pretend host window.
    void Open();

    // Pointer events, as the platform sends them.
    void Press(int x, int y, const IMouseKeys& keys = {});
    void Release(int x, int y, const IMouseKeys& keys = {});
    void Move(int x, int y, const IMouseKeys& keys = {});
    void Click(int x, int y, const IMouseKeys& keys = {});
    void RightClick(int x, int y);
    // Press, release, double click, release: what a double click is made of.
    void DoubleClick(int x, int y, const IMouseKeys& keys = {});
    // Press at the start, steps moves along the line with the button held, release at the end.
    void Drag(int x0, int y0, int x1, int y1, int steps = 4, const IMouseKeys& keys = {});
    void Wheel(int x, int y, int notches, const IMouseKeys& keys = {});
    // virtualKey: a Windows virtual-key code ('A', '7', 0x26 for the up arrow...), with the
    // modifier keys held (mC control, mS shift, mA alt).
    void Key(int x, int y, int virtualKey, const IMouseKeys& keys = {});
    void Leave();
    // n frame ticks (nothing while the window is closed).
    void Tick(int n = 1);

    // The chooser: answers queued in order, one per menu or dialog shown.
    // Chooses the entry with this id (flat index + 1); 0 dismisses the menu.
    void AnswerMenu(int id);
    // Chooses the first entry, depth-first, with this text (dismissed when there is none).
    void AnswerMenu(const std::string& text);
    void AnswerFile(const std::string& path); // an empty path cancels
    void AnswerColour(const IColorARGB& color);
    void AnswerYesNo(bool yes);
    // Whether OpenUrl succeeds (true at first).
    void SetOnline(bool online);

    // The entry box of the value prompt.
    bool EntryOpen() const;
    std::string EntryText() const;
    IRect EntryRect() const;
    void TypeIntoEntry(const std::string& text);
    void FocusEntry();
    void BlurEntry();
    void PressReturn();
    void PressEscape();

    // What was shown.
    // The last menu shown, depth-first: each entry's text, with "[x] " before a checked one,
    // "|" before one that starts a column, "> " before each level of submenu and "---" for
    // separators.
    const std::vector<std::string>& LastMenu() const;
    int MenusShown() const;
    int Presents() const;
    IRect LastPresented() const;
    bool Captured() const;
    int TimerPeriodMs() const;
    const std::vector<std::string>& OpenedUrls() const;
    const std::vector<std::string>& Messages() const;
    const std::string& LastFileFolder() const;
    // Open or save: a save dialog asks for a new name, an open one for an existing file.
    EFileDialog LastFileDialog() const;

    // The surface as an opaque RGB PNG file.
    bool Snapshot(const char* path) const;

private:
    IGraphicsWin& mGraphics;
    HeadlessWindowSystem& mSystem;
};
