// The window system on X11: the editor is a child window of the host's window (the X window id
// the host hands to effEditOpen), on a display connection of our own that lives while the
// editor is open. The host gives the editor time through effEditIdle on its user-interface
// thread: there the events of our connection are handled, without waiting, and the frame timer
// runs from a monotonic clock (FrameClock.h), whatever the rate of those calls. The first frame
// is painted as the window opens, and every picture also becomes the window's background
// (X11PictureWindow.h), so a host that never calls idle still sees the editor, and an
// uncovered editor is repainted by the server alone.
//
// The value prompt's entry box is a child window drawn by us (X11EntryBox.h); menus, the file
// chooser and questions are popups drawn by us (X11Popups.h). Native events become
// WindowEvents for the editor's window layer (its event sink), which holds all the logic. Every
// resource has an owner (X11Handles.h), and an error trap is held around every call that reaches
// the server.

#include "FrameClock.h"
#include "IMouseKeys.h"
#include "IPopupMenu.h"
#include "ITextStyle.h"
#include "IWindowEventSink.h"
#include "LICE_IBitmap.h"
#include "LICE_MemBitmap.h"
#include "WindowEvent.h"
#include "WindowSystem.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "ThreadRole.h"
#include "X11EntryBox.h"
#include "X11Handles.h"
#include "X11PictureWindow.h"
#include "X11Popups.h"

#include <X11/cursorfont.h>
#include <X11/keysym.h>

extern char** environ;

namespace
{

using namespace orx::x11;

constexpr long kEditorEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | KeyPressMask | LeaveWindowMask |
                               FocusChangeMask | StructureNotifyMask;

IMouseKeys KeysOf(unsigned state) noexcept
{
    IMouseKeys keys;
    keys.mL = (state & Button1Mask) != 0;
    keys.mR = (state & Button3Mask) != 0;
    keys.mS = (state & ShiftMask) != 0;
    keys.mC = (state & ControlMask) != 0;
    keys.mA = (state & Mod1Mask) != 0;
    return keys;
}

class X11WindowSystem final : public WindowSystem, private PopupHost
{
public:
    explicit X11WindowSystem(IWindowEventSink& sink) : mSink(sink) {}
    ~X11WindowSystem() override { ReleaseAll(); }

    bool CreateEditorWindow(void* parent, const IRect& rect) noexcept override;
    void DestroyEditorWindow() noexcept override;
    void* EditorWindow() const noexcept override
    {
        return mEditor && !mLost ? reinterpret_cast<void*>(mEditor.Id()) : nullptr;
    }
    IRect EditorWindowRect() const noexcept override { return mRect; }
    void GrowEditorWindow(int dw, int dh) noexcept override;
    void FocusEditorWindow() noexcept override { SetFocus(mEditor.Id()); }

    void StartFrameTimer(int periodMs) noexcept override;
    void StopFrameTimer() noexcept override { mClock.Stop(); }

    void CapturePointer() noexcept override { mCaptured = true; }
    void ReleasePointer() noexcept override { mCaptured = false; }
    bool PointerCaptured() const noexcept override { return mCaptured; }
    void TrackPointerLeave() noexcept override { mTrackLeave = true; }

    void Invalidate(const IRect& rect) noexcept override { mInvalid = mInvalid.Union(rect); }
    void UpdateNow() noexcept override;
    bool Present(const LICE_IBitmap& surface, const IRect& rect) noexcept override;

    int ShowPopupMenu(const IPopupMenu& menu) noexcept override;

    bool CreateEntryBox(const IRect& rect, const std::string& text,
                        int fontHeight) noexcept override;
    void DestroyEntryBox() noexcept override;
    std::string EntryText(int maxLength) const noexcept override;
    void SetEntryText(const std::string& text) noexcept override;

    bool ChooseFile(std::string& path, bool save, const std::string& folder) noexcept override;
    // No colour chooser here; nothing of ours asks for one.
    bool ChooseColour(IColorARGB&, const std::string&) noexcept override { return false; }
    bool AskYesNo(const std::string& caption, const std::string& text) noexcept override;
    void ShowMessage(const std::string& caption, const std::string& text) noexcept override;
    bool OpenUrl(const std::string& url) noexcept override;

    // Always: hosts read the has-editor flag once, when they make the instance, often in a
    // scanner process run without a display, and cache it for good. Whether a display can be
    // reached is found out when the editor opens; effEditOpen answers 0 where none can.
    bool ShowsOnScreen() const noexcept override { return true; }
    void Idle() noexcept override;

    std::string HostProgramPath() const noexcept override;
    std::string ModulePath(void* module) const noexcept override;

private:
    Display* D() const noexcept { return mConnection.get(); }
    // PopupHost
    Display* PopupDisplay() const noexcept override { return D(); }
    int TickIfDue() noexcept override;
    void ForeignEvent(XEvent& e) noexcept override { HandleXEvent(e); }
    bool EditorGone() const noexcept override { return mLost || !mEditor; }

    void HandleXEvent(XEvent& e) noexcept;
    void EditorButton(const XButtonEvent& b, bool press) noexcept;
    void Send(WindowEvent::EKind kind) noexcept
    {
        WindowEvent e;
        e.mKind = kind;
        mSink.HandleEvent(e);
    }
    // The keyboard focus to w (ours), and what the editor hears of it: the entry box gaining
    // or losing it. The server's own notices only confirm what we did, or tell of a change
    // made by others.
    void SetFocus(Window w) noexcept;
    void FocusMoved(Window w) noexcept;
    // Closes and releases everything; the connection last.
    void ReleaseAll() noexcept;
    IRect EditorOnScreen() noexcept;
    void AfterPopup(const PopupEnd& end) noexcept;

    IWindowEventSink& mSink;
    DisplayConnection mConnection;
    PictureWindow mEditor;
    OwnedCursor mArrow;
    IRect mRect;
    FrameClock mClock;
    IRect mInvalid;
    bool mCaptured = false;
    bool mTrackLeave = false;
    bool mLost = false; // the host destroyed our window with its own
    int mBusy = 0;      // inside Idle: releasing must wait until it returns
    bool mReleaseWhenIdle = false;
    unsigned mSwallowButton = 0;
    ClickCounter mClicks;
    Window mFocus = 0;

    EntryBox mEntry;
};

bool X11WindowSystem::CreateEditorWindow(void* parent, const IRect& rect) noexcept
{
    if (!parent || mEditor)
        return false;
    if (!mConnection && !mConnection.Open())
        return false;
    mLost = false;
    bool made = false;
    {
        X11ErrorTrap trap(D());
        mArrow = OwnedCursor(D(), XCreateFontCursor(D(), XC_left_ptr));
        const auto host = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
        made = mEditor.Create(D(), host, rect, kEditorEvents, false, mArrow.get());
        if (made)
            XStoreName(D(), mEditor.Id(), "IPlug");
        // A parent that is no window of the display shows here.
        made = trap.Errors() == 0 && made;
        if (!made)
        {
            mEditor.Destroy();
            mArrow.reset();
        }
        else
        {
            // Many hosts show their window only after the editor opened in it: until then the
            // focus cannot go there, which is no failure.
            X11ErrorTrap focusTrap(D());
            SetFocus(mEditor.Id());
        }
    }
    if (!made)
    {
        mConnection.Close();
        return false;
    }
    mRect = rect;
    mCaptured = mTrackLeave = false;
    mInvalid = {};
    return true;
}

void X11WindowSystem::DestroyEditorWindow() noexcept
{
    if (!mConnection)
        return;
    if (mBusy > 0)
    {
        // Called from inside an event of ours: the window goes when that is over.
        mReleaseWhenIdle = true;
        mLost = true;
        return;
    }
    ReleaseAll();
}

void X11WindowSystem::ReleaseAll() noexcept
{
    if (mConnection)
    {
        X11ErrorTrap trap(D());
        mClock.Stop();
        // A window the host destroyed took our windows with it: they are only forgotten.
        if (mLost)
        {
            mEntry.Forget();
            mEditor.Forget();
        }
        else
        {
            mEntry.Destroy();
            mEditor.Destroy();
        }
        mArrow.reset();
    }
    mConnection.Close();
    mFocus = 0;
    mLost = false;
    mReleaseWhenIdle = false;
    mCaptured = false;
}

void X11WindowSystem::GrowEditorWindow(int dw, int dh) noexcept
{
    // The host's window is the host's: it hears of a new size by other means.
    if (!mEditor)
        return;
    X11ErrorTrap trap(D());
    mRect.mR += dw;
    mRect.mB += dh;
    mEditor.Resize(mRect.W(), mRect.H());
    Invalidate(IRect(0, 0, mRect.W(), mRect.H()));
}

void X11WindowSystem::StartFrameTimer(int periodMs) noexcept
{
    mClock.Start(periodMs, FrameClock::Clock::now());
    // The first frame at once: painted before any idle time, the editor shows even in a host
    // that never gives it any.
    if (mEditor && !mBusy)
    {
        X11ErrorTrap trap(D());
        TickIfDue();
    }
}

int X11WindowSystem::TickIfDue() noexcept
{
    if (mEditor && !mLost && mClock.Due(FrameClock::Clock::now()))
        Send(WindowEvent::kTimer);
    return mClock.MsUntilDue(FrameClock::Clock::now());
}

void X11WindowSystem::UpdateNow() noexcept
{
    if (mInvalid.Empty())
        return;
    WindowEvent paint;
    paint.mKind = WindowEvent::kPaint;
    paint.mRect = mInvalid;
    mSink.HandleEvent(paint);
    mInvalid = {};
}

bool X11WindowSystem::Present(const LICE_IBitmap& surface, const IRect& rect) noexcept
{
    if (!mEditor || mLost)
        return false;
    X11ErrorTrap trap(D());
    mEditor.Put(surface, rect);
    return true;
}

void X11WindowSystem::Idle() noexcept
{
    if (!mEditor || mConnection.Dead())
        return;
    ++mBusy;
    {
        X11ErrorTrap trap(D());
        while (!mLost && !mConnection.Dead() && XPending(D()) > 0)
        {
            XEvent e;
            XNextEvent(D(), &e);
            HandleXEvent(e);
        }
        TickIfDue();
        XFlush(D());
    }
    --mBusy;
    if (mReleaseWhenIdle || mLost || mConnection.Dead())
        ReleaseAll();
}

void X11WindowSystem::HandleXEvent(XEvent& e) noexcept
{
    const Window w = e.xany.window;
    if (e.type == DestroyNotify && e.xdestroywindow.window == mEditor.Id())
    {
        // The host destroyed its window, ours with it, without closing the editor first.
        mLost = true;
        return;
    }
    const bool entry = mEntry && w == mEntry.Id();
    if (entry || (mEditor && w == mEditor.Id()))
    {
        // Focus moves between the editor and its entry box alike; the pointer's crossings and
        // grabs do not move it.
        if (e.type == FocusIn && e.xfocus.detail != NotifyPointer && e.xfocus.mode != NotifyGrab)
        {
            FocusMoved(w);
            return;
        }
        if (e.type == FocusOut && mFocus == w && e.xfocus.detail != NotifyPointer &&
            e.xfocus.detail != NotifyInferior && e.xfocus.mode != NotifyGrab)
        {
            FocusMoved(0);
            return;
        }
        if (e.type == FocusIn || e.type == FocusOut)
            return;
    }
    if (entry)
    {
        switch (e.type)
        {
        case KeyPress:
            switch (mEntry.Key(e.xkey))
            {
            case EntryBox::EKey::kCommit:
                Send(WindowEvent::kEntryCommit);
                break;
            case EntryBox::EKey::kCancel:
                Send(WindowEvent::kEntryCancel);
                break;
            default:
                break;
            }
            return;
        case ButtonPress:
            if (e.xbutton.button == Button1)
            {
                SetFocus(mEntry.Id());
                mEntry.Click(e.xbutton.x);
            }
            return;
        default:
            return;
        }
    }
    if (!mEditor || w != mEditor.Id())
        return;
    switch (e.type)
    {
    case MotionNotify:
    {
        // Only the latest of a run of moves matters.
        while (XEventsQueued(D(), QueuedAlready) > 0)
        {
            XEvent next;
            XPeekEvent(D(), &next);
            if (next.type != MotionNotify || next.xmotion.window != w)
                break;
            XNextEvent(D(), &e);
        }
        WindowEvent m;
        m.mKind = WindowEvent::kMouseMove;
        m.mX = e.xmotion.x;
        m.mY = e.xmotion.y;
        m.mKeys = KeysOf(e.xmotion.state);
        mSink.HandleEvent(m);
        return;
    }
    case ButtonPress:
    case ButtonRelease:
        EditorButton(e.xbutton, e.type == ButtonPress);
        return;
    case KeyPress:
    {
        const int vk = VirtualKeyOf(XLookupKeysym(&e.xkey, 0));
        if (!vk)
            return;
        WindowEvent k;
        k.mKind = WindowEvent::kKeyDown;
        k.mX = e.xkey.x;
        k.mY = e.xkey.y;
        k.mVirtualKey = vk;
        k.mKeys.mC = (e.xkey.state & ControlMask) != 0;
        k.mKeys.mS = (e.xkey.state & ShiftMask) != 0;
        k.mKeys.mA = (e.xkey.state & Mod1Mask) != 0;
        mSink.HandleEvent(k);
        return;
    }
    case LeaveNotify:
        if (mTrackLeave && e.xcrossing.mode == NotifyNormal)
        {
            mTrackLeave = false;
            Send(WindowEvent::kMouseLeave);
        }
        return;
    default:
        // Exposure needs nothing: the server paints from the window's background.
        return;
    }
}

void X11WindowSystem::EditorButton(const XButtonEvent& b, bool press) noexcept
{
    if (b.button == Button4 || b.button == Button5)
    {
        if (!press)
            return;
        WindowEvent w;
        w.mKind = WindowEvent::kWheel;
        w.mX = b.x;
        w.mY = b.y;
        w.mKeys = KeysOf(b.state);
        w.mNotches = b.button == Button4 ? 1 : -1;
        mSink.HandleEvent(w);
        return;
    }
    if (b.button != Button1 && b.button != Button3)
        return;
    const bool right = b.button == Button3;
    if (!press && mSwallowButton == b.button)
    {
        mSwallowButton = 0; // the release of a press that closed a popup from outside
        return;
    }
    WindowEvent m;
    m.mX = b.x;
    m.mY = b.y;
    m.mRightButton = right;
    // The state is from before the event: a press adds its button, a release takes it away.
    unsigned state = b.state;
    const unsigned mask = right ? Button3Mask : Button1Mask;
    state = press ? (state | mask) : (state & ~mask);
    m.mKeys = KeysOf(state);
    if (press)
    {
        Send(WindowEvent::kActivate);
        if (!mEditor || mLost)
            return;
        const bool dbl = !right && mClicks.Press(b.time, b.x, b.y);
        m.mKind = dbl ? WindowEvent::kDoubleClick : WindowEvent::kMouseDown;
    }
    else
    {
        m.mKind = WindowEvent::kMouseUp;
    }
    mSink.HandleEvent(m);
}

void X11WindowSystem::SetFocus(Window w) noexcept
{
    if (!w || !D())
        return;
    XSetInputFocus(D(), w, RevertToParent, CurrentTime);
    FocusMoved(w);
}

void X11WindowSystem::FocusMoved(Window w) noexcept
{
    const bool entryHad = mEntry && mFocus == mEntry.Id();
    mFocus = w;
    const bool entryHas = mEntry && w == mEntry.Id();
    if (entryHad && !entryHas)
        Send(WindowEvent::kEntryBlur);
    else if (!entryHad && entryHas)
        Send(WindowEvent::kEntryFocus);
    if (mEntry)
        mEntry.Draw(entryHas);
}

// ---- the entry box ----

bool X11WindowSystem::CreateEntryBox(const IRect& rect, const std::string& text,
                                     int fontHeight) noexcept
{
    if (!mEditor || mEntry)
        return false;
    X11ErrorTrap trap(D());
    if (!mEntry.Create(D(), mEditor.Id(), rect, text, fontHeight))
        return false;
    SetFocus(mEntry.Id());
    return true;
}

void X11WindowSystem::DestroyEntryBox() noexcept
{
    if (!mEntry)
        return;
    X11ErrorTrap trap(D());
    const bool hadFocus = mFocus == mEntry.Id();
    mEntry.Destroy();
    // The keys go back to the editor rather than nowhere.
    if (hadFocus && mEditor && !mLost)
        SetFocus(mEditor.Id());
}

std::string X11WindowSystem::EntryText(int maxLength) const noexcept
{
    if (!mEntry || maxLength <= 0)
        return {};
    return mEntry.Text().substr(0, static_cast<std::size_t>(maxLength));
}

void X11WindowSystem::SetEntryText(const std::string& text) noexcept
{
    if (!mEntry)
        return;
    X11ErrorTrap trap(D());
    mEntry.SetText(text);
}

// ---- popups ----

IRect X11WindowSystem::EditorOnScreen() noexcept
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(D(), mEditor.Id(), DefaultRootWindow(D()), 0, 0, &x, &y, &child);
    return IRect(x, y, x + mEditor.Width(), y + mEditor.Height());
}

void X11WindowSystem::AfterPopup(const PopupEnd& end) noexcept
{
    // The popup held the pointer: the editor's press is over as far as it knows.
    mCaptured = false;
    mSwallowButton = end.mSwallowButton;
}

int X11WindowSystem::ShowPopupMenu(const IPopupMenu& menu) noexcept
{
    if (!mEditor || mLost)
        return 0;
    X11ErrorTrap trap(D());
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(D(), DefaultRootWindow(D()), &root, &child, &x, &y, &wx, &wy, &mask);
    PopupEnd end;
    const int id = RunMenu(*this, menu, x, y, end);
    AfterPopup(end);
    return id;
}

bool X11WindowSystem::ChooseFile(std::string& path, bool save, const std::string& folder) noexcept
{
    if (!mEditor || mLost)
        return false;
    X11ErrorTrap trap(D());
    PopupEnd end;
    const bool chosen = RunFileChooser(*this, save, folder, EditorOnScreen(), path, end);
    AfterPopup(end);
    return chosen;
}

bool X11WindowSystem::AskYesNo(const std::string& caption, const std::string& text) noexcept
{
    if (!mEditor || mLost)
        return false;
    X11ErrorTrap trap(D());
    PopupEnd end;
    const bool yes = RunQuestion(*this, caption, text, true, EditorOnScreen(), end);
    AfterPopup(end);
    return yes;
}

void X11WindowSystem::ShowMessage(const std::string& caption, const std::string& text) noexcept
{
    if (!mEditor || mLost)
        return;
    X11ErrorTrap trap(D());
    PopupEnd end;
    RunQuestion(*this, caption, text, false, EditorOnScreen(), end);
    AfterPopup(end);
}

bool X11WindowSystem::OpenUrl(const std::string& url) noexcept
{
    // The desktop's opener, left running on its own: the shell returns at once and the opener
    // is nobody's child of ours to wait for.
    const char* script = "command -v xdg-open >/dev/null 2>&1 || exit 1; "
                         "xdg-open \"$1\" >/dev/null 2>&1 &";
    char sh[] = "/bin/sh", c[] = "-c", name[] = "orlantix-open-url";
    std::string copy = url;
    std::string command = script;
    char* argv[] = {sh, c, command.data(), name, copy.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string X11WindowSystem::HostProgramPath() const noexcept
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string X11WindowSystem::ModulePath(void*) const noexcept
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&CreateWindowSystem), &info) && info.dli_fname)
        return info.dli_fname;
    return {};
}

} // namespace

std::unique_ptr<WindowSystem> CreateWindowSystem(IWindowEventSink& sink, int) noexcept
{
    ORX_MAIN_THREAD();
    try
    {
        return std::make_unique<X11WindowSystem>(sink);
    }
    catch (...)
    {
        return nullptr;
    }
}
