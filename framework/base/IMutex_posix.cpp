#include "IMutex.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <pthread.h>
#include <sched.h>
#include <time.h>

namespace
{
static_assert(sizeof(pthread_mutex_t) <= 64, "IMutex storage too small for pthread_mutex_t");

// How long a waiter spins before it sleeps: longer than the editor's critical sections. A holder
// that takes longer was most likely put aside by the scheduler, and runs again sooner once the
// waiter sleeps and lends it its priority.
constexpr auto kSpinTime = std::chrono::microseconds(20);

pthread_mutex_t* Native(unsigned char* storage) noexcept
{
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}

void CpuRelax() noexcept
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Every critical section is short: the holder usually lets go within microseconds, and a waiter
// that watches for that takes the lock at once, where one that sleeps must first be woken by the
// kernel. True when the lock was taken within the spin time. The waiter only reads the owner
// word while it is set, and tries the lock (a write) once it is clear; the word is a hint, the
// try decides.
bool SpinToTake(pthread_mutex_t* mutex, const std::atomic<std::uintptr_t>& owner) noexcept
{
    const auto until = std::chrono::steady_clock::now() + kSpinTime;
    do
    {
        for (int i = 0; i < 64 && owner.load(std::memory_order_relaxed) != 0; ++i)
            CpuRelax();
        if (owner.load(std::memory_order_relaxed) == 0 && pthread_mutex_trylock(mutex) == 0)
            return true;
    } while (std::chrono::steady_clock::now() < until);
    return false;
}
} // namespace

IMutex::IMutex() noexcept
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    // Hosts run their audio threads at a real-time priority. A holder of ordinary priority that
    // the scheduler put aside for other work then runs at once, at the waiter's priority, until
    // it lets go; without this the audio thread would wait for all of that other work.
    pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT);
    pthread_mutex_t* native = new (mStorage) pthread_mutex_t;
    // Where the system has no priority inheritance, a plain recursive lock.
    if (pthread_mutex_init(native, &attr) != 0)
    {
        pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_NONE);
        pthread_mutex_init(native, &attr);
    }
    pthread_mutexattr_destroy(&attr);
}

IMutex::~IMutex()
{
    pthread_mutex_destroy(Native(mStorage));
}

bool IMutex::TakeNative() noexcept
{
    pthread_mutex_t* native = Native(mStorage);
    if (pthread_mutex_trylock(native) == 0)
        return false;
    if (!SpinToTake(native, mOwner))
        pthread_mutex_lock(native);
    return true;
}

void IMutex::GiveNative() noexcept
{
    pthread_mutex_unlock(Native(mStorage));
}

void IMutex::Pause(std::int64_t ns) noexcept
{
    // Sleeps overshoot by tens of microseconds; a shorter wait only gives the processor away.
    constexpr std::int64_t kSleepSlack = 100000;
    if (ns > 2 * kSleepSlack)
    {
        const timespec t{0, static_cast<long>(std::min<std::int64_t>(ns - kSleepSlack, 999999999))};
        nanosleep(&t, nullptr);
    }
    else
        sched_yield();
}

bool IMutex::CallerIsRealTime() noexcept
{
    int policy = SCHED_OTHER;
    sched_param param{};
    return pthread_getschedparam(pthread_self(), &policy, &param) == 0 &&
           (policy == SCHED_FIFO || policy == SCHED_RR);
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
