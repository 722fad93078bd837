#include "IMutex.h"

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
}

void IMutex::Leave() noexcept
{
    pthread_mutex_unlock(Native(mStorage));
}
