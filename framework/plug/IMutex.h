#pragma once
// The instance lock: a recursive mutual-exclusion lock. The same thread may take it again while
// holding it (a state write takes it and then writes the parameter values, which take it too).
// The platform lock lives in fixed storage inside the object, so taking and creating it never
// allocates.

#include <cstddef>

class IMutex
{
public:
    IMutex() noexcept;
    ~IMutex();
    IMutex(const IMutex&) = delete;
    IMutex& operator=(const IMutex&) = delete;

    void Enter() noexcept;
    void Leave() noexcept;

private:
    // Large enough for a Win32 critical section and a pthread mutex on every target we build.
    static constexpr std::size_t kStorageSize = 64;
    alignas(16) unsigned char mStorage[kStorageSize];
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
