#pragma once
// Owners of the Win32 handles our code makes (windows, timers, device contexts, fonts, menus,
// bitmaps): each releases its handle when it goes, and every kind is counted while alive, per
// library. The counts sit in a small named shared section, so a test host in the same process
// can read them without the library exporting anything (HandleCountsName tells it where), and
// a leak shows even where the system does not count GUI objects (wine answers 0 to
// GetGuiResources). Windows builds only; every function is noexcept and safe on any thread.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

namespace orx::win32
{

enum class HandleKind : int
{
    kWindow = 0,
    kTimer,
    kDc,
    kFont,
    kMenu,
    kBitmap,
    kCount,
};

inline constexpr int kHandleKinds = static_cast<int>(HandleKind::kCount);
inline constexpr std::uint32_t kHandleCountsMagic = 0x4F525848; // "HXRO"

// The shared section's layout: live handles of each kind, and how many were ever made.
struct HandleCounts
{
    std::uint32_t mMagic;
    std::int32_t mLive[kHandleKinds];
    std::int32_t mMade[kHandleKinds];
};

// The section's name for the library loaded at module in process pid.
std::wstring HandleCountsName(unsigned long pid, const void* module);

// One more (delta 1) or one less (delta -1) live handle of kind, in this library's counts.
void CountHandle(HandleKind kind, int delta) noexcept;
int LiveHandles(HandleKind kind) noexcept;

// Single ownership of one handle, counted while held. Traits give the null value and the
// release: struct { using Type = ...; static constexpr HandleKind kKind; static void Release(Type);
// }
template <class Traits>
class Owned
{
public:
    using Type = typename Traits::Type;

    Owned() noexcept = default;
    explicit Owned(Type handle) noexcept { Adopt(handle); }
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : mHandle(std::exchange(other.mHandle, Type{})) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            mHandle = std::exchange(other.mHandle, Type{});
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Type get() const noexcept { return mHandle; }
    explicit operator bool() const noexcept { return mHandle != Type{}; }

    // Releases the held handle (if any) and holds handle instead.
    void reset(Type handle = Type{}) noexcept
    {
        if (mHandle != Type{})
        {
            Traits::Release(mHandle);
            CountHandle(Traits::kKind, -1);
        }
        mHandle = Type{};
        Adopt(handle);
    }
    // Gives the handle up without releasing it: someone else (the system, a parent) now owns
    // it, so it no longer counts as ours.
    Type release() noexcept
    {
        if (mHandle != Type{})
            CountHandle(Traits::kKind, -1);
        return std::exchange(mHandle, Type{});
    }

private:
    void Adopt(Type handle) noexcept
    {
        mHandle = handle;
        if (mHandle != Type{})
            CountHandle(Traits::kKind, 1);
    }

    Type mHandle{};
};

struct WindowTraits
{
    using Type = HWND;
    static constexpr HandleKind kKind = HandleKind::kWindow;
    static void Release(HWND h) noexcept { DestroyWindow(h); }
};
struct FontTraits
{
    using Type = HFONT;
    static constexpr HandleKind kKind = HandleKind::kFont;
    static void Release(HFONT h) noexcept { DeleteObject(h); }
};
struct BitmapTraits
{
    using Type = HBITMAP;
    static constexpr HandleKind kKind = HandleKind::kBitmap;
    static void Release(HBITMAP h) noexcept { DeleteObject(h); }
};
struct MenuTraits
{
    using Type = HMENU;
    static constexpr HandleKind kKind = HandleKind::kMenu;
    static void Release(HMENU h) noexcept { DestroyMenu(h); }
};
struct MemoryDcTraits
{
    using Type = HDC;
    static constexpr HandleKind kKind = HandleKind::kDc;
    static void Release(HDC h) noexcept { DeleteDC(h); }
};

using OwnedWindow = Owned<WindowTraits>;
using OwnedFont = Owned<FontTraits>;
using OwnedBitmap = Owned<BitmapTraits>;
using OwnedMenu = Owned<MenuTraits>;
// A device context made with CreateCompatibleDC (or CreateDC).
using OwnedMemoryDc = Owned<MemoryDcTraits>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc
{
public:
    explicit WindowDc(HWND window) noexcept : mWindow(window), mDc(GetDC(window))
    {
        if (mDc)
            CountHandle(HandleKind::kDc, 1);
    }
    ~WindowDc()
    {
        if (mDc)
        {
            ReleaseDC(mWindow, mDc);
            CountHandle(HandleKind::kDc, -1);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return mDc; }

private:
    HWND mWindow;
    HDC mDc;
};

// The device context of one WM_PAINT, between BeginPaint and EndPaint.
class PaintDc
{
public:
    explicit PaintDc(HWND window) noexcept : mWindow(window), mDc(BeginPaint(window, &mPaint))
    {
        if (mDc)
            CountHandle(HandleKind::kDc, 1);
    }
    ~PaintDc()
    {
        if (mDc)
        {
            EndPaint(mWindow, &mPaint);
            CountHandle(HandleKind::kDc, -1);
        }
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const noexcept { return mDc; }

private:
    HWND mWindow;
    PAINTSTRUCT mPaint{};
    HDC mDc;
};

// A window timer (SetTimer with a window and an id), killed when the owner goes.
class WindowTimer
{
public:
    WindowTimer() noexcept = default;
    ~WindowTimer() { Stop(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    bool Start(HWND window, UINT_PTR id, UINT periodMs) noexcept
    {
        Stop();
        if (!window || !SetTimer(window, id, periodMs, nullptr))
            return false;
        mWindow = window;
        mId = id;
        CountHandle(HandleKind::kTimer, 1);
        return true;
    }
    void Stop() noexcept
    {
        if (!mWindow)
            return;
        KillTimer(mWindow, mId);
        Forget();
    }
    // The window is gone and its timers with it.
    void Forget() noexcept
    {
        if (!mWindow)
            return;
        mWindow = nullptr;
        CountHandle(HandleKind::kTimer, -1);
    }
    bool Running() const noexcept { return mWindow != nullptr; }

private:
    HWND mWindow = nullptr;
    UINT_PTR mId = 0;
};

} // namespace orx::win32
