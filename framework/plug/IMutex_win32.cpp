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

// A critical section is recursive by design: the owning thread may enter it again.
IMutex::IMutex() noexcept
{
    InitializeCriticalSection(new (mStorage) CRITICAL_SECTION);
}

IMutex::~IMutex()
{
    DeleteCriticalSection(Native(mStorage));
}

void IMutex::Enter() noexcept
{
    EnterCriticalSection(Native(mStorage));
}

void IMutex::Leave() noexcept
{
    LeaveCriticalSection(Native(mStorage));
}
