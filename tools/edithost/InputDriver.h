#pragma once
// What the editor test hosts' script runner (ScriptRunner.h) needs of a platform: the host's
// threads, its windows with the editors in them, a user's input, and what is on the screen.
// One driver per platform (InputDriver_win32.cpp, run under wine, and InputDriver_x11.cpp, on
// an X server); the runner gives every script command its meaning, the same on each.
//
// Threads: the host's thread loaded the plug-ins and calls Run; every other member is called
// from the script's thread, which Run starts (or is the host's thread itself, where the
// platform's modal loops run inside Wait). Input goes to the editor of the target.

#include "EditScript.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orxhost
{
class VstHost;
}

namespace edithost
{

enum class MouseButton
{
    kLeft,
    kRight,
};

// What to do in the popup menu that the next click opens.
struct MenuPlan
{
    std::vector<ScriptKey> mKeys;     // typed into it once it shows
    std::vector<std::string> mChoice; // chosen by keyboard: item texts, top level first
    std::string mShotPng;             // a picture of the screen as it shows, before any key

    bool Pending() const noexcept
    {
        return !mKeys.empty() || !mChoice.empty() || !mShotPng.empty();
    }
};

// What became of a menu plan.
struct MenuOutcome
{
    bool mShown = false;       // a popup showed
    bool mShotTaken = false;   // the picture was written
    bool mChoiceFound = false; // the menu held the item chosen (its keys were then typed)
    bool mKeysTyped = false;   // every key went into the popup
    bool mAbandoned = false;   // the popup stayed open after its keys and was ended unchosen
};

// What the platform and the server hold, to find leaks across closing and reopening: counts
// by kind, what could not be counted (two records never compare equal then) and notes on them.
struct Counts
{
    std::map<std::string, long> mValues;
    std::vector<std::string> mUncounted;
    std::vector<std::string> mNotes;
};

// A child window of the editor (an open entry box), in editor pixels.
struct Area
{
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;
};

// A host window to make for a plug-in: its name, its place among the plug-ins loaded (order of
// count) for where it goes on the screen, and the client area (the editor's size).
struct HostWindowSpec
{
    std::string mName;
    int mOrder = 0;
    int mCount = 1;
    int mWidth = 0;
    int mHeight = 0;
};

class InputDriver
{
public:
    virtual ~InputDriver() = default;

    // ---- threads ----
    // Runs script on the script's thread while the calling thread, the host's, runs the host's
    // loop and gives the open editors idle time through idle; returns when script has.
    virtual void Run(const std::function<void()>& script, const std::function<void()>& idle) = 0;
    // Runs fn on the host's thread and waits for it: false when the thread did not get to it
    // within timeoutMs (a popup holds it), and then fn never runs.
    virtual bool OnHostThread(const std::function<void()>& fn, int timeoutMs) = 0;
    // Lets ms pass with the host's loop running (the editors paint, popups take their keys).
    virtual void Wait(int ms) = 0;
    // How long an input takes to show: a few of the editor's frames, as the platform runs them.
    virtual int SettleMs() const = 0;
    // The host's idle interval in milliseconds; 0 for no idle time at all.
    virtual void SetIdleInterval(int ms) = 0;

    // ---- before the script ----
    // A plug-in the host loaded, under its name in the script.
    virtual void PlugInLoaded(const std::string& name, orxhost::VstHost& host) = 0;
    // Why the platform gives this process no window, empty when it does.
    virtual std::string WindowProblem() = 0;

    // ---- windows ----
    // Makes the host window (kept when it is there) and answers its client area's size.
    virtual bool MakeHostWindow(const HostWindowSpec& spec, int& width, int& height) = 0;
    // effEditOpen's pointer for the host window; null when there is none.
    virtual void* HostWindow(const std::string& name) = 0;
    // Destroys the host window with whatever is in it, without closing the editor first.
    virtual void DestroyHostWindow(const std::string& name) = 0;
    // The editor the input goes to ("" for none); its window comes to the front.
    virtual void Target(const std::string& name) = 0;
    // Windows inside the host window, at any depth.
    virtual int WindowsIn(const std::string& name) = 0;
    // The editor window's place in its host window; false when there is no single editor.
    virtual bool EditorPlace(const std::string& name, int& x, int& y) = 0;
    // The editor window's title and its class (empty where the platform has none).
    virtual std::string EditorTitle(const std::string& name) = 0;
    virtual std::string EditorClass(const std::string& name) = 0;
    // The editor's child windows.
    virtual std::vector<Area> EditorChildAreas(const std::string& name) = 0;
    // Maps a window over the host window for a moment and takes it away again.
    virtual bool Cover(const std::string& name) = 0;
    // The titles of the popups on the screen (menus, choosers), "" for one without a title.
    virtual std::vector<std::string> Popups() = 0;

    // ---- input to the target's editor ----
    // A click, with the control key held when control; what follows it (a value prompt that
    // opens) has had its time when this returns.
    virtual void Click(MouseButton button, bool control, int x, int y) = 0;
    // A click that opens a popup menu, which then gets the plan.
    virtual MenuOutcome ClickIntoMenu(MouseButton button, bool control, int x, int y,
                                      const MenuPlan& plan) = 0;
    // Whether the driver can read a popup menu's items (needed by a plan's choice).
    virtual bool ReadsMenuItems() const = 0;
    virtual void DoubleClick(int x, int y) = 0;
    // The left button pressed, the pointer moved (with the button held while it is) and the
    // button let go; a release when the editor is gone goes wherever the platform sends it.
    virtual void Press(int x, int y) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void Release(int x, int y) = 0;
    virtual void Wheel(int x, int y, int notches) = 0;
    // Types text into whatever has the keyboard; answers the characters it cannot type.
    virtual std::string Type(const std::string& text) = 0;
    // One key to whatever has the keyboard; false for a key the platform has not.
    virtual bool Key(const ScriptKey& key) = 0;

    // ---- the screen ----
    // A PNG of the host window's client area, or of the whole screen.
    virtual bool CaptureHostWindow(const std::string& name, const std::string& png) = 0;
    virtual bool CaptureScreen(const std::string& png) = 0;
    virtual Counts TakeCounts() = 0;
    // Whether the font the platform gives for face comes from a file of family; nothing where
    // the platform cannot tell.
    virtual std::optional<bool> FontFamilyIs(const std::string& face,
                                             const std::string& family) = 0;
};

} // namespace edithost
