#pragma once
// The instance lock: a recursive mutual-exclusion lock. The same thread may take it again while
// holding it (a state write takes it and then writes the parameter values, which take it too).
// The platform lock lives in fixed storage inside the object, so taking and creating it never
// allocates.

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
    alignas(16) unsigned char mStorage[kStorageSize];
    // Written by the holder only: another thread reads 0 or a token not its own.
    std::atomic<std::uintptr_t> mOwner{0};
    int mDepth = 0; // touched by the holder only
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
