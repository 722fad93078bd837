#pragma once
// The instance lock: a recursive mutual-exclusion lock. The same thread may take it again while
// holding it (a state write takes it and then writes the parameter values, which take it too).
// The platform lock lives in fixed storage inside the object, so taking and creating it never
// allocates. The audio thread takes it in every block, with EnterFirst; the other threads take
// it with Enter, which keeps their sections in the gap after a block: they start only early in
// the pause between two blocks, or wait for the next one, so a section the scheduler stretches
// ends before the audio thread asks again instead of making it wait. A waiter spins for a moment
// before it sleeps, and a holder runs at the priority of the thread that waits for it.

#include "AudioGap.h"

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
    // Enter for the audio thread. Its blocks' rhythm is learnt from these calls; while it asks
    // or holds, no thread that asks with Enter takes the lock before it.
    void EnterFirst() noexcept;
    void Leave() noexcept;
    // True when the calling thread holds the lock, at any depth: host calls wait until the
    // outermost holder lets go.
    bool HeldByCaller() const noexcept;

private:
    // A number naming the calling thread, never 0.
    static std::uintptr_t CallerToken() noexcept;
    static std::int64_t Now() noexcept; // steady clock, nanoseconds
    // True on a thread the system runs at a real-time priority, as hosts run their audio threads.
    static bool CallerIsRealTime() noexcept;
    // Lets the caller go for up to about this long, without holding anything.
    static void Pause(std::int64_t ns) noexcept;
    // Until the audio thread is out and its next block is far enough off (AudioGap.h); at once
    // when no audio thread takes this lock.
    void WaitForAudioGap() noexcept;
    void AudioAsks() noexcept;
    orx::AudioRhythm Rhythm() const noexcept;
    bool AudioIn() const noexcept;
    // The platform lock, taken and given back once per outermost entry.
    void TakeNative() noexcept;
    void GiveNative() noexcept;

    // Large enough for a Win32 critical section and a pthread mutex on every target we build.
    static constexpr std::size_t kStorageSize = 64;
    // Each member on a cache line of its own: a waiter that spins reads the owner word, and the
    // holder's counting of its nested entries must not make it fetch that line back each time.
    static constexpr std::size_t kLine = 64;
    alignas(kLine) unsigned char mStorage[kStorageSize];
    // Written by the holder only: another thread reads 0 or a token not its own.
    alignas(kLine) std::atomic<std::uintptr_t> mOwner{0};
    alignas(kLine) int mDepth = 0; // touched by the holder only
    bool mAudioHolds = false;      // touched by the holder only
    // The audio thread's rhythm, written by it alone: when it last asked and last let go, and
    // the smoothed time from one ask to the next (0 until learnt).
    alignas(kLine) std::atomic<std::int64_t> mAudioAskedAt{0};
    std::atomic<std::int64_t> mAudioLeftAt{0};
    std::atomic<std::int64_t> mAudioPeriod{0};
    std::atomic<std::uintptr_t> mAudioThread{0}; // a thread does not wait for itself
    std::atomic<std::int64_t> mGaveUpOn{0};      // the ask a waiter stopped waiting after
};

// Holds the lock for its scope; Release gives it back early (the close request must release
// the lock before the instance that owns it is deleted).
class IMutexLock
{
public:
    explicit IMutexLock(IMutex& mutex) noexcept : mpMutex(&mutex) { mutex.Enter(); }
    struct First
    {
    };
    // The audio thread's hold: see IMutex::EnterFirst.
    IMutexLock(IMutex& mutex, First) noexcept : mpMutex(&mutex) { mutex.EnterFirst(); }
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
