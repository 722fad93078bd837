// orx-edithost: a Windows VST 2 host for editor tests. It loads plug-in libraries, gives each a
// top-level window, opens its editor there through the effect record, and runs an input script
// (EditScript.h) against it: real mouse and keyboard messages through the window system,
// parameter checks through the effect record, screenshots of the window, and counts of the
// windows and handles the libraries hold, to find leaks across closing and reopening.
//
//   orx-edithost --plugin NAME=PATH [--plugin NAME=PATH ...] --script FILE --out FOLDER
//
// Script commands (coordinates in editor pixels; each input command runs the message loop
// for a moment afterwards, so the editor's frame timer paints):
//   window NAME                     makes NAME's host window (open makes it too)
//   destroy-window NAME             destroys NAME's host window, with the editor in it, without
//                                   closing the editor first (as some hosts do)
//   open NAME | close NAME          effEditOpen into NAME's window, effEditClose
//   target NAME                     the editor the input below goes to
//   pump MS                         runs the message loop for MS milliseconds
//   click X Y | rclick X Y | dblclick X Y | ctrlclick X Y (with the control key held)
//   drag X0 Y0 X1 Y1 STEPS          left button held along the line
//   press X Y | move X Y | release X Y
//                                   the left button pressed, moved with it held, released:
//                                   a drag in pieces, to close the editor in the middle of one
//   wheel X Y NOTCHES
//   menukeys KEY...                 keys for the next popup menu (down up left right return
//                                   escape), typed into its modal loop once it shows
//   menuchoose TEXT [> TEXT ...]    the same, with the keys a user types to choose the item of
//                                   that text in the next popup menu (down to it, right into a
//                                   submenu and on, return); found in the menu as it shows
//   play NAME FROM FRAMES           NAME's host plays FRAMES from sample position FROM in
//                                   blocks of 512 on an audio thread of its own, while this
//                                   thread runs the message loop (the editor paints), then
//                                   stops the transport where it got to
//   type TEXT                       characters into the window with the keyboard focus
//   key KEY                         one key (return, escape, or a letter or digit)
//   expect NAME PARAM TEXT          the parameter's display text (effGetParamDisplay)
//   expect-edited NAME              the last input command changed NAME's state chunk
//   expect-chunk NAME OFFSET TYPE VALUE
//                                   the value at byte OFFSET of the plug-in's state chunk, read
//                                   little-endian as TYPE (byte, int or double)
//   expect-windows NAME N           child windows in NAME's host window, counted by the system
//   expect-editor-at NAME X Y       the editor window's place in the host window's client area
//   counts LABEL                    records every library's handle counts and the system's
//   same-counts LABEL LABEL         the two records must be equal
//   distinct-classes NAME NAME      the two editors' windows are of different classes, each
//                                   naming its plug-in's unique id
//   screenshot NAME FILE            FILE.png of the window's client area, FILE.state of the
//                                   plug-in's state chunk, FILE.areas with the rectangles of
//                                   the editor's child windows (an open entry box) and
//                                   FILE.transport with what NAME's host played so far, for the
//                                   comparison with the headless editor in the same state
//   menushot FILE                   FILE.png of the screen as the next popup menu shows
//   expect-font FACE FAMILY...      the font GDI gives for FACE is FAMILY (its file says so)
// Every check prints "ok:" or "FAIL:"; the last line is "N passed, M failed" and the exit
// status is 1 when a check failed. A process that gets no window from the system says "SKIP:"
// with the reason and exits with 77.
//
// Throughout, every plug-in's calls to the host are checked (HostCallWatch.h): edit gestures
// that pair up, no call on this thread while the plug-in holds its instance lock (the plug-in's
// opening included), and an update-display after every input command that changed the state
// chunk. What they find fails the run as "FAIL:" lines at the command that caused it.

#include "EditScript.h"
#include "HostCallWatch.h"
#include "HostTransport.h"
#include "LICE_PngWrite.h"
#include "LICE_SysBitmap.h"
#include "Utf8Text.h"
#include "VstHost.h"
#include "Win32Handle.h"

#include <windows.h>
#undef DrawText
#undef LoadBitmap

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace orx::win32;

constexpr wchar_t kHostClass[] = L"OrxEditHostWindow";
constexpr int kSettleMs = 120; // three frames at 24 per second
constexpr int kPlayBlock = 512;

int gPassed = 0;
int gFailed = 0;

void Check(bool ok, int line, const std::string& what)
{
    std::printf("%s: line %d: %s\n", ok ? "ok" : "FAIL", line, what.c_str());
    std::fflush(stdout);
    (ok ? gPassed : gFailed) += 1;
}

// One plug-in with its host window.
struct Slot
{
    std::string mName;
    std::string mPath;
    orxhost::VstHost mHost;
    OwnedWindow mWindow;
    HMODULE mModule = nullptr;
    bool mOpen = false;
    std::vector<edithost::PlayedStretch> mPlayed; // what the host played, for screenshots
    std::unique_ptr<edithost::HostCallWatch> mWatch;
};

// What `counts` records.
struct Counts
{
    int mThreadWindows = 0;
    DWORD mGdiObjects = 0;
    DWORD mUserObjects = 0;
    std::map<std::string, std::vector<int>> mLibraryHandles; // per slot, per HandleKind
};

const char* const kKindNames[kHandleKinds] = {"windows", "timers", "DCs",
                                              "fonts",   "menus",  "bitmaps"};

std::map<std::string, std::unique_ptr<Slot>> gSlots;
Slot* gTarget = nullptr;

LRESULT CALLBACK HostWindowProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE)
        return 0; // the script decides when windows go
    return DefWindowProcW(w, msg, wParam, lParam);
}

void Pump(int ms)
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
        for (auto& [name, slot] : gSlots)
            if (slot->mOpen)
                slot->mHost.EditorIdle();
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(ms))
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms) - elapsed, QS_ALLINPUT);
    }
}

// The editor window: the first child of the host window that is not an entry box.
HWND EditorOf(const Slot& slot)
{
    return slot.mWindow ? GetWindow(slot.mWindow.get(), GW_CHILD) : nullptr;
}

HWND EntryBoxOf(HWND editor)
{
    return editor ? FindWindowExW(editor, nullptr, L"Edit", nullptr) : nullptr;
}

BOOL CALLBACK CountOne(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int CountChildren(HWND parent)
{
    int n = 0;
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

// The library's own counts of live handles (Win32Handle.h); empty when it publishes none.
std::vector<int> LibraryHandles(const Slot& slot)
{
    const std::wstring name = HandleCountsName(GetCurrentProcessId(), slot.mModule);
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

Counts TakeCounts()
{
    Counts c;
    c.mThreadWindows = CountThreadWindows();
    c.mGdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    c.mUserObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (auto& [name, slot] : gSlots)
        c.mLibraryHandles[name] = LibraryHandles(*slot);
    return c;
}

std::string Describe(const Counts& c)
{
    std::ostringstream s;
    s << "thread windows " << c.mThreadWindows << ", GDI objects " << c.mGdiObjects
      << ", USER objects " << c.mUserObjects;
    for (const auto& [name, live] : c.mLibraryHandles)
    {
        s << "; " << name << ":";
        if (live.empty())
            s << " no handle counts";
        for (std::size_t k = 0; k < live.size(); ++k)
            s << " " << kKindNames[k] << " " << live[k];
    }
    return s.str();
}

std::map<std::string, Counts> gCounts;

bool OpenHostWindow(Slot& slot, int line)
{
    int w = 0, h = 0;
    Check(slot.mHost.HasEditor(), line, slot.mName + " has the has-editor flag");
    if (!slot.mHost.EditorSize(w, h))
    {
        Check(false, line, slot.mName + " gives its editor's size");
        return false;
    }
    if (!slot.mWindow)
    {
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        RECT r{0, 0, w, h};
        AdjustWindowRect(&r, style, FALSE);
        const int offset = static_cast<int>(gSlots.size() > 1 ? 40 * (slot.mName.back() % 4) : 0);
        slot.mWindow.reset(CreateWindowExW(0, kHostClass, orx::Utf8ToWide(slot.mName).c_str(),
                                           style, offset, offset, r.right - r.left,
                                           r.bottom - r.top, nullptr, nullptr,
                                           GetModuleHandleW(nullptr), nullptr));
        if (!slot.mWindow)
        {
            Check(false, line, "the host window for " + slot.mName + " is made");
            return false;
        }
        ShowWindow(slot.mWindow.get(), SW_SHOW);
        SetForegroundWindow(slot.mWindow.get());
        Pump(50);
    }
    RECT client{};
    GetClientRect(slot.mWindow.get(), &client);
    Check(client.right == w && client.bottom == h, line,
          slot.mName + " host window's client area is the editor's size " + std::to_string(w) +
              " x " + std::to_string(h));
    return true;
}

// Menu keys: typed into a popup menu's modal loop from a thread timer once the menu shows.
std::deque<WPARAM> gMenuKeys;
UINT_PTR gMenuTimer = 0;
std::string gMenuShot; // a screenshot to take before the first key
bool gMenuShotTaken = false;
bool ScreenShot(const std::string& file);

// A choice by text for the next popup menu: the items' texts, top level first.
std::vector<std::wstring> gMenuChoice;
bool gMenuChoiceFound = true;
bool gMenuPointerAside = false;
// The release of the button that opened the menu, let go while the menu shows (0: none due).
UINT gMenuRelease = 0;
LPARAM gMenuReleaseAt = 0;

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

void CALLBACK MenuKeyTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu) || !gTarget)
        return;
    // A menu that does not fit below the pointer opens over it, and the item under the pointer
    // takes the selection: the pointer goes aside first (as a user who chooses by keyboard keeps
    // the mouse off the menu), and the keys start from what is selected once it is there.
    if (!gMenuPointerAside)
    {
        RECT r{};
        GetWindowRect(menu, &r);
        SetCursorPos(r.left > 20 ? r.left - 10 : r.right + 10, r.top);
        gMenuPointerAside = true;
        return;
    }
    // The button that opened the menu is let go while it shows, as a user lets it go: the
    // menu's loop takes the release, and the editor never sees it.
    if (gMenuRelease)
    {
        PostMessageW(EditorOf(*gTarget), gMenuRelease, 0, gMenuReleaseAt);
        gMenuRelease = 0;
        return;
    }
    if (!gMenuChoice.empty())
    {
        const auto system = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        gMenuChoiceFound = system && KeysForChoice(system, gMenuChoice, gMenuKeys);
        gMenuChoice.clear();
        if (!gMenuChoiceFound)
            gMenuKeys.assign(1, VK_ESCAPE); // no such item: the menu closes unchosen
    }
    if (gMenuKeys.empty())
        return;
    if (!gMenuShot.empty())
    {
        gMenuShotTaken = ScreenShot(gMenuShot);
        gMenuShot.clear();
    }
    const WPARAM key = gMenuKeys.front();
    gMenuKeys.pop_front();
    PostMessageW(EditorOf(*gTarget), WM_KEYDOWN, key, 1);
    PostMessageW(EditorOf(*gTarget), WM_KEYUP, key, 0xC0000001);
    if (gMenuKeys.empty())
    {
        KillTimer(nullptr, gMenuTimer);
        gMenuTimer = 0;
    }
}

bool KeyCode(const std::string& name, WPARAM& vk)
{
    static const std::map<std::string, WPARAM> named = {
        {"down", VK_DOWN},     {"up", VK_UP},         {"left", VK_LEFT},  {"right", VK_RIGHT},
        {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"space", VK_SPACE}};
    if (const auto it = named.find(name); it != named.end())
    {
        vk = it->second;
        return true;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    {
        vk = static_cast<WPARAM>(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    return false;
}

// Where keys go: the focused window when it is the editor or its entry box, else the box,
// else the editor.
HWND KeyTarget(HWND editor)
{
    HWND focus = GetFocus();
    if (focus && (focus == editor || GetParent(focus) == editor))
        return focus;
    if (HWND box = EntryBoxOf(editor))
        return box;
    return editor;
}

void PostMouse(HWND editor, UINT msg, WPARAM keys, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(editor, &p);
    SetCursorPos(p.x, p.y);
    PostMessageW(editor, msg, keys, MAKELPARAM(x, y));
}

bool MenuPending()
{
    return !gMenuKeys.empty() || !gMenuChoice.empty();
}

// The release and the keys go in from a timer once a menu shows: the press that opens it is
// pumped alone, and the menu's modal loop runs inside that pump until the keys close it. A
// press that shows no menu gets its release afterwards.
void PressWithMenu(HWND editor, UINT down, UINT up, WPARAM keys, int x, int y, int line)
{
    gMenuTimer = SetTimer(nullptr, 0, 60, &MenuKeyTimer);
    gMenuChoiceFound = true;
    gMenuPointerAside = false;
    gMenuRelease = up;
    gMenuReleaseAt = MAKELPARAM(x, y);
    PostMouse(editor, down, keys, x, y);
    Pump(kSettleMs);
    if (gMenuRelease)
        PostMouse(editor, up, 0, x, y);
    gMenuRelease = 0;
    Pump(kSettleMs);
    if (!gMenuShot.empty() || gMenuShotTaken)
    {
        Check(gMenuShotTaken, line, "screenshot of the popup menu written");
        gMenuShot.clear();
        gMenuShotTaken = false;
    }
    if (!gMenuChoiceFound)
        Check(false, line, "the menu has the item to choose");
    if (gMenuTimer)
    {
        Check(false, line, "the menu keys were all typed into a popup menu");
        KillTimer(nullptr, gMenuTimer);
        gMenuTimer = 0;
        gMenuKeys.clear();
        gMenuChoice.clear();
    }
}

bool Screenshot(const Slot& slot, const std::string& file)
{
    RECT client{};
    GetClientRect(slot.mWindow.get(), &client);
    LICE_SysBitmap shot(client.right, client.bottom);
    if (!shot.getDC() || !shot.getBits())
        return false;
    {
        WindowDc dc(slot.mWindow.get());
        if (!dc.get() || !BitBlt(static_cast<HDC>(shot.getDC()), 0, 0, client.right, client.bottom,
                                 dc.get(), 0, 0, SRCCOPY))
            return false;
    }
    GdiFlush();
    if (!LICE::WritePngFile((file + ".png").c_str(), shot, false))
        return false;
    std::ofstream areas(file + ".areas");
    HWND editor = EditorOf(slot);
    for (HWND child = editor ? GetWindow(editor, GW_CHILD) : nullptr; child;
         child = GetWindow(child, GW_HWNDNEXT))
    {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
        areas << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << '\n';
    }
    Slot& s = const_cast<Slot&>(slot);
    const std::vector<uint8_t> state = s.mHost.GetChunk(true);
    std::ofstream out(file + ".state", std::ios::binary);
    out.write(reinterpret_cast<const char*>(state.data()),
              static_cast<std::streamsize>(state.size()));
    std::ofstream transport(file + ".transport");
    transport << edithost::WritePlayed(slot.mPlayed);
    return !state.empty() && static_cast<bool>(out) && static_cast<bool>(transport);
}

// The whole screen (wine's virtual desktop), e.g. with a popup menu on it.
bool ScreenShot(const std::string& file)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    LICE_SysBitmap shot(w, h);
    if (!shot.getDC() || !shot.getBits())
        return false;
    {
        WindowDc dc(nullptr);
        if (!dc.get() ||
            !BitBlt(static_cast<HDC>(shot.getDC()), 0, 0, w, h, dc.get(), 0, 0, SRCCOPY))
            return false;
    }
    GdiFlush();
    return LICE::WritePngFile((file + ".png").c_str(), shot, false);
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

// The value at offset of the plug-in's state chunk, little-endian, against the expected text.
void CheckChunkValue(Slot& slot, std::size_t offset, const std::string& type,
                     const std::string& expected, int line)
{
    const std::vector<uint8_t> chunk = slot.mHost.GetChunk(true);
    const std::size_t size = type == "byte" ? 1 : type == "int" ? 4 : type == "double" ? 8 : 0;
    if (size == 0 || offset + size > chunk.size())
    {
        Check(false, line,
              "no " + type + " at offset " + std::to_string(offset) + " of a state chunk of " +
                  std::to_string(chunk.size()) + " bytes");
        return;
    }
    uint64_t bits = 0;
    for (std::size_t i = 0; i < size; ++i)
        bits |= uint64_t{chunk[offset + i]} << (8 * i);
    std::string shown;
    bool equal = false;
    if (type == "double")
    {
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof(value));
        shown = std::to_string(value);
        char* end = nullptr;
        const double want = std::strtod(expected.c_str(), &end);
        equal = end && *end == '\0' && value == want;
    }
    else
    {
        const long long value = size == 4 ? static_cast<long long>(static_cast<int32_t>(bits))
                                          : static_cast<long long>(bits);
        shown = std::to_string(value);
        equal = shown == expected;
    }
    Check(equal, line,
          slot.mName + "'s state chunk holds " + shown + " at offset " + std::to_string(offset) +
              " (" + type + "), expected " + expected);
}

int ParamIndex(Slot& slot, const std::string& name)
{
    const int n = slot.mHost.Effect()->numParams;
    for (int i = 0; i < n; ++i)
        if (slot.mHost.ParamName(i) == name)
            return i;
    return -1;
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

bool IsInput(const std::string& name)
{
    return name == "click" || name == "rclick" || name == "dblclick" || name == "ctrlclick" ||
           name == "drag" || name == "wheel" || name == "type" || name == "key" ||
           name == "press" || name == "move" || name == "release";
}

// The findings of every plug-in's host calls so far, as failed checks.
void ReportHostCalls()
{
    for (auto& [name, slot] : gSlots)
        if (slot->mWatch)
            for (const edithost::CheckerFinding& f : slot->mWatch->Checker().TakeFindings())
                Check(false, f.mLine, f.mText);
}

void EditorClosed(Slot& slot, const std::string& how)
{
    if (slot.mWatch)
        slot.mWatch->Checker().EditorClosed(how);
}

void RunCommand(const edithost::Command& c, const std::string& outFolder)
{
    const auto& a = c.mArgs;
    int x = 0, y = 0, x1 = 0, y1 = 0, n = 0;
    HWND editor = gTarget ? EditorOf(*gTarget) : nullptr;
    const bool input = IsInput(c.mName) && c.mName != "release"; // a release may follow a close
    if (input && (!gTarget || !editor))
    {
        Check(false, c.mLine, c.mName + ": no open editor to send input to");
        return;
    }
    if (c.mName == "open" && a.size() == 1)
    {
        Slot* slot = Find(a[0], c.mLine);
        if (!slot || !OpenHostWindow(*slot, c.mLine))
            return;
        slot->mOpen = slot->mHost.OpenEditor(slot->mWindow.get());
        Check(slot->mOpen, c.mLine, "effEditOpen opens " + a[0] + "'s editor");
        gTarget = slot;
        Pump(kSettleMs);
    }
    else if (c.mName == "window" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
            OpenHostWindow(*slot, c.mLine);
    }
    else if (c.mName == "destroy-window" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            slot->mWindow.reset();
            slot->mOpen = false;
            Pump(kSettleMs);
            EditorClosed(*slot, "its window destroyed");
        }
    }
    else if (c.mName == "expect-editor-at" && a.size() == 3 && c.Int(1, x) && c.Int(2, y))
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            RECT r{};
            HWND editor = EditorOf(*slot);
            GetWindowRect(editor, &r);
            MapWindowPoints(nullptr, slot->mWindow.get(), reinterpret_cast<POINT*>(&r), 2);
            Check(editor && r.left == x && r.top == y, c.mLine,
                  a[0] + "'s editor is at " + std::to_string(r.left) + " " + std::to_string(r.top) +
                      " in its host window");
        }
    }
    else if (c.mName == "close" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            Check(slot->mHost.CloseEditor(), c.mLine, "effEditClose closes " + a[0] + "'s editor");
            slot->mOpen = false;
            Pump(kSettleMs);
            EditorClosed(*slot, "effEditClose");
        }
    }
    else if (c.mName == "target" && a.size() == 1)
    {
        gTarget = Find(a[0], c.mLine);
    }
    else if (c.mName == "pump" && c.Int(0, n))
    {
        Pump(n);
    }
    else if ((c.mName == "click" || c.mName == "ctrlclick") && MenuPending() && c.Int(0, x) &&
             c.Int(1, y))
    {
        const WPARAM keys = c.mName == "ctrlclick" ? MK_CONTROL : 0;
        PressWithMenu(editor, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | keys, x, y, c.mLine);
    }
    else if ((c.mName == "click" || c.mName == "dblclick" || c.mName == "ctrlclick") &&
             c.Int(0, x) && c.Int(1, y))
    {
        const WPARAM keys = c.mName == "ctrlclick" ? MK_CONTROL : 0;
        PostMouse(editor, WM_LBUTTONDOWN, MK_LBUTTON | keys, x, y);
        PostMouse(editor, WM_LBUTTONUP, keys, x, y);
        if (c.mName == "dblclick")
        {
            PostMouse(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
            PostMouse(editor, WM_LBUTTONUP, 0, x, y);
        }
        Pump(kSettleMs);
    }
    else if (c.mName == "rclick" && c.Int(0, x) && c.Int(1, y))
    {
        if (MenuPending())
        {
            PressWithMenu(editor, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, x, y, c.mLine);
            return;
        }
        // The press may run the value prompt; the release follows once it is there.
        PostMouse(editor, WM_RBUTTONDOWN, MK_RBUTTON, x, y);
        Pump(kSettleMs);
        PostMouse(editor, WM_RBUTTONUP, 0, x, y);
        Pump(kSettleMs);
    }
    else if (c.mName == "menuchoose" && !a.empty())
    {
        gMenuChoice.assign(1, std::wstring());
        for (const std::string& word : a)
        {
            if (word == ">")
                gMenuChoice.emplace_back();
            else
                gMenuChoice.back() +=
                    (gMenuChoice.back().empty() ? L"" : L" ") + orx::Utf8ToWide(word);
        }
    }
    else if (c.mName == "play" && a.size() == 3 && c.Int(1, x) && c.Int(2, n) && x >= 0 && n >= 0)
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            const edithost::PlayedStretch stretch{x, n, kPlayBlock};
            const int before = slot->mHost.ProcessCalls();
            std::atomic<bool> done{false};
            std::thread audio(
                [&]
                {
                    edithost::PlayThenStop(slot->mHost, stretch);
                    done = true;
                });
            while (!done)
                Pump(20);
            audio.join();
            slot->mPlayed.push_back(stretch);
            Pump(kSettleMs);
            const int blocks = slot->mHost.ProcessCalls() - before;
            Check(blocks == (n + kPlayBlock - 1) / kPlayBlock + 1, c.mLine,
                  a[0] + "'s host played " + std::to_string(blocks) +
                      " blocks with the editor open, the last one stopped (" +
                      std::to_string(slot->mHost.Events().size()) + " events so far)");
        }
    }
    else if (c.mName == "drag" && c.Int(0, x) && c.Int(1, y) && c.Int(2, x1) && c.Int(3, y1) &&
             c.Int(4, n) && n > 0)
    {
        PostMouse(editor, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Pump(30);
        for (int i = 1; i <= n; ++i)
        {
            PostMouse(editor, WM_MOUSEMOVE, MK_LBUTTON, x + (x1 - x) * i / n, y + (y1 - y) * i / n);
            Pump(30);
        }
        PostMouse(editor, WM_LBUTTONUP, 0, x1, y1);
        Pump(kSettleMs);
    }
    else if ((c.mName == "press" || c.mName == "move" || c.mName == "release") && c.Int(0, x) &&
             c.Int(1, y))
    {
        if (c.mName == "press")
            PostMouse(editor, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        else if (c.mName == "move")
            PostMouse(editor, WM_MOUSEMOVE, MK_LBUTTON, x, y);
        else if (editor)
            PostMouse(editor, WM_LBUTTONUP, 0, x, y);
        Pump(kSettleMs);
    }
    else if (c.mName == "wheel" && c.Int(0, x) && c.Int(1, y) && c.Int(2, n))
    {
        POINT p{x, y};
        ClientToScreen(editor, &p);
        SetCursorPos(p.x, p.y);
        PostMessageW(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, n * WHEEL_DELTA), MAKELPARAM(p.x, p.y));
        Pump(kSettleMs);
    }
    else if (c.mName == "menukeys" && !a.empty())
    {
        for (const std::string& k : a)
        {
            WPARAM vk = 0;
            if (!KeyCode(k, vk))
            {
                Check(false, c.mLine, "unknown key " + k);
                return;
            }
            gMenuKeys.push_back(vk);
        }
    }
    else if (c.mName == "menushot" && a.size() == 1)
    {
        gMenuShot = outFolder + "\\" + a[0];
        gMenuShotTaken = false;
    }
    else if (c.mName == "expect-font" && a.size() >= 2)
    {
        std::string family;
        for (std::size_t i = 1; i < a.size(); ++i)
            family += (i > 1 ? " " : "") + a[i];
        Check(FontFileNames(a[0], family), c.mLine,
              "the font GDI gives for " + a[0] + " is " + family);
    }
    else if (c.mName == "type" && a.size() == 1)
    {
        HWND to = KeyTarget(editor);
        for (const wchar_t ch : orx::Utf8ToWide(a[0]))
            PostMessageW(to, WM_CHAR, ch, 1);
        Pump(kSettleMs);
    }
    else if (c.mName == "key" && a.size() == 1)
    {
        WPARAM vk = 0;
        if (!KeyCode(a[0], vk))
        {
            Check(false, c.mLine, "unknown key " + a[0]);
            return;
        }
        HWND to = KeyTarget(editor);
        PostMessageW(to, WM_KEYDOWN, vk, 1);
        PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
        Pump(kSettleMs);
    }
    else if (c.mName == "expect" && a.size() == 3)
    {
        Slot* slot = Find(a[0], c.mLine);
        if (!slot)
            return;
        const int idx = ParamIndex(*slot, a[1]);
        const std::string shown = idx >= 0 ? slot->mHost.ParamDisplay(idx) : "(no such parameter)";
        Check(shown == a[2], c.mLine,
              a[0] + " " + a[1] + " shows '" + shown + "', expected '" + a[2] + "'");
    }
    else if (c.mName == "expect-edited" && a.size() == 1)
    {
        if (Slot* slot = Find(a[0], c.mLine))
            Check(slot->mWatch->LastEditChanged(), c.mLine,
                  "the last input changed " + a[0] + "'s state chunk");
    }
    else if (c.mName == "expect-chunk" && a.size() == 4 && c.Int(1, n) && n >= 0)
    {
        if (Slot* slot = Find(a[0], c.mLine))
            CheckChunkValue(*slot, static_cast<std::size_t>(n), a[2], a[3], c.mLine);
    }
    else if (c.mName == "expect-windows" && a.size() == 2 && c.Int(1, n))
    {
        if (Slot* slot = Find(a[0], c.mLine))
        {
            const int have = slot->mWindow ? CountChildren(slot->mWindow.get()) : 0;
            Check(have == n, c.mLine,
                  a[0] + "'s host window has " + std::to_string(have) +
                      " child windows, expected " + std::to_string(n));
        }
    }
    else if (c.mName == "counts" && a.size() == 1)
    {
        const Counts counts = TakeCounts();
        gCounts[a[0]] = counts;
        std::printf("counts %s: %s\n", a[0].c_str(), Describe(counts).c_str());
    }
    else if (c.mName == "same-counts" && a.size() == 2)
    {
        const auto i = gCounts.find(a[0]);
        const auto j = gCounts.find(a[1]);
        if (i == gCounts.end() || j == gCounts.end())
        {
            Check(false, c.mLine, "no counts recorded as " + a[0] + " or " + a[1]);
            return;
        }
        const Counts& p = i->second;
        const Counts& q = j->second;
        Check(
            p.mThreadWindows == q.mThreadWindows, c.mLine,
            "windows of the host thread (the system's count): " + std::to_string(p.mThreadWindows) +
                " at " + a[0] + ", " + std::to_string(q.mThreadWindows) + " at " + a[1]);
        if (p.mGdiObjects || q.mGdiObjects)
            Check(p.mGdiObjects == q.mGdiObjects && p.mUserObjects == q.mUserObjects, c.mLine,
                  "GDI and USER objects of the process (GetGuiResources) equal at " + a[0] +
                      " and " + a[1]);
        else
            std::printf("note: GetGuiResources answers 0 here; the libraries' own counts "
                        "stand in for it\n");
        for (const auto& [name, live] : p.mLibraryHandles)
        {
            const auto other = q.mLibraryHandles.find(name);
            Check(!live.empty() && other != q.mLibraryHandles.end() && other->second == live,
                  c.mLine, name + "'s live handles equal at " + a[0] + " and " + a[1]);
        }
    }
    else if (c.mName == "distinct-classes" && a.size() == 2)
    {
        Slot* p = Find(a[0], c.mLine);
        Slot* q = Find(a[1], c.mLine);
        if (!p || !q)
            return;
        wchar_t first[128] = {}, second[128] = {};
        GetClassNameW(EditorOf(*p), first, 128);
        GetClassNameW(EditorOf(*q), second, 128);
        const std::string f = orx::WideToUtf8(first), s = orx::WideToUtf8(second);
        char idP[16], idQ[16];
        std::snprintf(idP, sizeof(idP), "%08X", static_cast<unsigned>(p->mHost.Effect()->uniqueID));
        std::snprintf(idQ, sizeof(idQ), "%08X", static_cast<unsigned>(q->mHost.Effect()->uniqueID));
        Check(!f.empty() && f != s && f.find(idP) != std::string::npos &&
                  s.find(idQ) != std::string::npos,
              c.mLine, "editor window classes '" + f + "' and '" + s + "'");
        wchar_t title[32] = {};
        GetWindowTextW(EditorOf(*p), title, 32);
        Check(orx::WideToUtf8(title) == "IPlug", c.mLine, "the editor window's title is IPlug");
    }
    else if (c.mName == "screenshot" && a.size() == 2)
    {
        if (Slot* slot = Find(a[0], c.mLine))
            Check(Screenshot(*slot, outFolder + "\\" + a[1]), c.mLine,
                  "screenshot " + a[1] + ".png and its state written");
    }
    else
    {
        Check(false, c.mLine, "cannot read the command '" + c.mName + "'");
    }
}

// A command, with its effect on the target's state chunk judged when it is input: a change
// needs the plug-in's update-display.
void Run(const edithost::Command& c, const std::string& outFolder)
{
    for (auto& [name, slot] : gSlots)
        if (slot->mWatch)
            slot->mWatch->Checker().SetLine(c.mLine);
    Slot* edited =
        IsInput(c.mName) && gTarget && gTarget->mOpen && gTarget->mWatch ? gTarget : nullptr;
    if (edited)
        edited->mWatch->BeginEdit(c.mLine, edited->mHost.GetChunk(true));
    RunCommand(c, outFolder);
    if (edited)
        edited->mWatch->EndEdit(edited->mHost.GetChunk(true), [](int ms) { Pump(ms); });
    ReportHostCalls();
}

// A fresh instance of each library shows first whether the lock probe can see its instance
// lock at all; where it cannot, the checks of calls under the lock would never fail.
void CalibrateProbes()
{
    std::map<std::string, std::string> libraries; // path -> a slot's name
    for (const auto& [name, slot] : gSlots)
        libraries.emplace(slot->mPath, name);
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
    if (!edithost::ReadInvocation(argc, argv, "orx-edithost", run))
        return 2;
    const std::string& outFolder = run.mOut;

    WNDCLASSW wc{};
    wc.lpfnWndProc = &HostWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);

    for (const auto& [name, path] : run.mPlugins)
    {
        auto slot = std::make_unique<Slot>();
        slot->mName = name;
        slot->mPath = path;
        if (!slot->mHost.Load(path))
        {
            std::printf("FAIL: %s: %s\n0 passed, 1 failed\n", name.c_str(),
                        slot->mHost.Error().c_str());
            return 1;
        }
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(slot->mHost.Effect()->dispatcher), &slot->mModule);
        slot->mWatch = std::make_unique<edithost::HostCallWatch>(slot->mHost, name);
        slot->mHost.Start();
        gSlots[name] = std::move(slot);
    }
    ReportHostCalls();

    // Windows next: where the system gives this process none, no command can run. (32-bit
    // programs in the WoW64 mode of Debian 12's wine 8.0 get no display driver.)
    for (auto& [name, slot] : gSlots)
    {
        int w = 0, h = 0;
        const bool editor = slot->mHost.HasEditor() && slot->mHost.EditorSize(w, h);
        Check(editor, 0,
              name + " has an editor of " + std::to_string(w) + " x " + std::to_string(h));
    }
    if (HWND probe = CreateWindowExW(0, kHostClass, L"probe", WS_OVERLAPPED, 0, 0, 16, 16, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr))
    {
        DestroyWindow(probe);
    }
    else
    {
        std::printf("SKIP: the system gives this %d-bit process no window (error %lu)\n"
                    "%d passed, %d failed\n",
                    static_cast<int>(sizeof(void*) * 8), GetLastError(), gPassed, gFailed);
        return 77;
    }
    CalibrateProbes();

    for (const edithost::Command& c : edithost::ReadScript(run.mScriptText))
        Run(c, outFolder);

    for (auto& [name, slot] : gSlots)
    {
        slot->mWatch->Checker().Finish();
        if (slot->mOpen)
            slot->mHost.CloseEditor();
        slot->mWatch->Checker().EditorClosed("by the host at the end");
    }
    ReportHostCalls();
    for (auto& [name, slot] : gSlots)
    {
        std::printf("note: %s made %d host calls, %d of them on the editor's thread, each "
                    "checked for the instance lock\n",
                    name.c_str(), slot->mWatch->Checker().Calls(),
                    slot->mWatch->Checker().Probed());
        slot->mWatch.reset();
        slot->mHost.Close();
        slot->mWindow.reset();
    }
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 && gPassed > 0 ? 0 : 1;
}
