#include "IMutex.h"

#include <cstring>
#include <new>
#include <pthread.h>

namespace
{
static_assert(sizeof(pthread_mutex_t) <= 64, "IMutex storage too small for pthread_mutex_t");

pthread_mutex_t* Native(unsigned char* storage) noexcept
{
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}
} // namespace

IMutex::IMutex() noexcept
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (mStorage) pthread_mutex_t, &attr);
    pthread_mutexattr_destroy(&attr);
}

IMutex::~IMutex()
{
    pthread_mutex_destroy(Native(mStorage));
}

void IMutex::Enter() noexcept
{
    pthread_mutex_lock(Native(mStorage));
    if (mDepth++ == 0)
        mOwner.store(CallerToken(), std::memory_order_relaxed);
}

void IMutex::Leave() noexcept
{
    if (--mDepth == 0)
        mOwner.store(0, std::memory_order_relaxed);
    pthread_mutex_unlock(Native(mStorage));
}

bool IMutex::HeldByCaller() const noexcept
{
    return mOwner.load(std::memory_order_relaxed) == CallerToken();
}

std::uintptr_t IMutex::CallerToken() noexcept
{
    // pthread_self reads the thread's own record: no call into the kernel, no allocation.
    static_assert(sizeof(pthread_t) <= sizeof(std::uintptr_t), "pthread_t wider than a word");
    std::uintptr_t token = 0;
    const pthread_t self = pthread_self();
    std::memcpy(&token, &self, sizeof(self));
    return token;
}
