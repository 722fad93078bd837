// orx-edithost-x11: the Linux editor test host on an X server. It loads plug-in libraries (the
// same path twice gives two instances of one library), gives each a top-level window, opens
// its editor there through the effect record (the window's id as effEditOpen's pointer) and
// runs an input script against it (ScriptRunner.h lists the commands): real input through the
// XTEST extension, window captures, and counts of what the X server holds for every client and
// of what the process holds, to find leaks across closing and reopening.
//
//   orx-edithost-x11 --plugin NAME=PATH [--plugin NAME=PATH ...] --script FILE --out FOLDER
//
// Two threads, as in a real session: the host's user-interface thread owns the host windows
// and every call into the plug-ins, and gives each open editor idle time (effEditIdle) every
// few milliseconds; the user's thread runs the script with its own display connection, types
// and clicks through XTEST and looks at the screen. So input reaches a popup that holds the
// host's thread in its modal loop, as a user's does; what needs the host's thread waits for it.
// The popups of the X11 window layer draw their items themselves, so a script chooses in a
// menu by its keys (menukeys), not by an item's text.

#include "InputDriver.h"
#include "LICE_MemBitmap.h"
#include "LICE_PngWrite.h"
#include "ScriptReport.h"
#include "ScriptRunner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <dirent.h>
#include <fstream>
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

using edithost::ScriptKey;

constexpr int kSettleMs = 150; // more than three frames at 24 per second

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
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

// ---- the host's user-interface thread ----

class HostThread
{
public:
    explicit HostThread(Display* display) : mpDisplay(display) {}

    // Runs fn on this thread between idle calls and waits for it; false when the thread did
    // not get to it in time (held by a popup), and then it never runs.
    bool Call(const std::function<void()>& fn, int timeoutMs)
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

    void Run(const std::atomic<bool>& finished, const std::function<void()>& idle)
    {
        while (!finished.load())
        {
            while (XPending(mpDisplay) > 0)
            {
                XEvent e;
                XNextEvent(mpDisplay, &e); // the host windows need nothing
            }
            const int every = mIdleMs.load();
            if (every > 0)
                idle();
            RunRequests();
            Sleep(every > 0 ? every : 15);
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
    if (w && XQueryTree(d, w, &root, &parent, &kids, &n))
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
std::vector<Window> PopupWindows(Display* d)
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

std::string NameOf(Display* d, Window w)
{
    char* name = nullptr;
    std::string text;
    if (w && XFetchName(d, w, &name) && name)
    {
        text = name;
        XFree(name);
    }
    return text;
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

KeySym KeysymOf(const ScriptKey& key)
{
    static const std::map<ScriptKey::Named, KeySym> named = {
        {ScriptKey::kDown, XK_Down},          {ScriptKey::kUp, XK_Up},
        {ScriptKey::kLeft, XK_Left},          {ScriptKey::kRight, XK_Right},
        {ScriptKey::kReturn, XK_Return},      {ScriptKey::kEscape, XK_Escape},
        {ScriptKey::kSpace, XK_space},        {ScriptKey::kBackspace, XK_BackSpace},
        {ScriptKey::kHome, XK_Home},          {ScriptKey::kEnd, XK_End},
        {ScriptKey::kPageDown, XK_Page_Down}, {ScriptKey::kPageUp, XK_Page_Up},
        {ScriptKey::kDelete, XK_Delete}};
    static const std::map<char, KeySym> punctuation = {
        {'.', XK_period}, {'-', XK_minus}, {'_', XK_underscore}, {'/', XK_slash}, {',', XK_comma}};
    if (key.mNamed != ScriptKey::kCharacter)
        return named.at(key.mNamed);
    if (const auto it = punctuation.find(key.mCharacter); it != punctuation.end())
        return it->second;
    const char text[2] = {key.mCharacter, 0};
    return XStringToKeysym(text);
}

// ---- the driver ----

class X11Driver final : public edithost::InputDriver
{
public:
    // host: the host's thread's connection, user: the script's.
    X11Driver(Display* host, Display* user) : mpUser(user), mHostThread(host) {}
    ~X11Driver() override
    {
        Display* host = mHostThread.HostDisplay();
        for (const auto& [name, window] : mWindows)
            if (window)
                XDestroyWindow(host, window);
        XSync(host, False);
    }

    void Run(const std::function<void()>& script, const std::function<void()>& idle) override
    {
        std::atomic<bool> finished{false};
        std::thread user(
            [&]
            {
                script();
                finished.store(true);
            });
        mHostThread.Run(finished, idle);
        user.join();
    }
    bool OnHostThread(const std::function<void()>& fn, int timeoutMs) override
    {
        return mHostThread.Call(fn, timeoutMs);
    }
    void Wait(int ms) override { Sleep(ms); }
    int SettleMs() const override { return kSettleMs; }
    void SetIdleInterval(int ms) override { mHostThread.SetIdleMs(ms); }

    void PlugInLoaded(const std::string&, orxhost::VstHost&) override {}
    std::string WindowProblem() override { return {}; }

    bool MakeHostWindow(const edithost::HostWindowSpec& spec, int& width, int& height) override;
    void* HostWindow(const std::string& name) override
    {
        return reinterpret_cast<void*>(WindowOf(name));
    }
    void DestroyHostWindow(const std::string& name) override
    {
        // From the user's connection: the server destroys it and everything in it.
        if (Window w = WindowOf(name))
        {
            XDestroyWindow(mpUser, w);
            XSync(mpUser, False);
        }
        mWindows[name] = 0;
    }
    void Target(const std::string& name) override
    {
        mTarget = name;
        if (Window w = WindowOf(name))
        {
            XRaiseWindow(mpUser, w);
            XSync(mpUser, False);
            Sleep(50);
        }
    }
    int WindowsIn(const std::string& name) override { return Descendants(mpUser, WindowOf(name)); }
    bool EditorPlace(const std::string& name, int& x, int& y) override
    {
        const std::vector<Window> kids = Children(mpUser, WindowOf(name));
        XWindowAttributes at{};
        if (kids.size() != 1 || !XGetWindowAttributes(mpUser, kids[0], &at))
            return false;
        x = at.x;
        y = at.y;
        return true;
    }
    std::string EditorTitle(const std::string& name) override
    {
        const std::vector<Window> kids = Children(mpUser, WindowOf(name));
        return kids.empty() ? std::string() : NameOf(mpUser, kids[0]);
    }
    std::string EditorClass(const std::string& name) override
    {
        const std::vector<Window> kids = Children(mpUser, WindowOf(name));
        XClassHint hint{};
        std::string text;
        if (!kids.empty() && XGetClassHint(mpUser, kids[0], &hint))
        {
            text = hint.res_class ? hint.res_class : "";
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        return text;
    }
    std::vector<edithost::Area> EditorChildAreas(const std::string& name) override
    {
        std::vector<edithost::Area> areas;
        for (Window editor : Children(mpUser, WindowOf(name)))
            for (Window child : Children(mpUser, editor))
            {
                XWindowAttributes a{};
                XGetWindowAttributes(mpUser, child, &a);
                areas.push_back({a.x, a.y, a.x + a.width, a.y + a.height});
            }
        return areas;
    }
    bool Cover(const std::string& name) override;
    std::vector<std::string> Popups() override
    {
        std::vector<std::string> names;
        for (Window w : PopupWindows(mpUser))
            names.push_back(NameOf(mpUser, w));
        return names;
    }

    void Click(edithost::MouseButton button, bool control, int x, int y) override
    {
        const unsigned number = button == edithost::MouseButton::kLeft ? Button1 : Button3;
        const KeyCode controlKey = XKeysymToKeycode(mpUser, XK_Control_L);
        MovePointer(x, y);
        if (control)
            XTestFakeKeyEvent(mpUser, controlKey, True, 0);
        PressButton(number, true);
        PressButton(number, false);
        if (control)
            XTestFakeKeyEvent(mpUser, controlKey, False, 0);
        XFlush(mpUser);
    }
    edithost::MenuOutcome ClickIntoMenu(edithost::MouseButton button, bool control, int x, int y,
                                        const edithost::MenuPlan& plan) override;
    bool ReadsMenuItems() const override { return false; }
    void DoubleClick(int x, int y) override
    {
        MovePointer(x, y);
        for (int i = 0; i < 2; ++i)
        {
            PressButton(Button1, true);
            PressButton(Button1, false);
        }
    }
    void Press(int x, int y) override
    {
        MovePointer(x, y);
        PressButton(Button1, true);
    }
    void MoveTo(int x, int y) override { MovePointer(x, y); }
    void Release(int x, int y) override
    {
        MovePointer(x, y);
        PressButton(Button1, false);
    }
    void Wheel(int x, int y, int notches) override
    {
        MovePointer(x, y);
        for (int i = 0; i < std::abs(notches); ++i)
        {
            PressButton(notches > 0 ? Button4 : Button5, true);
            PressButton(notches > 0 ? Button4 : Button5, false);
        }
    }
    std::string Type(const std::string& text) override
    {
        std::string untyped;
        for (const char ch : text)
        {
            ScriptKey key;
            if (!edithost::ReadKey(std::string(1, ch), key) || !PressKey(KeysymOf(key)))
                untyped += ch;
        }
        return untyped;
    }
    bool Key(const ScriptKey& key) override
    {
        return PressKey(KeysymOf(key), key.mControl, key.mShift);
    }

    bool CaptureHostWindow(const std::string& name, const std::string& png) override
    {
        XWindowAttributes at{};
        const Window w = WindowOf(name);
        return w && XGetWindowAttributes(mpUser, w, &at) &&
               Capture(mpUser, w, 0, 0, at.width, at.height, png);
    }
    bool CaptureScreen(const std::string& png) override
    {
        const int screen = DefaultScreen(mpUser);
        return Capture(mpUser, DefaultRootWindow(mpUser), 0, 0, DisplayWidth(mpUser, screen),
                       DisplayHeight(mpUser, screen), png);
    }
    edithost::Counts TakeCounts() override;
    std::optional<bool> FontFamilyIs(const std::string&, const std::string&) override
    {
        return std::nullopt; // the editor's text comes from its own font file, not the server
    }

private:
    Window WindowOf(const std::string& name) const
    {
        const auto it = mWindows.find(name);
        return it == mWindows.end() ? 0 : it->second;
    }
    // The editor point (x, y) of the target on the screen.
    bool ToScreen(int x, int y, int& sx, int& sy)
    {
        const Window w = WindowOf(mTarget);
        Window child = 0;
        return w &&
               XTranslateCoordinates(mpUser, w, DefaultRootWindow(mpUser), x, y, &sx, &sy, &child);
    }
    void MovePointer(int x, int y)
    {
        int sx = 0, sy = 0;
        if (ToScreen(x, y, sx, sy))
            XTestFakeMotionEvent(mpUser, -1, sx, sy, 0);
        XFlush(mpUser);
        Sleep(10);
    }
    void PressButton(unsigned button, bool press)
    {
        XTestFakeButtonEvent(mpUser, button, press, 0);
        XFlush(mpUser);
        Sleep(10);
    }
    // The key pressed and let go with the modifier keys really held down around it (the
    // server then gives its events their state), shift also where the keysym needs it.
    bool PressKey(KeySym key, bool control = false, bool shift = false)
    {
        const KeyCode code = key == NoSymbol ? 0 : XKeysymToKeycode(mpUser, key);
        if (!code)
            return false;
        int per = 0;
        KeySym* map = XGetKeyboardMapping(mpUser, code, 1, &per);
        shift = shift || (map && per > 1 && map[0] != key && map[1] == key);
        if (map)
            XFree(map);
        const KeyCode shiftCode = XKeysymToKeycode(mpUser, XK_Shift_L);
        const KeyCode controlCode = XKeysymToKeycode(mpUser, XK_Control_L);
        if (control)
            XTestFakeKeyEvent(mpUser, controlCode, True, 0);
        if (shift)
            XTestFakeKeyEvent(mpUser, shiftCode, True, 0);
        XTestFakeKeyEvent(mpUser, code, True, 0);
        XTestFakeKeyEvent(mpUser, code, False, 0);
        if (shift)
            XTestFakeKeyEvent(mpUser, shiftCode, False, 0);
        if (control)
            XTestFakeKeyEvent(mpUser, controlCode, False, 0);
        XFlush(mpUser);
        Sleep(25);
        return true;
    }

    Display* mpUser;
    HostThread mHostThread;
    std::map<std::string, Window> mWindows; // made on the host's thread, for the script's
    std::string mTarget;
};

bool X11Driver::MakeHostWindow(const edithost::HostWindowSpec& spec, int& width, int& height)
{
    Window& window = mWindows[spec.mName];
    mHostThread.Call(
        [&]
        {
            if (window)
                return;
            Display* host = mHostThread.HostDisplay();
            const int x = spec.mOrder % 2 == 0 ? 0 : 760; // side by side, two at a time
            window = XCreateSimpleWindow(host, DefaultRootWindow(host), x, 0,
                                         static_cast<unsigned>(spec.mWidth),
                                         static_cast<unsigned>(spec.mHeight), 0, 0, 0xFFFFFF);
            XStoreName(host, window, spec.mName.c_str());
            XMapRaised(host, window);
            XSync(host, False);
        },
        10000);
    XWindowAttributes a{};
    const bool mapped =
        window &&
        WaitFor([&]
                { return XGetWindowAttributes(mpUser, window, &a) && a.map_state == IsViewable; },
                2000);
    width = a.width;
    height = a.height;
    return mapped;
}

bool X11Driver::Cover(const std::string& name)
{
    XWindowAttributes at{};
    const Window w = WindowOf(name);
    if (!w || !XGetWindowAttributes(mpUser, w, &at))
        return false;
    const Window cover = XCreateSimpleWindow(mpUser, DefaultRootWindow(mpUser), at.x, at.y,
                                             static_cast<unsigned>(at.width),
                                             static_cast<unsigned>(at.height), 0, 0, 0xFF00FF);
    XMapRaised(mpUser, cover);
    XSync(mpUser, False);
    Sleep(100);
    XDestroyWindow(mpUser, cover);
    XSync(mpUser, False);
    Sleep(100);
    return true;
}

// The keys go in once the popup shows, from this thread, while the popup holds the host's.
edithost::MenuOutcome X11Driver::ClickIntoMenu(edithost::MouseButton button, bool control, int x,
                                               int y, const edithost::MenuPlan& plan)
{
    edithost::MenuOutcome outcome;
    Click(button, control, x, y);
    outcome.mShown = WaitFor([&] { return !PopupWindows(mpUser).empty(); }, 3000);
    if (!outcome.mShown)
        return outcome;
    if (!plan.mShotPng.empty())
    {
        Sleep(60); // its first picture
        outcome.mShotTaken = CaptureScreen(plan.mShotPng);
    }
    outcome.mKeysTyped = true;
    for (const ScriptKey& key : plan.mKeys)
        outcome.mKeysTyped = PressKey(KeysymOf(key)) && outcome.mKeysTyped;
    return outcome;
}

edithost::Counts X11Driver::TakeCounts()
{
    edithost::Counts c;
    int clients = 0;
    XResClient* list = nullptr;
    if (XResQueryClients(mpUser, &clients, &list))
    {
        c.mValues["X clients"] = clients;
        for (int i = 0; i < clients; ++i)
        {
            int kinds = 0;
            XResType* types = nullptr;
            if (!XResQueryClientResources(mpUser, list[i].resource_base, &kinds, &types))
                continue;
            for (int k = 0; k < kinds; ++k)
                if (char* name = XGetAtomName(mpUser, types[k].resource_type))
                {
                    c.mValues[std::string("X ") + name] += types[k].count;
                    XFree(name);
                }
            XFree(types);
        }
        XFree(list);
    }
    else
    {
        c.mUncounted.push_back("the X server's clients");
    }
    c.mValues["windows on the screen"] = Descendants(mpUser, DefaultRootWindow(mpUser));
    c.mValues["open files"] = OpenFiles();
    c.mValues["shared-memory segments"] = SharedSegments();
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    edithost::Invocation run;
    if (!edithost::ReadInvocation(argc, argv, "orx-edithost-x11", run))
        return 2;
    edithost::ScriptReport report;
    Display* host = XOpenDisplay(nullptr);
    Display* user = XOpenDisplay(nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!host || !user || !XTestQueryExtension(user, &event, &error, &major, &minor) ||
        !XResQueryExtension(user, &event, &error))
    {
        report.Check(false, 0, "no X display with the XTEST and X-Resource extensions at DISPLAY");
        report.Tally();
        return 1;
    }
    // The keyboard's description, which Xlib fetches once per connection, fetched now: the
    // user's first key would otherwise add it to the server's counts in the middle of a run.
    XKeysymToKeycode(user, XK_Return);
    XSync(user, False);

    int status = 1;
    {
        X11Driver driver(host, user);
        status = edithost::RunEditorHost(run, driver, report);
    }
    XCloseDisplay(user);
    XCloseDisplay(host);
    return status;
}
