#include "IMutex.h"

#include <new>
#include <windows.h>

namespace
{
static_assert(sizeof(CRITICAL_SECTION) <= 64, "IMutex storage too small for CRITICAL_SECTION");

CRITICAL_SECTION* Native(unsigned char* storage) noexcept
{
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
} // namespace

// A critical section is recursive by design: the owning thread may enter it again. Critical
// sections under it are short, so a waiter spins a while before it sleeps.
IMutex::IMutex() noexcept
{
    constexpr DWORD kSpinCount = 4000;
    InitializeCriticalSectionAndSpinCount(new (mStorage) CRITICAL_SECTION, kSpinCount);
}

IMutex::~IMutex()
{
    DeleteCriticalSection(Native(mStorage));
}

bool IMutex::TakeNative() noexcept
{
    if (TryEnterCriticalSection(Native(mStorage)))
        return false;
    EnterCriticalSection(Native(mStorage));
    return true;
}

void IMutex::GiveNative() noexcept
{
    LeaveCriticalSection(Native(mStorage));
}

void IMutex::Pause(std::int64_t ns) noexcept
{
    // Sleep counts in the system's timer ticks (up to 15.6 ms): only a long wait sleeps.
    constexpr std::int64_t kTick = 16000000;
    if (ns > 2 * kTick)
        Sleep(static_cast<DWORD>((ns - kTick) / 1000000));
    else
        SwitchToThread();
}

bool IMutex::CallerIsRealTime() noexcept
{
    // Hosts raise their audio threads above normal (time-critical, or through the multimedia
    // class scheduler); an editor's thread runs at normal priority.
    return GetThreadPriority(GetCurrentThread()) > THREAD_PRIORITY_NORMAL;
}

std::uintptr_t IMutex::CallerToken() noexcept
{
    return static_cast<std::uintptr_t>(GetCurrentThreadId()); // never 0
}
