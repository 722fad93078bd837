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

void IMutex::Enter() noexcept
{
    EnterCriticalSection(Native(mStorage));
    if (mDepth++ == 0)
        mOwner.store(CallerToken(), std::memory_order_relaxed);
}

void IMutex::Leave() noexcept
{
    if (--mDepth == 0)
        mOwner.store(0, std::memory_order_relaxed);
    LeaveCriticalSection(Native(mStorage));
}

bool IMutex::HeldByCaller() const noexcept
{
    return mOwner.load(std::memory_order_relaxed) == CallerToken();
}

std::uintptr_t IMutex::CallerToken() noexcept
{
    return static_cast<std::uintptr_t>(GetCurrentThreadId()); // never 0
}
