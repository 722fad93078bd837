// The window system on Win32: the editor is a child window of the host's window, with a frame
// timer, the value prompt's entry box (an EDIT control whose procedure we replace while it
// exists), popup menus, the common dialogs and the shell's URL opener. Native messages become
// WindowEvents for the editor's window layer (its event sink), which holds all the logic. Every
// handle is held by a counted owner (Win32Handle.h).
//
// The window class is registered once per library while one of its editor windows is open,
// under a name of its own (the plug-in's unique id and the library's address): two libraries
// of the same framework in one host would otherwise share a class name and one of them would
// run the other's window procedure.

#include "IMouseKeys.h"
#include "IPopupMenu.h"
#include "IWindowEventSink.h"
#include "LICE_IBitmap.h"
#include "ThreadRole.h"
#include "Utf8Text.h"
#include "Win32Handle.h"
#include "WindowEvent.h"
#include "WindowSystem.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windows.h>
#undef DrawText
#undef LoadBitmap
#undef CreateWindow

#include <cstdio>
#include <map>
#include <string>

namespace
{

using namespace orx::win32;

constexpr UINT_PTR kFrameTimerId = 2;
constexpr int kEntryBoxId = 99;
constexpr int kMaxPath = 4096;
constexpr wchar_t kWindowTitle[] = L"IPlug";

HINSTANCE ThisModule() noexcept
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ClassNameFor(int uniqueId)
{
    wchar_t name[64];
    std::swprintf(name, 64, L"IPlugWndClass-%08X-%llX", static_cast<unsigned>(uniqueId),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(ThisModule())));
    return name;
}

// Open editor windows per class name, in this library: the class exists while above 0.
std::map<std::wstring, int>& OpenWindows()
{
    static std::map<std::wstring, int> open;
    return open;
}

IMouseKeys KeysFromMessage(WPARAM wParam) noexcept
{
    IMouseKeys keys;
    keys.mL = (wParam & MK_LBUTTON) != 0;
    keys.mR = (wParam & MK_RBUTTON) != 0;
    keys.mS = (wParam & MK_SHIFT) != 0;
    keys.mC = (wParam & MK_CONTROL) != 0;
    keys.mA = GetKeyState(VK_MENU) < 0;
    return keys;
}

std::wstring Wide(const std::string& text)
{
    return orx::Utf8ToWide(text);
}

std::string WindowText(HWND window, int maxLength)
{
    if (!window || maxLength <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(maxLength) + 1, L'\0');
    const int n = GetWindowTextW(window, text.data(), maxLength + 1);
    std::string utf8 = orx::WideToUtf8(text.c_str(), n > 0 ? n : 0);
    if (utf8.size() > static_cast<std::size_t>(maxLength))
        utf8.resize(static_cast<std::size_t>(maxLength));
    return utf8;
}

std::string ModuleFileName(HMODULE module)
{
    std::wstring name(kMaxPath, L'\0');
    const DWORD n = GetModuleFileNameW(module, name.data(), kMaxPath);
    if (n == 0 || n >= static_cast<DWORD>(kMaxPath))
        return {};
    return orx::WideToUtf8(name.c_str(), static_cast<int>(n));
}

// Fills menu with the entries of popup, ids from nextId on, depth-first (an item before the
// entries of its submenu). Answers whether any entry is checked.
bool BuildSystemMenu(HMENU menu, int& nextId, const IPopupMenu& popup)
{
    bool anyChecked = false;
    for (int i = 0; i < popup.NItems(); ++i)
    {
        const IPopupMenu::Item& item = *popup.GetItem(i);
        const int flags = item.Flags();
        std::wstring text = Wide(item.Text());
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.wID = static_cast<UINT>(nextId++);
        info.dwTypeData = text.data();
        if (flags & IPopupMenu::Item::kChecked)
        {
            info.fState |= MFS_CHECKED;
            anyChecked = true;
        }
        if (flags & IPopupMenu::Item::kDisabled)
            info.fState |= MFS_DISABLED | MFS_GRAYED;
        if (flags & IPopupMenu::Item::kHighlighted)
            info.fState |= MFS_HILITE;
        if (flags & IPopupMenu::Item::kSeparator)
            info.fType |= MFT_SEPARATOR;
        if (flags & IPopupMenu::Item::kBreak)
            info.fType |= MFT_MENUBARBREAK;
        OwnedMenu submenu;
        if (const IPopupMenu* sub = item.Submenu())
        {
            submenu.reset(CreatePopupMenu());
            if (submenu)
            {
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = submenu.get();
                const bool subChecked = BuildSystemMenu(submenu.get(), nextId, *sub);
                if (subChecked && !(flags & IPopupMenu::Item::kNoSubmenuCheck))
                    info.fState |= MFS_CHECKED;
                anyChecked = anyChecked || subChecked;
            }
        }
        if (InsertMenuItemW(menu, static_cast<UINT>(i), TRUE, &info))
            submenu.release(); // destroyed with its parent menu from now on
    }
    return anyChecked;
}

// Whether the system reports an internet connection. wininet is loaded only for the question:
// it brings the sockets library along, which not every host process needs (and which 32-bit
// programs under wine's WoW64 mode cannot even initialise), and none of it should keep the
// plug-in from loading.
bool Connected() noexcept
{
    struct Library
    {
        HMODULE mModule = LoadLibraryW(L"wininet.dll");
        ~Library()
        {
            if (mModule)
                FreeLibrary(mModule);
        }
    } wininet;
    if (!wininet.mModule)
        return false;
    using Query = BOOL(WINAPI*)(LPDWORD, DWORD);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(wininet.mModule, "InternetGetConnectedState")));
    DWORD state = 0;
    return query && query(&state, 0);
}

class Win32WindowSystem final : public WindowSystem
{
public:
    Win32WindowSystem(IWindowEventSink& sink, int classTag) : mSink(sink), mClassTag(classTag) {}
    ~Win32WindowSystem() override { DestroyEditorWindow(); }

    bool CreateEditorWindow(void* parent, const IRect& rect) noexcept override;
    void DestroyEditorWindow() noexcept override;
    void* EditorWindow() const noexcept override { return mWindow.get(); }
    IRect EditorWindowRect() const noexcept override;
    void GrowEditorWindow(int dw, int dh) noexcept override;
    void FocusEditorWindow() noexcept override { SetFocus(mWindow.get()); }

    void StartFrameTimer(int periodMs) noexcept override
    {
        mTimer.Start(mWindow.get(), kFrameTimerId, static_cast<UINT>(periodMs));
    }
    void StopFrameTimer() noexcept override { mTimer.Stop(); }

    void CapturePointer() noexcept override { SetCapture(mWindow.get()); }
    void ReleasePointer() noexcept override
    {
        if (mWindow && GetCapture() == mWindow.get())
            ReleaseCapture();
    }
    bool PointerCaptured() const noexcept override
    {
        return mWindow && GetCapture() == mWindow.get();
    }
    void TrackPointerLeave() noexcept override
    {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = mWindow.get();
        TrackMouseEvent(&track);
    }

    void Invalidate(const IRect& rect) noexcept override
    {
        const RECT r{rect.mL, rect.mT, rect.mR, rect.mB};
        InvalidateRect(mWindow.get(), &r, FALSE);
    }
    void UpdateNow() noexcept override { UpdateWindow(mWindow.get()); }
    bool Present(const LICE_IBitmap& surface, const IRect& rect) noexcept override;

    int ShowPopupMenu(const IPopupMenu& menu) noexcept override;

    bool CreateEntryBox(const IRect& rect, const std::string& text,
                        int fontHeight) noexcept override;
    void DestroyEntryBox() noexcept override;
    std::string EntryText(int maxLength) const noexcept override
    {
        return WindowText(mEntry.get(), maxLength);
    }
    void SetEntryText(const std::string& text) noexcept override
    {
        SetWindowTextW(mEntry.get(), Wide(text).c_str());
    }

    bool ChooseFile(std::string& path, bool save, const std::string& folder) noexcept override;
    bool ChooseColour(IColorARGB& color, const std::string& prompt) noexcept override;
    bool AskYesNo(const std::string& caption, const std::string& text) noexcept override
    {
        return MessageBoxW(mWindow.get(), Wide(text).c_str(), Wide(caption).c_str(), MB_YESNO) ==
               IDYES;
    }
    void ShowMessage(const std::string& caption, const std::string& text) noexcept override
    {
        MessageBoxW(mWindow.get(), Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
    }
    bool OpenUrl(const std::string& url) noexcept override
    {
        if (!Connected())
            return false;
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(mWindow.get(), L"open", Wide(url).c_str(), nullptr, nullptr, SW_SHOW));
        return result > 32;
    }

    std::string HostProgramPath() const noexcept override { return ModuleFileName(nullptr); }
    std::string ModulePath(void* module) const noexcept override
    {
        return ModuleFileName(module ? static_cast<HMODULE>(module) : ThisModule());
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    static LRESULT CALLBACK EntryProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    static UINT_PTR CALLBACK ColourHook(HWND dialog, UINT msg, WPARAM wParam,
                                        LPARAM lParam) noexcept;

    LRESULT Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    void Send(WindowEvent::EKind kind) noexcept
    {
        WindowEvent e;
        e.mKind = kind;
        mSink.HandleEvent(e);
    }
    void SendMouse(WindowEvent::EKind kind, LPARAM lParam, WPARAM wParam, bool right) noexcept
    {
        WindowEvent e;
        e.mKind = kind;
        e.mX = static_cast<short>(LOWORD(lParam));
        e.mY = static_cast<short>(HIWORD(lParam));
        e.mKeys = KeysFromMessage(wParam);
        e.mRightButton = right;
        mSink.HandleEvent(e);
    }
    // The window went without DestroyEditorWindow (its parent was destroyed): forget it.
    void Forget() noexcept;
    void UnregisterClassIfLast() noexcept;

    IWindowEventSink& mSink;
    int mClassTag;
    std::wstring mClassName;
    OwnedWindow mWindow;
    WindowTimer mTimer;
    OwnedWindow mEntry;
    OwnedFont mEntryFont;
    WNDPROC mpEntryProc = nullptr;
    COLORREF mCustomColours[16] = {};
    bool mDestroying = false;
};

bool Win32WindowSystem::CreateEditorWindow(void* parent, const IRect& rect) noexcept
{
    if (!parent || mWindow)
        return false;
    try
    {
        mClassName = ClassNameFor(mClassTag);
        int& open = OpenWindows()[mClassName];
        if (open++ == 0)
        {
            WNDCLASSW wc{};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &WindowProc;
            wc.hInstance = ThisModule();
            wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
            wc.lpszClassName = mClassName.c_str();
            // Already there when the last window went with its parent: a class cannot be
            // unregistered while one of its windows is being destroyed. The name is this
            // library's own, so the class is ours.
            if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            {
                UnregisterClassIfLast();
                return false;
            }
        }
    }
    catch (...)
    {
        return false;
    }
    HWND window = CreateWindowExW(0, mClassName.c_str(), kWindowTitle, WS_CHILD | WS_VISIBLE,
                                  rect.mL, rect.mT, rect.W(), rect.H(), static_cast<HWND>(parent),
                                  nullptr, ThisModule(), this);
    if (!window)
    {
        UnregisterClassIfLast();
        return false;
    }
    mWindow.reset(window);
    return true;
}

void Win32WindowSystem::DestroyEditorWindow() noexcept
{
    if (!mWindow)
        return;
    DestroyEntryBox();
    mTimer.Stop();
    mDestroying = true;
    mWindow.reset();
    mDestroying = false;
    UnregisterClassIfLast();
}

void Win32WindowSystem::Forget() noexcept
{
    mEntry.release();
    mEntryFont.reset();
    mpEntryProc = nullptr;
    mTimer.Forget();
    mWindow.release();
    UnregisterClassIfLast();
}

void Win32WindowSystem::UnregisterClassIfLast() noexcept
{
    auto& open = OpenWindows();
    const auto it = open.find(mClassName);
    if (it == open.end())
        return;
    if (--it->second <= 0)
    {
        open.erase(it);
        UnregisterClassW(mClassName.c_str(), ThisModule());
    }
}

IRect Win32WindowSystem::EditorWindowRect() const noexcept
{
    // In the parent's client coordinates, where a new child window is placed: measured from
    // the parent's outer corner instead, the editor would move by the parent's border and
    // caption each time it is opened again.
    RECT r{};
    GetWindowRect(mWindow.get(), &r);
    MapWindowPoints(nullptr, GetParent(mWindow.get()), reinterpret_cast<POINT*>(&r), 2);
    return IRect(r.left, r.top, r.right, r.bottom);
}

void Win32WindowSystem::GrowEditorWindow(int dw, int dh) noexcept
{
    if (!mWindow)
        return;
    RECT old{};
    GetClientRect(mWindow.get(), &old);
    auto grow = [dw, dh](HWND w)
    {
        RECT r{};
        GetWindowRect(w, &r);
        SetWindowPos(w, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
    };
    auto plainChild = [](HWND w)
    {
        return w && (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) &&
               !(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_MDICHILD);
    };
    grow(mWindow.get());
    if (plainChild(mWindow.get()))
    {
        HWND parent = GetParent(mWindow.get());
        grow(parent);
        if (plainChild(parent))
            grow(GetParent(parent));
    }
    InvalidateRect(mWindow.get(), &old, FALSE);
}

bool Win32WindowSystem::Present(const LICE_IBitmap& surface, const IRect& rect) noexcept
{
    PaintDc paint(mWindow.get());
    if (!paint.get())
        return false;
    BitBlt(paint.get(), rect.mL, rect.mT, rect.W(), rect.H(), static_cast<HDC>(surface.getDC()),
           rect.mL, rect.mT, SRCCOPY);
    return true;
}

int Win32WindowSystem::ShowPopupMenu(const IPopupMenu& menu) noexcept
{
    if (!mWindow)
        return 0;
    OwnedMenu system(CreatePopupMenu());
    if (!system)
        return 0;
    int nextId = 1;
    try
    {
        BuildSystemMenu(system.get(), nextId, menu);
    }
    catch (...)
    {
        return 0;
    }
    POINT p{};
    GetCursorPos(&p);
    const BOOL id = TrackPopupMenu(system.get(), TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y, 0,
                                   mWindow.get(), nullptr);
    return id > 0 && id < nextId ? static_cast<int>(id) : 0;
}

bool Win32WindowSystem::CreateEntryBox(const IRect& rect, const std::string& text,
                                       int fontHeight) noexcept
{
    if (!mWindow || mEntry)
        return false;
    // One line that scrolls sideways: a box that cannot scroll refuses every character past
    // its width (a value longer than the one it opened with, "1.25" and a "5" after it, could
    // not be typed), and a centred box of several lines never scrolls sideways.
    HWND box = CreateWindowExW(
        0, L"EDIT", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL, rect.mL,
        rect.mT, rect.W(), rect.H(), mWindow.get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryBoxId)), ThisModule(), nullptr);
    if (!box)
        return false;
    mEntry.reset(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    SetFocus(box);
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    mpEntryProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EntryProc)));
    mEntryFont.reset(CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial"));
    if (mEntryFont)
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(mEntryFont.get()), FALSE);
    return true;
}

void Win32WindowSystem::DestroyEntryBox() noexcept
{
    if (!mEntry)
        return;
    const bool hadFocus = GetFocus() == mEntry.get();
    if (mpEntryProc)
        SetWindowLongPtrW(mEntry.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mpEntryProc));
    mpEntryProc = nullptr;
    mEntry.reset();
    mEntryFont.reset();
    // The keys go back to the editor rather than nowhere.
    if (hadFocus && mWindow && !mDestroying)
        SetFocus(mWindow.get());
}

bool Win32WindowSystem::ChooseFile(std::string& path, bool save, const std::string& folder) noexcept
{
    if (!mWindow)
        return false;
    wchar_t file[256] = {};
    const std::wstring start = Wide(folder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = mWindow.get();
    ofn.lpstrFile = file;
    ofn.nMaxFile = 255;
    ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    BOOL chosen = FALSE;
    if (save)
    {
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        chosen = GetSaveFileNameW(&ofn);
    }
    else
    {
        ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&ofn);
    }
    if (!chosen)
        return false;
    path = orx::WideToUtf8(file);
    return !path.empty();
}

UINT_PTR CALLBACK Win32WindowSystem::ColourHook(HWND dialog, UINT msg, WPARAM,
                                                LPARAM lParam) noexcept
{
    if (msg == WM_INITDIALOG)
    {
        const auto* cc = reinterpret_cast<const CHOOSECOLORW*>(lParam);
        if (cc && cc->lCustData)
            SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(cc->lCustData));
    }
    return 0;
}

bool Win32WindowSystem::ChooseColour(IColorARGB& color, const std::string& prompt) noexcept
{
    if (!mWindow)
        return false;
    const std::wstring title = Wide(prompt);
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = mWindow.get();
    cc.rgbResult = RGB(color.mR & 0xFF, color.mG & 0xFF, color.mB & 0xFF);
    cc.lpCustColors = mCustomColours;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    cc.lCustData = reinterpret_cast<LPARAM>(title.c_str());
    cc.lpfnHook = &ColourHook;
    if (!ChooseColorW(&cc))
        return false;
    color.mR = GetRValue(cc.rgbResult);
    color.mG = GetGValue(cc.rgbResult);
    color.mB = GetBValue(cc.rgbResult);
    return true;
}

LRESULT CALLBACK Win32WindowSystem::WindowProc(HWND window, UINT msg, WPARAM wParam,
                                               LPARAM lParam) noexcept
{
    if (msg == WM_NCCREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, msg, wParam, lParam);
    return self->Handle(window, msg, wParam, lParam);
}

LRESULT Win32WindowSystem::Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    if (msg == WM_CREATE)
    {
        SetFocus(window);
        return 0;
    }
    if (msg == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (window == mWindow.get() && !mDestroying)
            Forget();
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    // During creation the window is not ours yet: nothing reaches the editor before it is.
    if (window != mWindow.get())
        return DefWindowProcW(window, msg, wParam, lParam);

    switch (msg)
    {
    case WM_MOUSEMOVE:
        SendMouse(WindowEvent::kMouseMove, lParam, wParam, false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        SendMouse(WindowEvent::kMouseDown, lParam, wParam, msg == WM_RBUTTONDOWN);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        SendMouse(WindowEvent::kMouseUp, lParam, wParam, msg == WM_RBUTTONUP);
        return 0;
    case WM_LBUTTONDBLCLK:
        SendMouse(WindowEvent::kDoubleClick, lParam, wParam, false);
        return 0;
    case WM_MOUSEWHEEL:
    {
        // The system gives the position on the screen.
        RECT r{};
        GetWindowRect(window, &r);
        WindowEvent e;
        e.mKind = WindowEvent::kWheel;
        e.mX = static_cast<short>(LOWORD(lParam)) - r.left;
        e.mY = static_cast<short>(HIWORD(lParam)) - r.top;
        e.mKeys = KeysFromMessage(GET_KEYSTATE_WPARAM(wParam));
        e.mNotches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        mSink.HandleEvent(e);
        return 0;
    }
    case WM_MOUSELEAVE:
        Send(WindowEvent::kMouseLeave);
        return 0;
    case WM_KEYDOWN:
    {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        WindowEvent e;
        e.mKind = WindowEvent::kKeyDown;
        e.mX = p.x;
        e.mY = p.y;
        e.mVirtualKey = static_cast<int>(wParam);
        e.mKeys.mC = GetKeyState(VK_CONTROL) < 0;
        e.mKeys.mS = GetKeyState(VK_SHIFT) < 0;
        e.mKeys.mA = GetKeyState(VK_MENU) < 0;
        mSink.HandleEvent(e);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        Send(WindowEvent::kActivate);
        return MA_ACTIVATE;
    case WM_PAINT:
    {
        RECT r{};
        if (GetUpdateRect(window, &r, FALSE))
        {
            WindowEvent e;
            e.mKind = WindowEvent::kPaint;
            e.mRect = IRect(r.left, r.top, r.right, r.bottom);
            mSink.HandleEvent(e);
            // Nothing presented (no controls, nothing dirty there): the area is done anyway,
            // or the system would ask again at once.
            if (mWindow && GetUpdateRect(window, nullptr, FALSE))
                ValidateRect(window, nullptr);
        }
        return 0;
    }
    case WM_CLOSE:
        Send(WindowEvent::kClose);
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimerId)
        {
            Send(WindowEvent::kTimer);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK Win32WindowSystem::EntryProc(HWND box, UINT msg, WPARAM wParam,
                                              LPARAM lParam) noexcept
{
    auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    if (!self || box != self->mEntry.get() || !self->mpEntryProc)
        return DefWindowProcW(box, msg, wParam, lParam);
    const WNDPROC own = self->mpEntryProc;
    switch (msg)
    {
    case WM_SETFOCUS:
        self->Send(WindowEvent::kEntryFocus);
        break;
    case WM_KILLFOCUS:
        self->Send(WindowEvent::kEntryBlur);
        break;
    case WM_GETDLGCODE:
    {
        LRESULT code = CallWindowProcW(own, box, msg, wParam, lParam);
        const auto* queried = reinterpret_cast<const MSG*>(lParam);
        if (queried && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN)
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
        {
            self->Send(WindowEvent::kEntryCommit);
            return 0;
        }
        if (wParam == VK_ESCAPE)
        {
            self->Send(WindowEvent::kEntryCancel);
            return 0;
        }
        break;
    case WM_CHAR:
        // The characters of Return and Escape would otherwise end up in the text.
        if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B)
            return 0;
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 1)
        {
            self->Send(WindowEvent::kEntryCommit);
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(own, box, msg, wParam, lParam);
}

} // namespace

std::unique_ptr<WindowSystem> CreateWindowSystem(IWindowEventSink& sink,
                                                 int windowClassTag) noexcept
{
    ORX_MAIN_THREAD();
    try
    {
        return std::make_unique<Win32WindowSystem>(sink, windowClassTag);
    }
    catch (...)
    {
        return nullptr;
    }
}
