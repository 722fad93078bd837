// orx-edithost-x11: a Linux VST 2 host for editor tests on an X server. It loads plug-in
// libraries (the same path twice gives two instances of one library), gives each a top-level
// window, opens its editor there through the effect record (the window's id as effEditOpen's
// pointer) and runs an input script (EditScript.h) against it: real input through the XTEST
// extension, parameter checks through the effect record, window captures, and counts of what
// the X server holds for every client and of what the process holds, to find leaks across
// closing and reopening.
//
//   orx-edithost-x11 --plugin NAME=PATH [--plugin NAME=PATH ...] --script FILE --out FOLDER
//
// Two threads, as in a real session: the host's user-interface thread owns the host windows
// and every call into the plug-ins, and gives each open editor idle time (effEditIdle) every
// few milliseconds; the user's thread runs the script with its own display connection, types
// and clicks through XTEST and looks at the screen. So input reaches a popup that holds the
// host's thread in its modal loop, as a user's does; what needs the host's thread waits for it.
//
// Script commands (coordinates in editor pixels; each input command waits a moment afterwards,
// so the editor's frames run):
//   window NAME | open NAME | close NAME     the host window; effEditOpen; effEditClose
//   destroy-window NAME             destroys NAME's host window with the editor in it, without
//                                   closing the editor first (as some hosts do)
//   target NAME                     the editor the input below goes to (its window raised)
//   pump MS                         waits MS milliseconds
//   idle-every MS | idle off        the host's idle interval (15 at first); no idle at all
//   click X Y | rclick X Y | dblclick X Y
//   drag X0 Y0 X1 Y1 STEPS          left button held along the line
//   press X Y | move X Y | release X Y
//                                   the left button pressed, moved with it held, released:
//                                   a drag in pieces, to close the editor in the middle of one
//   wheel X Y NOTCHES
//   menukeys KEY...                 keys for the next popup (down up left right return escape
//                                   space, letters, digits), typed once it shows
//   menushot FILE                   FILE.png of the screen as that popup shows
//   type TEXT | key KEY [N]         keys to whichever window has the keyboard (N times)
//   screen FILE                     FILE.png of the whole screen
//   expect-file PATH                PATH (in the output folder) exists
//   expect NAME PARAM TEXT          the parameter's display text (effGetParamDisplay), waited
//                                   for up to 3 seconds
//   expect-edited NAME              the last input command (with the popup it opened, until
//                                   that closed) changed NAME's state chunk
//   expect-windows NAME N           windows inside NAME's host window, at any depth
//   expect-popups N                 popup (override-redirect) windows on the screen
//   expect-popup TITLE              a popup named TITLE ("Open", "Save As": the file chooser)
//                                   on the screen, waited for up to 3 seconds; any other is
//                                   dismissed with Escape and the script stops there, since
//                                   what follows was written for TITLE (a wrong dialog would
//                                   hold the host's thread until the test's time-out)
//   expect-editor-at NAME X Y       the editor window's place in the host window
//   expect-title NAME TEXT          the editor window's name
//   cover NAME                      maps a window over NAME's host window and takes it away
//   counts LABEL                    records the X server's clients and their resources by
//                                   kind (X-Resource extension), all windows, and the
//                                   process's open files and shared-memory segments
//   same-counts LABEL LABEL         the two records must be equal
//   screenshot NAME FILE            FILE.png of the host window, FILE.state of the plug-in's
//                                   state chunk and FILE.areas with the editor's child windows
//   same-picture FILE FILE          two screenshots are equal
// Every check prints "ok:" or "FAIL:"; the last line is "N passed, M failed" and the exit
// status is 1 when a check failed.
//
// Throughout, every plug-in's calls to the host are checked (HostCallWatch.h): edit gestures
// that pair up, no call on the host's thread while the plug-in holds its instance lock (the
// plug-in's opening included), and an update-display after every input command that changed
// the state chunk (read once no popup holds the host's thread: a chooser's commands count as
// one edit). What they find fails the run as "FAIL:" lines at the command that caused it.

#include "EditScript.h"
#include "HostCallWatch.h"
#include "LICE_MemBitmap.h"
#include "LICE_PngRead.h"
#include "LICE_PngWrite.h"
#include "VstHost.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace
{

constexpr int kSettleMs = 150; // more than three frames at 24 per second

std::mutex gPrint;
int gPassed = 0;
int gFailed = 0;

void Check(bool ok, int line, const std::string& what)
{
    std::lock_guard<std::mutex> lock(gPrint);
    std::printf("%s: line %d: %s\n", ok ? "ok" : "FAIL", line, what.c_str());
    std::fflush(stdout);
    (ok ? gPassed : gFailed) += 1;
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// One plug-in instance with its host window.
struct Slot
{
    std::string mName;
    orxhost::VstHost mHost;
    Window mWindow = 0;
    int mX = 0;
    std::atomic<bool> mOpen{false};
    std::unique_ptr<edithost::HostCallWatch> mWatch;
};

std::map<std::string, std::unique_ptr<Slot>> gSlots;

bool IsInput(const std::string& name)
{
    return name == "click" || name == "rclick" || name == "dblclick" || name == "drag" ||
           name == "wheel" || name == "type" || name == "key" || name == "press" ||
           name == "move" || name == "release";
}

// The findings of every plug-in's host calls so far, as failed checks.
void ReportHostCalls()
{
    for (auto& [name, slot] : gSlots)
        if (slot->mWatch)
            for (const edithost::CheckerFinding& f : slot->mWatch->Checker().TakeFindings())
                Check(false, f.mLine, f.mText);
}

// ---- the host's user-interface thread ----

class HostThread
{
public:
    explicit HostThread(Display* display) : mpDisplay(display) {}

    // Runs fn on this thread between idle calls and waits for it; false when the thread did
    // not get to it in time (held by a popup), and then it never runs.
    bool Call(const std::function<void()>& fn, int timeoutMs = 10000)
    {
        auto request = std::make_shared<Request>();
        request->mFn = fn;
        std::unique_lock<std::mutex> lock(mMutex);
        mRequests.push_back(request);
        if (mChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return request->mState == Request::kDone; }))
            return true;
        if (request->mState == Request::kPending)
        {
            request->mState = Request::kCancelled;
            return false;
        }
        mChanged.wait(lock, [&] { return request->mState == Request::kDone; });
        return true;
    }

    void SetIdleMs(int ms) { mIdleMs.store(ms); }
    Display* HostDisplay() const noexcept { return mpDisplay; }

    void Run(const std::atomic<bool>& finished)
    {
        while (!finished.load())
        {
            while (XPending(mpDisplay) > 0)
            {
                XEvent e;
                XNextEvent(mpDisplay, &e); // the host windows need nothing
            }
            const int idle = mIdleMs.load();
            if (idle > 0)
                for (auto& [name, slot] : gSlots)
                    if (slot->mOpen)
                        slot->mHost.EditorIdle();
            RunRequests();
            Sleep(idle > 0 ? idle : 15);
        }
        RunRequests();
    }

private:
    struct Request
    {
        enum EState
        {
            kPending,
            kRunning,
            kDone,
            kCancelled,
        };
        std::function<void()> mFn;
        EState mState = kPending;
    };

    void RunRequests()
    {
        for (;;)
        {
            std::shared_ptr<Request> r;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                if (mRequests.empty())
                    return;
                r = mRequests.front();
                mRequests.pop_front();
                if (r->mState == Request::kCancelled)
                    continue;
                r->mState = Request::kRunning;
            }
            r->mFn();
            std::lock_guard<std::mutex> lock(mMutex);
            r->mState = Request::kDone;
            mChanged.notify_all();
        }
    }

    Display* mpDisplay;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<std::shared_ptr<Request>> mRequests;
    std::atomic<int> mIdleMs{15};
};

// ---- what the user's thread sees of the screen ----

std::vector<Window> Children(Display* d, Window w)
{
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &kids, &n))
    {
        out.assign(kids, kids + n);
        if (kids)
            XFree(kids);
    }
    return out;
}

int Descendants(Display* d, Window w)
{
    int n = 0;
    for (Window c : Children(d, w))
        n += 1 + Descendants(d, c);
    return n;
}

// Popups: mapped override-redirect windows on the root (the host makes none).
std::vector<Window> Popups(Display* d)
{
    std::vector<Window> out;
    for (Window w : Children(d, DefaultRootWindow(d)))
    {
        XWindowAttributes a{};
        if (XGetWindowAttributes(d, w, &a) && a.override_redirect && a.map_state == IsViewable)
            out.push_back(w);
    }
    return out;
}

// The names of the popups on the screen, joined by " | " (a popup without a name counts as "").
std::string PopupNames(Display* d)
{
    std::string names;
    for (Window w : Popups(d))
    {
        char* name = nullptr;
        if (!names.empty())
            names += " | ";
        if (XFetchName(d, w, &name) && name)
        {
            names += name;
            XFree(name);
        }
    }
    return names;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 20)
    {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

bool Capture(Display* d, Window w, int x, int y, int width, int height, const std::string& png)
{
    XImage* image = XGetImage(d, w, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    LICE_MemBitmap shot(width, height);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
        {
            const unsigned long p = XGetPixel(image, col, row);
            auto channel = [p](unsigned long mask)
            {
                int shift = 0;
                while (mask && !(mask & 1))
                {
                    mask >>= 1;
                    ++shift;
                }
                return static_cast<unsigned>((p >> shift) & 0xFF);
            };
            shot.getBits()[row * shot.getRowSpan() + col] =
                0xFF000000u | channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
                channel(image->blue_mask);
        }
    XDestroyImage(image);
    return LICE::WritePngFile(png.c_str(), shot, false);
}

// What `counts` records.
using Counts = std::map<std::string, long>;

long OpenFiles()
{
    long n = 0;
    if (DIR* dir = opendir("/proc/self/fd"))
    {
        while (readdir(dir))
            ++n;
        closedir(dir);
    }
    return n - 3; // ".", ".." and the listing itself
}

long SharedSegments()
{
    std::ifstream in("/proc/sysvipc/shm");
    std::string line;
    std::getline(in, line); // the heading
    long n = 0;
    const long pid = getpid();
    while (std::getline(in, line))
    {
        std::istringstream f(line);
        long key = 0, id = 0, perms = 0, size = 0, cpid = 0;
        if (f >> key >> id >> perms >> size >> cpid && cpid == pid)
            ++n;
    }
    return n;
}

Counts TakeCounts(Display* d)
{
    Counts c;
    int clients = 0;
    XResClient* list = nullptr;
    if (XResQueryClients(d, &clients, &list))
    {
        c["X clients"] = clients;
        for (int i = 0; i < clients; ++i)
        {
            int kinds = 0;
            XResType* types = nullptr;
            if (!XResQueryClientResources(d, list[i].resource_base, &kinds, &types))
                continue;
            for (int k = 0; k < kinds; ++k)
                if (char* name = XGetAtomName(d, types[k].resource_type))
                {
                    c[std::string("X ") + name] += types[k].count;
                    XFree(name);
                }
            XFree(types);
        }
        XFree(list);
    }
    c["windows on the screen"] = Descendants(d, DefaultRootWindow(d));
    c["open files"] = OpenFiles();
    c["shared-memory segments"] = SharedSegments();
    return c;
}

std::string Describe(const Counts& c)
{
    std::string s;
    for (const auto& [k, v] : c)
        s += (s.empty() ? "" : ", ") + k + " " + std::to_string(v);
    return s;
}

bool KeysymOf(const std::string& name, KeySym& key)
{
    static const std::map<std::string, KeySym> named = {{"down", XK_Down},
                                                        {"up", XK_Up},
                                                        {"left", XK_Left},
                                                        {"right", XK_Right},
                                                        {"return", XK_Return},
                                                        {"escape", XK_Escape},
                                                        {"space", XK_space},
                                                        {"backspace", XK_BackSpace},
                                                        {"home", XK_Home},
                                                        {"end", XK_End},
                                                        {"pagedown", XK_Page_Down},
                                                        {"pageup", XK_Page_Up},
                                                        {"delete", XK_Delete},
                                                        {".", XK_period},
                                                        {"-", XK_minus},
                                                        {"_", XK_underscore},
                                                        {"/", XK_slash},
                                                        {",", XK_comma}};
    if (const auto it = named.find(name); it != named.end())
    {
        key = it->second;
        return true;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    {
        key = XStringToKeysym(name.c_str());
        return key != NoSymbol;
    }
    return false;
}

// ---- the user's thread ----

class User
{
public:
    User(Display* d, HostThread& host, std::string out) : mpD(d), mHost(host), mOut(std::move(out))
    {
    }

    void Run(const std::vector<edithost::Command>& commands)
    {
        for (const edithost::Command& c : commands)
        {
            for (auto& [name, slot] : gSlots)
                slot->mWatch->Checker().SetLine(c.mLine);
            if (IsInput(c.mName) && mpTarget && mpTarget->mOpen && !mpTarget->mWatch->EditOpen() &&
                Popups(mpD).empty())
            {
                std::vector<uint8_t> before;
                Slot* slot = mpTarget;
                if (mHost.Call([&] { before = slot->mHost.GetChunk(true); }, 30000))
                    slot->mWatch->BeginEdit(c.mLine, std::move(before));
            }
            Do(c);
            EndEdits();
            ReportHostCalls();
            if (mStopped)
            {
                std::lock_guard<std::mutex> lock(gPrint);
                std::printf("stopped: line %d: the rest of the script cannot run\n", c.mLine);
                return;
            }
        }
        EndEdits();
        for (auto& [name, slot] : gSlots)
            slot->mWatch->Checker().Finish();
    }

private:
    // Edits end once no popup holds the host's thread, so their chunk can be read.
    void EndEdits()
    {
        if (!Popups(mpD).empty())
            return;
        for (auto& [name, slot] : gSlots)
        {
            if (!slot->mWatch->EditOpen())
                continue;
            std::vector<uint8_t> after;
            Slot* s = slot.get();
            if (mHost.Call([&] { after = s->mHost.GetChunk(true); }, 30000))
                s->mWatch->EndEdit(after, [](int ms) { Sleep(ms); });
        }
    }
    // The editor point (x, y) of the target on the screen.
    bool ToScreen(int x, int y, int& sx, int& sy)
    {
        if (!mpTarget || !mpTarget->mWindow)
            return false;
        Window child = 0;
        return XTranslateCoordinates(mpD, mpTarget->mWindow, DefaultRootWindow(mpD), x, y, &sx, &sy,
                                     &child);
    }
    void MoveTo(int x, int y)
    {
        int sx = 0, sy = 0;
        if (ToScreen(x, y, sx, sy))
            XTestFakeMotionEvent(mpD, -1, sx, sy, 0);
        XFlush(mpD);
        Sleep(10);
    }
    void Button(unsigned button, bool press)
    {
        XTestFakeButtonEvent(mpD, button, press, 0);
        XFlush(mpD);
        Sleep(10);
    }
    bool PressKey(KeySym key)
    {
        const KeyCode code = XKeysymToKeycode(mpD, key);
        if (!code)
            return false;
        int per = 0;
        KeySym* map = XGetKeyboardMapping(mpD, code, 1, &per);
        const bool shift = map && per > 1 && map[0] != key && map[1] == key;
        if (map)
            XFree(map);
        const KeyCode shiftCode = XKeysymToKeycode(mpD, XK_Shift_L);
        if (shift)
            XTestFakeKeyEvent(mpD, shiftCode, True, 0);
        XTestFakeKeyEvent(mpD, code, True, 0);
        XTestFakeKeyEvent(mpD, code, False, 0);
        if (shift)
            XTestFakeKeyEvent(mpD, shiftCode, False, 0);
        XFlush(mpD);
        Sleep(25);
        return true;
    }
    // After a press that may open a popup: the queued menu keys, once it shows.
    void MenuKeys(int line)
    {
        if (mMenuKeys.empty() && mMenuShot.empty())
            return;
        const bool shown = WaitFor([&] { return !Popups(mpD).empty(); }, 3000);
        Check(shown, line, "a popup shows");
        if (shown && !mMenuShot.empty())
        {
            Sleep(60);
            const int screen = DefaultScreen(mpD);
            Check(Capture(mpD, DefaultRootWindow(mpD), 0, 0, DisplayWidth(mpD, screen),
                          DisplayHeight(mpD, screen), mOut + "/" + mMenuShot + ".png"),
                  line, "screenshot " + mMenuShot + ".png of the popup");
        }
        for (KeySym k : mMenuKeys)
            if (shown)
                PressKey(k);
        mMenuKeys.clear();
        mMenuShot.clear();
    }
    Slot* Find(const std::string& name, int line)
    {
        const auto it = gSlots.find(name);
        if (it == gSlots.end())
        {
            Check(false, line, "no plug-in named " + name);
            return nullptr;
        }
        return it->second.get();
    }
    bool MakeWindow(Slot& slot, int line);
    void Do(const edithost::Command& c);

    Display* mpD;
    HostThread& mHost;
    std::string mOut;
    Slot* mpTarget = nullptr;
    bool mStopped = false; // a check failed that the rest of the script depends on
    std::vector<KeySym> mMenuKeys;
    std::string mMenuShot;
    std::map<std::string, Counts> mCounts;
};

bool User::MakeWindow(Slot& slot, int line)
{
    bool ok = false;
    mHost.Call(
        [&]
        {
            int w = 0, h = 0;
            Check(slot.mHost.HasEditor(), line, slot.mName + " has the has-editor flag");
            if (!slot.mHost.EditorSize(w, h))
            {
                Check(false, line, slot.mName + " gives its editor's size");
                return;
            }
            if (!slot.mWindow)
            {
                Display* host = mHost.HostDisplay();
                slot.mWindow = XCreateSimpleWindow(host, DefaultRootWindow(host), slot.mX, 0,
                                                   static_cast<unsigned>(w),
                                                   static_cast<unsigned>(h), 0, 0, 0xFFFFFF);
                XStoreName(host, slot.mWindow, slot.mName.c_str());
                XMapRaised(host, slot.mWindow);
                XSync(host, False);
            }
            ok = true;
        });
    WaitFor(
        [&]
        {
            XWindowAttributes a{};
            return XGetWindowAttributes(mpD, slot.mWindow, &a) && a.map_state == IsViewable;
        },
        2000);
    return ok;
}

void User::Do(const edithost::Command& c)
{
    const auto& a = c.mArgs;
    int x = 0, y = 0, x1 = 0, y1 = 0, n = 0;
    const bool input = c.mName == "click" || c.mName == "rclick" || c.mName == "dblclick" ||
                       c.mName == "drag" || c.mName == "wheel" || c.mName == "press" ||
                       c.mName == "move";
    if (input && (!mpTarget || !mpTarget->mOpen))
    {
        Check(false, c.mLine, c.mName + ": no open editor to send input to");
        return;
    }
    if ((c.mName == "window" || c.mName == "open") && a.size() == 1)
    {
        Slot* slot = Find(a[0], c.mLine);
        if (!slot || !MakeWindow(*slot, c.mLine) || c.mName == "window")
            return;
        mHost.Call(
            [&] { slot->mOpen = slot->mHost.OpenEditor(reinterpret_cast<void*>(slot->mWindow)); });
        Check(slot->mOpen, c.mLine, "effEditOpen opens " + a[0] + "'s editor");
        mpTarget = slot;
        Sleep(kSettleMs);
    }
    else if (c.mName == "close" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            bool closed = false;
            mHost.Call(
                [&]
                {
                    closed = slot->mHost.CloseEditor();
                    slot->mOpen = false;
                });
            Check(closed, c.mLine, "effEditClose closes " + a[0] + "'s editor");
            Sleep(kSettleMs);
            slot->mWatch->Checker().EditorClosed("effEditClose");
        }
    }
    else if (c.mName == "destroy-window" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            // From the user's connection: the server destroys it and everything in it.
            XDestroyWindow(mpD, slot->mWindow);
            XSync(mpD, False);
            slot->mWindow = 0;
            Sleep(kSettleMs);
            mHost.Call([&] { slot->mOpen = false; });
            slot->mWatch->Checker().EditorClosed("its window destroyed");
        }
    }
    else if (c.mName == "target" && a.size() == 1)
    {
        mpTarget = Find(a[0], c.mLine);
        if (mpTarget && mpTarget->mWindow)
        {
            XRaiseWindow(mpD, mpTarget->mWindow);
            XSync(mpD, False);
            Sleep(50);
        }
    }
    else if (c.mName == "pump" && c.Int(0, n))
    {
        Sleep(n);
    }
    else if (c.mName == "idle-every" && c.Int(0, n) && n > 0)
    {
        mHost.SetIdleMs(n);
    }
    else if (c.mName == "idle" && a.size() == 1 && a[0] == "off")
    {
        mHost.SetIdleMs(0);
    }
    else if ((c.mName == "click" || c.mName == "rclick") && c.Int(0, x) && c.Int(1, y))
    {
        const unsigned button = c.mName == "click" ? Button1 : Button3;
        MoveTo(x, y);
        Button(button, true);
        Button(button, false);
        MenuKeys(c.mLine);
        Sleep(kSettleMs);
    }
    else if (c.mName == "dblclick" && c.Int(0, x) && c.Int(1, y))
    {
        MoveTo(x, y);
        for (int i = 0; i < 2; ++i)
        {
            Button(Button1, true);
            Button(Button1, false);
        }
        Sleep(kSettleMs);
    }
    else if (c.mName == "drag" && c.Int(0, x) && c.Int(1, y) && c.Int(2, x1) && c.Int(3, y1) &&
             c.Int(4, n) && n > 0)
    {
        MoveTo(x, y);
        Button(Button1, true);
        for (int i = 1; i <= n; ++i)
        {
            MoveTo(x + (x1 - x) * i / n, y + (y1 - y) * i / n);
            Sleep(30);
        }
        Button(Button1, false);
        Sleep(kSettleMs);
    }
    else if ((c.mName == "press" || c.mName == "move" || c.mName == "release") && c.Int(0, x) &&
             c.Int(1, y))
    {
        MoveTo(x, y);
        if (c.mName != "move")
            Button(Button1, c.mName == "press");
        Sleep(kSettleMs);
    }
    else if (c.mName == "wheel" && c.Int(0, x) && c.Int(1, y) && c.Int(2, n))
    {
        MoveTo(x, y);
        for (int i = 0; i < std::abs(n); ++i)
        {
            Button(n > 0 ? Button4 : Button5, true);
            Button(n > 0 ? Button4 : Button5, false);
        }
        Sleep(kSettleMs);
    }
    else if (c.mName == "menukeys" && !a.empty())
    {
        for (const std::string& k : a)
        {
            KeySym key = 0;
            if (!KeysymOf(k, key))
            {
                Check(false, c.mLine, "unknown key " + k);
                return;
            }
            mMenuKeys.push_back(key);
        }
    }
    else if (c.mName == "menushot" && a.size() == 1)
    {
        mMenuShot = a[0];
    }
    else if (c.mName == "type" && a.size() == 1)
    {
        for (const char ch : a[0])
        {
            KeySym key = 0;
            if (!KeysymOf(std::string(1, ch), key) || !PressKey(key))
                Check(false, c.mLine, std::string("cannot type ") + ch);
        }
        Sleep(kSettleMs);
    }
    else if (c.mName == "key" && (a.size() == 1 || (a.size() == 2 && c.Int(1, n) && n > 0)))
    {
        KeySym key = 0;
        for (int i = 0; i < (a.size() == 2 ? n : 1); ++i)
            if (!KeysymOf(a[0], key) || !PressKey(key))
            {
                Check(false, c.mLine, "unknown key " + a[0]);
                break;
            }
        Sleep(kSettleMs);
    }
    else if (c.mName == "screen" && a.size() == 1)
    {
        const int screen = DefaultScreen(mpD);
        Check(Capture(mpD, DefaultRootWindow(mpD), 0, 0, DisplayWidth(mpD, screen),
                      DisplayHeight(mpD, screen), mOut + "/" + a[0] + ".png"),
              c.mLine, "screenshot " + a[0] + ".png of the screen");
    }
    else if (c.mName == "expect-file" && a.size() == 1)
    {
        const bool there =
            WaitFor([&] { return access((mOut + "/" + a[0]).c_str(), F_OK) == 0; }, 2000);
        Check(there, c.mLine, a[0] + " is there");
    }
    else if (c.mName == "expect" && a.size() == 3)
    {
        Slot* slot = Find(a[0], c.mLine);
        if (!slot)
            return;
        std::string shown = "(the host thread is held)";
        WaitFor(
            [&]
            {
                mHost.Call(
                    [&]
                    {
                        const int count = slot->mHost.Effect()->numParams;
                        shown = "(no such parameter)";
                        for (int i = 0; i < count; ++i)
                            if (slot->mHost.ParamName(i) == a[1])
                                shown = slot->mHost.ParamDisplay(i);
                    },
                    1000);
                return shown == a[2];
            },
            3000);
        Check(shown == a[2], c.mLine,
              a[0] + " " + a[1] + " shows '" + shown + "', expected '" + a[2] + "'");
    }
    else if (c.mName == "expect-edited" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
            Check(slot->mWatch->LastEditChanged(), c.mLine,
                  "the last input changed " + a[0] + "'s state chunk");
    }
    else if (c.mName == "expect-windows" && a.size() == 2 && c.Int(1, n))
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            const int have = slot->mWindow ? Descendants(mpD, slot->mWindow) : 0;
            Check(have == n, c.mLine,
                  a[0] + "'s host window holds " + std::to_string(have) + " windows, expected " +
                      std::to_string(n));
        }
    }
    else if (c.mName == "expect-popups" && c.Int(0, n))
    {
        WaitFor([&] { return static_cast<int>(Popups(mpD).size()) == n; }, 2000);
        const int have = static_cast<int>(Popups(mpD).size());
        Check(have == n, c.mLine,
              std::to_string(have) + " popups on the screen, expected " + std::to_string(n));
    }
    else if (c.mName == "expect-popup" && !a.empty())
    {
        std::string wanted;
        for (const std::string& word : a)
            wanted += (wanted.empty() ? "" : " ") + word;
        std::string names;
        const bool shown = WaitFor(
            [&]
            {
                names = PopupNames(mpD);
                return names == wanted;
            },
            3000);
        Check(shown, c.mLine, "the popup on the screen is '" + names + "'");
        if (!shown)
        {
            PressKey(XK_Escape);
            mStopped = true;
        }
    }
    else if (c.mName == "expect-editor-at" && a.size() == 3 && c.Int(1, x) && c.Int(2, y))
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            const std::vector<Window> kids =
                slot->mWindow ? Children(mpD, slot->mWindow) : std::vector<Window>();
            XWindowAttributes at{};
            const bool ok = kids.size() == 1 && XGetWindowAttributes(mpD, kids[0], &at);
            Check(ok && at.x == x && at.y == y, c.mLine,
                  a[0] + "'s editor is at " + std::to_string(at.x) + " " + std::to_string(at.y));
        }
    }
    else if (c.mName == "expect-title" && a.size() == 2)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            const std::vector<Window> kids = Children(mpD, slot->mWindow);
            char* name = nullptr;
            std::string title;
            if (!kids.empty() && XFetchName(mpD, kids[0], &name) && name)
            {
                title = name;
                XFree(name);
            }
            Check(title == a[1], c.mLine, "the editor window's name is '" + title + "'");
        }
    }
    else if (c.mName == "cover" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            XWindowAttributes at{};
            XGetWindowAttributes(mpD, slot->mWindow, &at);
            const Window cover = XCreateSimpleWindow(
                mpD, DefaultRootWindow(mpD), at.x, at.y, static_cast<unsigned>(at.width),
                static_cast<unsigned>(at.height), 0, 0, 0xFF00FF);
            XMapRaised(mpD, cover);
            XSync(mpD, False);
            Sleep(100);
            XDestroyWindow(mpD, cover);
            XSync(mpD, False);
            Sleep(100);
            Check(true, c.mLine, a[0] + "'s window covered and uncovered");
        }
    }
    else if (c.mName == "counts" && a.size() == 1)
    {
        mCounts[a[0]] = TakeCounts(mpD);
        std::lock_guard<std::mutex> lock(gPrint);
        std::printf("counts %s: %s\n", a[0].c_str(), Describe(mCounts[a[0]]).c_str());
    }
    else if (c.mName == "same-counts" && a.size() == 2)
    {
        const auto i = mCounts.find(a[0]), j = mCounts.find(a[1]);
        if (i == mCounts.end() || j == mCounts.end())
        {
            Check(false, c.mLine, "no counts recorded as " + a[0] + " or " + a[1]);
            return;
        }
        std::string differ;
        for (const auto& [k, v] : i->second)
            if (j->second.count(k) == 0 || j->second.at(k) != v)
                differ += " " + k;
        for (const auto& [k, v] : j->second)
            if (i->second.count(k) == 0)
                differ += " " + k;
        Check(differ.empty() && !i->second.empty(), c.mLine,
              "the server's and the process's counts equal at " + a[0] + " and " + a[1] +
                  (differ.empty() ? "" : "; they differ in" + differ));
    }
    else if (c.mName == "screenshot" && a.size() == 2)
    {
        Slot* slot = Find(a[0], c.mLine);
        if (!slot || !slot->mWindow)
            return;
        const std::string file = mOut + "/" + a[1];
        XWindowAttributes at{};
        XGetWindowAttributes(mpD, slot->mWindow, &at);
        bool ok = Capture(mpD, slot->mWindow, 0, 0, at.width, at.height, file + ".png");
        std::ofstream areas(file + ".areas");
        for (Window editor : Children(mpD, slot->mWindow))
            for (Window child : Children(mpD, editor))
            {
                XWindowAttributes ca{};
                XGetWindowAttributes(mpD, child, &ca);
                areas << ca.x << ' ' << ca.y << ' ' << ca.x + ca.width << ' ' << ca.y + ca.height
                      << '\n';
            }
        std::vector<uint8_t> state;
        ok = mHost.Call([&] { state = slot->mHost.GetChunk(true); }) && ok;
        std::ofstream out(file + ".state", std::ios::binary);
        out.write(reinterpret_cast<const char*>(state.data()),
                  static_cast<std::streamsize>(state.size()));
        Check(ok && !state.empty() && static_cast<bool>(out), c.mLine,
              "screenshot " + a[1] + ".png and its state written");
    }
    else if (c.mName == "same-picture" && a.size() == 2)
    {
        const auto p = LICE::LoadPngFile((mOut + "/" + a[0] + ".png").c_str(), true);
        const auto q = LICE::LoadPngFile((mOut + "/" + a[1] + ".png").c_str(), true);
        long differing = -1;
        if (p && q && p->getWidth() == q->getWidth() && p->getHeight() == q->getHeight())
        {
            differing = 0;
            for (int row = 0; row < p->getHeight(); ++row)
                for (int col = 0; col < p->getWidth(); ++col)
                    differing += (p->getBits()[row * p->getRowSpan() + col] & 0xFFFFFF) !=
                                 (q->getBits()[row * q->getRowSpan() + col] & 0xFFFFFF);
        }
        Check(differing == 0, c.mLine,
              a[0] + " and " + a[1] + " are the same picture (" + std::to_string(differing) +
                  " pixels differ)");
    }
    else
    {
        Check(false, c.mLine, "cannot read the command '" + c.mName + "'");
    }
}

// A fresh instance of each library shows first whether the lock probe can see its instance
// lock at all; where it cannot, the checks of calls under the lock would never fail.
void CalibrateProbes(const std::vector<std::pair<std::string, std::string>>& plugins)
{
    std::map<std::string, std::string> libraries; // path -> a plug-in's name
    for (const auto& [name, path] : plugins)
        libraries.emplace(path, name);
    for (const auto& [path, name] : libraries)
    {
        const edithost::CalibrationReport report =
            edithost::DescribeCalibration(edithost::CalibrateLockProbe(path), name);
        if (report.mIsCheck)
            Check(report.mOk, 0, report.mText);
        else
            std::printf("note: %s\n", report.mText.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    edithost::Invocation run;
    if (!edithost::ReadInvocation(argc, argv, "orx-edithost-x11", run))
        return 2;
    const std::string& outFolder = run.mOut;
    Display* host = XOpenDisplay(nullptr);
    Display* user = XOpenDisplay(nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!host || !user || !XTestQueryExtension(user, &event, &error, &major, &minor) ||
        !XResQueryExtension(user, &event, &error))
    {
        std::printf("FAIL: no X display with the XTEST and X-Resource extensions at DISPLAY\n"
                    "0 passed, 1 failed\n");
        return 1;
    }

    // The keyboard's description, which Xlib fetches once per connection, fetched now: the
    // user's first key would otherwise add it to the server's counts in the middle of a run.
    XKeysymToKeycode(user, XK_Return);
    XSync(user, False);

    int offset = 0;
    for (const auto& [name, path] : run.mPlugins)
    {
        auto slot = std::make_unique<Slot>();
        slot->mName = name;
        slot->mX = offset;
        offset = offset == 0 ? 760 : 0; // side by side, two at a time
        if (!slot->mHost.Load(path))
        {
            std::printf("FAIL: %s: %s\n0 passed, 1 failed\n", name.c_str(),
                        slot->mHost.Error().c_str());
            return 1;
        }
        slot->mWatch = std::make_unique<edithost::HostCallWatch>(slot->mHost, name);
        slot->mHost.Start();
        gSlots[name] = std::move(slot);
    }
    ReportHostCalls();
    CalibrateProbes(run.mPlugins);

    HostThread hostThread(host);
    std::atomic<bool> finished{false};
    std::thread userThread(
        [&]
        {
            User(user, hostThread, outFolder).Run(edithost::ReadScript(run.mScriptText));
            finished.store(true);
        });
    hostThread.Run(finished);
    userThread.join();

    for (auto& [name, slot] : gSlots)
    {
        if (slot->mOpen)
            slot->mHost.CloseEditor();
        slot->mWatch->Checker().EditorClosed("by the host at the end");
    }
    ReportHostCalls();
    for (auto& [name, slot] : gSlots)
    {
        std::printf("note: %s made %d host calls, %d of them on the host's thread, each "
                    "checked for the instance lock\n",
                    name.c_str(), slot->mWatch->Checker().Calls(),
                    slot->mWatch->Checker().Probed());
        slot->mWatch.reset();
        slot->mHost.Close();
        if (slot->mWindow)
            XDestroyWindow(host, slot->mWindow);
    }
    gSlots.clear();
    XCloseDisplay(user);
    XCloseDisplay(host);
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 && gPassed > 0 ? 0 : 1;
}
