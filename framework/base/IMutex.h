#pragma once
// The instance lock: a recursive mutual-exclusion lock. The same thread may take it again while
// holding it (a state write takes it and then writes the parameter values, which take it too).
// The platform lock lives in fixed storage inside the object, so taking and creating it never
// allocates. The audio thread waits for it in every block, so everything done under it is kept
// short; a waiter spins for a moment before it sleeps, and a holder runs at the priority of the
// thread that waits for it.

#include <atomic>
#include <cstddef>
#include <cstdint>

class IMutex
{
public:
    IMutex() noexcept;
    ~IMutex();
    IMutex(const IMutex&) = delete;
    IMutex& operator=(const IMutex&) = delete;

    void Enter() noexcept;
    void Leave() noexcept;
    // True when the calling thread holds the lock, at any depth: host calls wait until the
    // outermost holder lets go.
    bool HeldByCaller() const noexcept;

private:
    // A number naming the calling thread, never 0.
    static std::uintptr_t CallerToken() noexcept;

    // Large enough for a Win32 critical section and a pthread mutex on every target we build.
    static constexpr std::size_t kStorageSize = 64;
    // Each member on a cache line of its own: a waiter that spins reads the owner word, and the
    // holder's counting of its nested entries must not make it fetch that line back each time.
    static constexpr std::size_t kLine = 64;
    alignas(kLine) unsigned char mStorage[kStorageSize];
    // Written by the holder only: another thread reads 0 or a token not its own.
    alignas(kLine) std::atomic<std::uintptr_t> mOwner{0};
    alignas(kLine) int mDepth = 0; // touched by the holder only
};

// Holds the lock for its scope; Release gives it back early (the close request must release
// the lock before the instance that owns it is deleted).
class IMutexLock
{
public:
    explicit IMutexLock(IMutex& mutex) noexcept : mpMutex(&mutex) { mutex.Enter(); }
    ~IMutexLock() { Release(); }
    IMutexLock(const IMutexLock&) = delete;
    IMutexLock& operator=(const IMutexLock&) = delete;

    void Release() noexcept
    {
        if (mpMutex)
            mpMutex->Leave();
        mpMutex = nullptr;
    }

private:
    IMutex* mpMutex;
};
