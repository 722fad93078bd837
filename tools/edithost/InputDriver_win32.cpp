// orx-edithost: the Windows editor test host, run under wine. It loads plug-in libraries, gives
// each a top-level window, opens its editor there through the effect record, and runs an input
// script against it (ScriptRunner.h lists the commands): real mouse and keyboard messages
// through the window system, screenshots of the window, and counts of the windows and handles
// the libraries hold, to find leaks across closing and reopening.
//
//   orx-edithost --plugin NAME=PATH [--plugin NAME=PATH ...] --script FILE --out FOLDER
//
// One thread: the script runs on the host's thread, and waiting runs its message loop, where
// the editors' frame timers paint and a popup menu's modal loop runs; the keys for a menu go in
// from a thread timer inside that loop. A process that gets no window from the system says
// "SKIP:" with the reason and exits with 77.

#include "InputDriver.h"
#include "LICE_PngWrite.h"
#include "LICE_SysBitmap.h"
#include "ScriptReport.h"
#include "ScriptRunner.h"
#include "Utf8Text.h"
#include "VstHost.h"
#include "Win32Handle.h"

#include <windows.h>
#undef DrawText
#undef LoadBitmap

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace
{

using namespace orx::win32;
using edithost::ScriptKey;

constexpr wchar_t kHostClass[] = L"OrxEditHostWindow";
constexpr int kSettleMs = 120; // three frames at 24 per second

const char* const kKindNames[kHandleKinds] = {"windows", "timers", "DCs",
                                              "fonts",   "menus",  "bitmaps"};

LRESULT CALLBACK HostWindowProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE)
        return 0; // the script decides when windows go
    return DefWindowProcW(w, msg, wParam, lParam);
}

BOOL CALLBACK CountOne(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int CountChildren(HWND parent)
{
    int n = 0;
    if (parent)
        EnumChildWindows(parent, &CountOne, reinterpret_cast<LPARAM>(&n));
    return n;
}

BOOL CALLBACK CountWithChildren(HWND window, LPARAM count)
{
    *reinterpret_cast<int*>(count) += 1 + CountChildren(window);
    return TRUE;
}

int CountThreadWindows()
{
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountWithChildren, reinterpret_cast<LPARAM>(&n));
    return n;
}

BOOL CALLBACK ListVisible(HWND window, LPARAM list)
{
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The library's own counts of live handles (Win32Handle.h); empty when it publishes none.
std::vector<int> LibraryHandles(HMODULE module)
{
    const std::wstring name = HandleCountsName(GetCurrentProcessId(), module);
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    if (!mapping)
        return {};
    std::vector<int> live;
    if (const auto* counts = static_cast<const HandleCounts*>(
            MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(HandleCounts))))
    {
        if (counts->mMagic == kHandleCountsMagic)
            live.assign(counts->mLive, counts->mLive + kHandleKinds);
        UnmapViewOfFile(counts);
    }
    CloseHandle(mapping);
    return live;
}

// A window's client area, or the whole screen (wine's virtual desktop) for none, as a PNG.
bool Capture(HWND window, const std::string& png)
{
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window && !GetClientRect(window, &r))
        return false;
    LICE_SysBitmap shot(r.right, r.bottom);
    if (!shot.getDC() || !shot.getBits())
        return false;
    {
        WindowDc dc(window);
        if (!dc.get() || !BitBlt(static_cast<HDC>(shot.getDC()), 0, 0, r.right, r.bottom, dc.get(),
                                 0, 0, SRCCOPY))
            return false;
    }
    GdiFlush();
    return LICE::WritePngFile(png.c_str(), shot, false);
}

// Whether the font GDI gives for face comes from a font file that names family in its name
// table (a stand-in is known by its face name, so only its file tells what it is).
bool FontFileNames(const std::string& face, const std::string& family)
{
    OwnedFont font(CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH, orx::Utf8ToWide(face).c_str()));
    OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!font || !dc)
        return false;
    const HGDIOBJ previous = SelectObject(dc.get(), font.get());
    constexpr DWORD kNameTable = 0x656D616E; // 'name', as GDI wants the tag
    std::string table;
    const DWORD size = GetFontData(dc.get(), kNameTable, 0, nullptr, 0);
    if (size != GDI_ERROR && size > 0)
    {
        table.resize(size);
        if (GetFontData(dc.get(), kNameTable, 0, table.data(), size) != size)
            table.clear();
    }
    SelectObject(dc.get(), previous);
    std::string utf16be; // the Windows names of the table
    for (const char ch : family)
        (utf16be += '\0') += ch;
    return table.find(family) != std::string::npos || table.find(utf16be) != std::string::npos;
}

// A script's key as a virtual-key code; 0 for none.
WPARAM VirtualKeyOf(const ScriptKey& key)
{
    static const std::map<ScriptKey::Named, WPARAM> named = {
        {ScriptKey::kDown, VK_DOWN},     {ScriptKey::kUp, VK_UP},
        {ScriptKey::kLeft, VK_LEFT},     {ScriptKey::kRight, VK_RIGHT},
        {ScriptKey::kReturn, VK_RETURN}, {ScriptKey::kEscape, VK_ESCAPE},
        {ScriptKey::kSpace, VK_SPACE},   {ScriptKey::kBackspace, VK_BACK},
        {ScriptKey::kHome, VK_HOME},     {ScriptKey::kEnd, VK_END},
        {ScriptKey::kPageDown, VK_NEXT}, {ScriptKey::kPageUp, VK_PRIOR},
        {ScriptKey::kDelete, VK_DELETE}};
    if (key.mNamed != ScriptKey::kCharacter)
        return named.at(key.mNamed);
    const auto ch = static_cast<unsigned char>(key.mCharacter);
    if (std::isalnum(ch))
        return static_cast<WPARAM>(std::toupper(ch));
    const SHORT scan = VkKeyScanW(static_cast<wchar_t>(ch));
    return scan == -1 ? 0 : static_cast<WPARAM>(scan & 0xFF);
}

// ---- a popup menu's keys, typed into its modal loop from a thread timer once it shows ----

struct MenuTyping
{
    HWND mEditor = nullptr;
    UINT_PTR mTimer = 0;
    std::deque<WPARAM> mKeys;
    std::vector<std::wstring> mChoice; // the items' texts, top level first
    std::vector<std::wstring> mTarget; // the choice once its keys are planned
    int mCorrections = 0;
    std::string mShotPng; // a screenshot to take before the first key
    bool mShown = false;
    bool mShotTaken = false;
    bool mChoiceFound = false;
    bool mPointerAside = false;
    // Ticks the menu has stayed open after its last key; past kStuckTicks it is ended, so a key
    // lost on a loaded machine fails the step instead of holding the host until its time-out.
    int mTicksAfterKeys = 0;
    bool mAbandoned = false;
    bool mAllKeysSent = false;
    // The release of the button that opened the menu, let go while the menu shows (0: none due).
    UINT mRelease = 0;
    LPARAM mReleaseAt = 0;
};
MenuTyping gMenu;

// The keys that choose path in menu as a user would: up or down from the item that is
// selected (down from none at first; a submenu opened by the right key starts on its first
// item) to the item, right into each submenu, return on the last item. The keys pass over
// separators, so they are not counted.
bool KeysForChoice(HMENU menu, const std::vector<std::wstring>& path, std::deque<WPARAM>& keys)
{
    for (std::size_t level = 0; level < path.size(); ++level)
    {
        const int count = GetMenuItemCount(menu);
        int position = -1, selected = level == 0 ? -1 : 0, target = -1;
        HMENU submenu = nullptr;
        for (int i = 0; i < count; ++i)
        {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) ||
                (info.fType & MFT_SEPARATOR))
                continue;
            ++position;
            if (level == 0 && (info.fState & MFS_HILITE))
                selected = position;
            wchar_t text[256] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
            if (target < 0 && path[level] == std::wstring(text))
            {
                target = position;
                submenu = info.hSubMenu;
            }
        }
        if (target < 0 || (level + 1 < path.size() && !submenu))
            return false;
        if (target >= selected)
            keys.insert(keys.end(), static_cast<std::size_t>(target - selected), VK_DOWN);
        else
            keys.insert(keys.end(), static_cast<std::size_t>(selected - target), VK_UP);
        if (level + 1 < path.size())
        {
            keys.push_back(VK_RIGHT);
            menu = submenu;
        }
    }
    keys.push_back(VK_RETURN);
    return true;
}

constexpr int kStuckTicks = 50; // 3 s of 60 ms ticks

void CALLBACK MenuKeyTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    const bool visible = menu && IsWindowVisible(menu);
    if (gMenu.mAllKeysSent)
    {
        if (!visible || ++gMenu.mTicksAfterKeys > kStuckTicks)
        {
            if (visible)
            {
                gMenu.mAbandoned = true;
                EndMenu();
            }
            KillTimer(nullptr, gMenu.mTimer);
            gMenu.mTimer = 0;
        }
        return;
    }
    if (!visible)
        return;
    gMenu.mShown = true;
    // A menu that does not fit below the pointer opens over it, and the item under the pointer
    // takes the selection: the pointer goes aside first (as a user who chooses by keyboard keeps
    // the mouse off the menu), and the keys start from what is selected once it is there.
    if (!gMenu.mPointerAside)
    {
        RECT r{};
        GetWindowRect(menu, &r);
        POINT aside{r.left > 20 ? r.left - 10 : r.right + 10, r.top};
        SetCursorPos(aside.x, aside.y);
        // The release goes in where the pointer now is: at the press's point it would land on
        // whatever item a menu opened over the pointer shows there, and choose it.
        ScreenToClient(gMenu.mEditor, &aside);
        gMenu.mReleaseAt = MAKELPARAM(aside.x, aside.y);
        gMenu.mPointerAside = true;
        return;
    }
    // The button that opened the menu is let go while it shows, as a user lets it go: the
    // menu's loop takes the release, and the editor never sees it.
    if (gMenu.mRelease)
    {
        PostMessageW(gMenu.mEditor, gMenu.mRelease, 0, gMenu.mReleaseAt);
        gMenu.mRelease = 0;
        return;
    }
    if (!gMenu.mChoice.empty())
    {
        const auto system = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        gMenu.mChoiceFound = system && KeysForChoice(system, gMenu.mChoice, gMenu.mKeys);
        gMenu.mTarget = gMenu.mChoice;
        gMenu.mChoice.clear();
        if (!gMenu.mChoiceFound)
            gMenu.mKeys.assign(1, VK_ESCAPE); // no such item: the menu closes unchosen
    }
    if (gMenu.mKeys.empty())
        return;
    if (!gMenu.mShotPng.empty())
    {
        gMenu.mShotTaken = Capture(nullptr, gMenu.mShotPng);
        gMenu.mShotPng.clear();
    }
    // Before the return that chooses, the item lit must be the one chosen: keys from a menu
    // that a late pointer move lit, or that passed over an item greyed out, are put right from
    // what the menu shows then.
    if (gMenu.mKeys.front() == VK_RETURN && gMenu.mTarget.size() == 1 && gMenu.mCorrections < 8)
    {
        const auto system = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        std::deque<WPARAM> moves;
        if (system && KeysForChoice(system, gMenu.mTarget, moves) && moves.size() > 1)
        {
            ++gMenu.mCorrections;
            moves.pop_back(); // its own return: the one queued stays
            gMenu.mKeys.insert(gMenu.mKeys.begin(), moves.begin(), moves.end());
        }
    }
    const WPARAM key = gMenu.mKeys.front();
    gMenu.mKeys.pop_front();
    PostMessageW(gMenu.mEditor, WM_KEYDOWN, key, 1);
    PostMessageW(gMenu.mEditor, WM_KEYUP, key, 0xC0000001);
    gMenu.mAllKeysSent = gMenu.mKeys.empty();
}

// ---- the driver ----

class Win32Driver final : public edithost::InputDriver
{
public:
    Win32Driver()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &HostWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kHostClass;
        RegisterClassW(&wc);
    }

    void Run(const std::function<void()>& script, const std::function<void()>& idle) override
    {
        mIdle = idle;
        script();
        mIdle = nullptr;
    }
    bool OnHostThread(const std::function<void()>& fn, int) override
    {
        fn(); // the script runs on the host's thread
        return true;
    }
    void Wait(int ms) override;
    int SettleMs() const override { return kSettleMs; }
    void SetIdleInterval(int ms) override { mIdleMs = ms; }

    void PlugInLoaded(const std::string& name, orxhost::VstHost& host) override
    {
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(host.Effect()->dispatcher), &mHosts[name].mModule);
    }
    std::string WindowProblem() override
    {
        HWND probe = CreateWindowExW(0, kHostClass, L"probe", WS_OVERLAPPED, 0, 0, 16, 16, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        if (probe)
        {
            DestroyWindow(probe);
            return {};
        }
        return "the system gives this " + std::to_string(sizeof(void*) * 8) +
               "-bit process no window (error " + std::to_string(GetLastError()) + ")";
    }

    bool MakeHostWindow(const edithost::HostWindowSpec& spec, int& width, int& height) override;
    void* HostWindow(const std::string& name) override { return WindowOf(name); }
    void DestroyHostWindow(const std::string& name) override { mHosts[name].mWindow.reset(); }
    void Target(const std::string& name) override { mTarget = name; }
    int WindowsIn(const std::string& name) override { return CountChildren(WindowOf(name)); }
    bool EditorPlace(const std::string& name, int& x, int& y) override
    {
        HWND editor = EditorOf(name);
        RECT r{};
        if (!editor || !GetWindowRect(editor, &r))
            return false;
        MapWindowPoints(nullptr, WindowOf(name), reinterpret_cast<POINT*>(&r), 2);
        x = r.left;
        y = r.top;
        return true;
    }
    std::string EditorTitle(const std::string& name) override
    {
        wchar_t title[128] = {};
        GetWindowTextW(EditorOf(name), title, 128);
        return orx::WideToUtf8(title);
    }
    std::string EditorClass(const std::string& name) override
    {
        wchar_t text[128] = {};
        GetClassNameW(EditorOf(name), text, 128);
        return orx::WideToUtf8(text);
    }
    std::vector<edithost::Area> EditorChildAreas(const std::string& name) override
    {
        std::vector<edithost::Area> areas;
        HWND editor = EditorOf(name);
        for (HWND child = editor ? GetWindow(editor, GW_CHILD) : nullptr; child;
             child = GetWindow(child, GW_HWNDNEXT))
        {
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
            areas.push_back({r.left, r.top, r.right, r.bottom});
        }
        return areas;
    }
    bool Cover(const std::string& name) override;
    std::vector<std::string> Popups() override;

    void Click(edithost::MouseButton button, bool control, int x, int y) override
    {
        const WPARAM keys = control ? MK_CONTROL : 0;
        HWND editor = EditorOf(mTarget);
        if (button == edithost::MouseButton::kLeft)
        {
            PostMouse(editor, WM_LBUTTONDOWN, MK_LBUTTON | keys, x, y);
            PostMouse(editor, WM_LBUTTONUP, keys, x, y);
            return;
        }
        // The press may run the value prompt; the release follows once it is there.
        PostMouse(editor, WM_RBUTTONDOWN, MK_RBUTTON | keys, x, y);
        Wait(kSettleMs);
        PostMouse(editor, WM_RBUTTONUP, keys, x, y);
    }
    edithost::MenuOutcome ClickIntoMenuOnce(edithost::MouseButton button, bool control, int x,
                                            int y, const edithost::MenuPlan& plan);
    edithost::MenuOutcome ClickIntoMenu(edithost::MouseButton button, bool control, int x, int y,
                                        const edithost::MenuPlan& plan) override;
    bool ReadsMenuItems() const override { return true; }
    void DoubleClick(int x, int y) override
    {
        HWND editor = EditorOf(mTarget);
        PostMouse(editor, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        PostMouse(editor, WM_LBUTTONUP, 0, x, y);
        PostMouse(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
        PostMouse(editor, WM_LBUTTONUP, 0, x, y);
    }
    void Press(int x, int y) override
    {
        PostMouse(EditorOf(mTarget), WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        mHeld = true;
    }
    void MoveTo(int x, int y) override
    {
        PostMouse(EditorOf(mTarget), WM_MOUSEMOVE, mHeld ? MK_LBUTTON : 0, x, y);
    }
    void Release(int x, int y) override
    {
        if (HWND editor = EditorOf(mTarget)) // none once the editor closed in a drag
            PostMouse(editor, WM_LBUTTONUP, 0, x, y);
        mHeld = false;
    }
    void Wheel(int x, int y, int notches) override
    {
        HWND editor = EditorOf(mTarget);
        POINT p{x, y};
        ClientToScreen(editor, &p);
        SetCursorPos(p.x, p.y);
        PostMessageW(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA),
                     MAKELPARAM(p.x, p.y));
    }
    std::string Type(const std::string& text) override
    {
        HWND to = KeyTarget();
        for (const wchar_t ch : orx::Utf8ToWide(text))
            PostMessageW(to, WM_CHAR, ch, 1);
        return {};
    }
    bool Key(const ScriptKey& key) override;

    bool CaptureHostWindow(const std::string& name, const std::string& png) override
    {
        HWND window = WindowOf(name);
        return window && Capture(window, png);
    }
    bool CaptureScreen(const std::string& png) override { return Capture(nullptr, png); }
    edithost::Counts TakeCounts() override;
    std::optional<bool> FontFamilyIs(const std::string& face, const std::string& family) override
    {
        return FontFileNames(face, family);
    }

private:
    struct Host
    {
        OwnedWindow mWindow;
        HMODULE mModule = nullptr;
    };

    HWND WindowOf(const std::string& name) const
    {
        const auto it = mHosts.find(name);
        return it == mHosts.end() ? nullptr : it->second.mWindow.get();
    }
    // The editor window: the host window's first child.
    HWND EditorOf(const std::string& name) const
    {
        HWND window = WindowOf(name);
        return window ? GetWindow(window, GW_CHILD) : nullptr;
    }
    // Where keys go: the focused window when it is the editor or its entry box, else the box,
    // else the editor.
    HWND KeyTarget() const
    {
        HWND editor = EditorOf(mTarget);
        HWND focus = GetFocus();
        if (focus && (focus == editor || GetParent(focus) == editor))
            return focus;
        if (HWND box = editor ? FindWindowExW(editor, nullptr, L"Edit", nullptr) : nullptr)
            return box;
        return editor;
    }
    static void PostMouse(HWND editor, UINT msg, WPARAM keys, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(editor, &p);
        SetCursorPos(p.x, p.y);
        PostMessageW(editor, msg, keys, MAKELPARAM(x, y));
    }

    std::map<std::string, Host> mHosts;
    std::string mTarget;
    bool mHeld = false; // the left button, between a press and its release
    std::function<void()> mIdle;
    int mIdleMs = 15;
    DWORD mLastIdle = 0;
};

void Win32Driver::Wait(int ms)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD now = GetTickCount();
        if (mIdle && mIdleMs > 0 && now - mLastIdle >= static_cast<DWORD>(mIdleMs))
        {
            mLastIdle = now;
            mIdle();
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(ms))
            return;
        DWORD wait = static_cast<DWORD>(ms) - elapsed;
        if (mIdleMs > 0 && wait > static_cast<DWORD>(mIdleMs))
            wait = static_cast<DWORD>(mIdleMs);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

// A key with modifiers: the thread's keyboard state says they are down while its messages are
// handled (the window procedure asks GetKeyState, which reads that state, not the message), and
// what it said before comes back afterwards. Posted messages leave that state alone.
bool Win32Driver::Key(const ScriptKey& key)
{
    const WPARAM vk = VirtualKeyOf(key);
    if (!vk)
        return false;
    HWND to = KeyTarget();
    BYTE before[256] = {};
    const bool held = key.mControl || key.mShift;
    if (held)
    {
        GetKeyboardState(before);
        BYTE state[256];
        std::copy(std::begin(before), std::end(before), std::begin(state));
        for (const BYTE k : {VK_CONTROL, VK_LCONTROL})
            state[k] = key.mControl ? 0x80 : 0;
        for (const BYTE k : {VK_SHIFT, VK_LSHIFT})
            state[k] = key.mShift ? 0x80 : 0;
        SetKeyboardState(state);
    }
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
    if (held)
    {
        Wait(kSettleMs);
        SetKeyboardState(before);
    }
    return true;
}

bool Win32Driver::MakeHostWindow(const edithost::HostWindowSpec& spec, int& width, int& height)
{
    Host& host = mHosts[spec.mName];
    if (!host.mWindow)
    {
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        RECT r{0, 0, spec.mWidth, spec.mHeight};
        AdjustWindowRect(&r, style, FALSE);
        const int offset = spec.mCount > 1 ? 40 * (spec.mName.back() % 4) : 0;
        host.mWindow.reset(CreateWindowExW(0, kHostClass, orx::Utf8ToWide(spec.mName).c_str(),
                                           style, offset, offset, r.right - r.left,
                                           r.bottom - r.top, nullptr, nullptr,
                                           GetModuleHandleW(nullptr), nullptr));
        if (!host.mWindow)
            return false;
        ShowWindow(host.mWindow.get(), SW_SHOW);
        SetForegroundWindow(host.mWindow.get());
        Wait(50);
    }
    RECT client{};
    GetClientRect(host.mWindow.get(), &client);
    width = client.right;
    height = client.bottom;
    return true;
}

bool Win32Driver::Cover(const std::string& name)
{
    RECT r{};
    if (!GetWindowRect(WindowOf(name), &r))
        return false;
    OwnedWindow cover(CreateWindowExW(WS_EX_TOPMOST, kHostClass, L"cover", WS_POPUP, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    if (!cover)
        return false;
    ShowWindow(cover.get(), SW_SHOWNOACTIVATE);
    Wait(100);
    cover.reset();
    Wait(100);
    return true;
}

// Popups: visible top-level windows of this thread other than the host windows (a menu, a
// dialog).
std::vector<std::string> Win32Driver::Popups()
{
    std::vector<HWND> visible;
    EnumThreadWindows(GetCurrentThreadId(), &ListVisible, reinterpret_cast<LPARAM>(&visible));
    std::vector<std::string> names;
    for (HWND w : visible)
    {
        bool host = false;
        for (const auto& [name, h] : mHosts)
            host = host || h.mWindow.get() == w;
        if (host)
            continue;
        wchar_t title[128] = {};
        GetWindowTextW(w, title, 128);
        names.push_back(orx::WideToUtf8(title));
    }
    return names;
}

// The release and the keys go in from a timer once a menu shows: the press that opens it is
// let through the message loop alone, and the menu's modal loop runs inside it until the keys
// close it. A press that shows no menu gets its release afterwards.
edithost::MenuOutcome Win32Driver::ClickIntoMenu(edithost::MouseButton button, bool control, int x,
                                                 int y, const edithost::MenuPlan& plan)
{
    edithost::MenuOutcome outcome = ClickIntoMenuOnce(button, control, x, y, plan);
    // A menu ended unchosen changed nothing, so the user's second try is the same click again.
    if (outcome.mAbandoned)
    {
        std::fprintf(stderr, "note: a popup menu stayed open after its keys; clicked again\n");
        outcome = ClickIntoMenuOnce(button, control, x, y, plan);
    }
    return outcome;
}

edithost::MenuOutcome Win32Driver::ClickIntoMenuOnce(edithost::MouseButton button, bool control,
                                                     int x, int y, const edithost::MenuPlan& plan)
{
    const bool left = button == edithost::MouseButton::kLeft;
    const UINT down = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    const UINT up = left ? WM_LBUTTONUP : WM_RBUTTONUP;
    gMenu = MenuTyping();
    gMenu.mEditor = EditorOf(mTarget);
    bool known = true;
    for (const ScriptKey& key : plan.mKeys)
    {
        const WPARAM vk = VirtualKeyOf(key);
        known = known && vk != 0;
        if (vk)
            gMenu.mKeys.push_back(vk);
    }
    for (const std::string& item : plan.mChoice)
        gMenu.mChoice.push_back(orx::Utf8ToWide(item));
    gMenu.mShotPng = plan.mShotPng;
    gMenu.mRelease = up;
    gMenu.mReleaseAt = MAKELPARAM(x, y);
    gMenu.mTimer = SetTimer(nullptr, 0, 60, &MenuKeyTimer);
    PostMouse(gMenu.mEditor, down, (left ? MK_LBUTTON : MK_RBUTTON) | (control ? MK_CONTROL : 0), x,
              y);
    Wait(kSettleMs);
    if (gMenu.mRelease)
        PostMouse(gMenu.mEditor, up, 0, x, y);
    gMenu.mRelease = 0;
    Wait(kSettleMs);
    edithost::MenuOutcome outcome;
    outcome.mShown = gMenu.mShown;
    outcome.mShotTaken = gMenu.mShotTaken;
    outcome.mChoiceFound = gMenu.mChoiceFound;
    outcome.mKeysTyped = known && gMenu.mAllKeysSent && !gMenu.mAbandoned;
    outcome.mAbandoned = gMenu.mAbandoned;
    if (gMenu.mTimer)
        KillTimer(nullptr, gMenu.mTimer);
    gMenu = MenuTyping();
    return outcome;
}

edithost::Counts Win32Driver::TakeCounts()
{
    edithost::Counts c;
    c.mValues["windows of the host's thread"] = CountThreadWindows();
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi || user)
    {
        c.mValues["GDI objects"] = static_cast<long>(gdi);
        c.mValues["USER objects"] = static_cast<long>(user);
    }
    else
    {
        c.mNotes.push_back("GetGuiResources answers 0 here; the libraries' own counts stand in "
                           "for it");
    }
    for (const auto& [name, host] : mHosts)
    {
        const std::vector<int> live =
            host.mModule ? LibraryHandles(host.mModule) : std::vector<int>();
        if (live.empty())
            c.mUncounted.push_back(name + "'s library's own handle counts");
        for (std::size_t k = 0; k < live.size(); ++k)
            c.mValues[name + "'s " + kKindNames[k]] = live[k];
    }
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    edithost::Invocation run;
    if (!edithost::ReadInvocation(argc, argv, "orx-edithost", run))
        return 2;
    edithost::ScriptReport report;
    Win32Driver driver;
    return edithost::RunEditorHost(run, driver, report);
}
