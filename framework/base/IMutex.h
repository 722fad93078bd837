#pragma once
// The instance lock: a recursive mutual-exclusion lock. The same thread may take it again while
// holding it (a state write takes it and then writes the parameter values, which take it too).
// The platform lock lives in fixed storage inside the object, so taking and creating it never
// allocates. The audio thread takes it in every block, with EnterFirst; the other threads take
// it with Enter, which keeps their sections in the gap after a block: they start only early in
// the pause between two blocks, or wait for the next one, so a section the scheduler stretches
// ends before the audio thread asks again instead of making it wait. A waiter spins for a moment
// before it sleeps, and a holder runs at the priority of the thread that waits for it.
//
// A section in a gap still makes the audio thread wait when the machine stalls its thread for
// longer than the gap, as guests' processors are now and then for hundreds of microseconds.
// Sections given to Run are therefore handed to the audio thread while it plays at a short
// period: it runs them at the start of its next block, and never waits for a stalled holder.

#include "AudioGap.h"
#include "HandedSections.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

class IMutex
{
public:
    IMutex() noexcept;
    ~IMutex();
    IMutex(const IMutex&) = delete;
    IMutex& operator=(const IMutex&) = delete;

    void Enter() noexcept;
    // Enter for the audio thread. Its blocks' rhythm is learnt from these calls while other
    // threads take the lock; while it asks or holds, no thread that asks with Enter takes the
    // lock before it.
    void EnterFirst() noexcept;
    void Leave() noexcept;
    // True when the calling thread holds the lock, at any depth: host calls wait until the
    // outermost holder lets go.
    bool HeldByCaller() const noexcept;

    // Runs `section` under the lock and returns once it has run. While an audio thread plays at
    // a short period (AudioGap.h), the section is handed to it and runs at the start of its next
    // block while the caller waits; otherwise, and when the audio thread does not come, the
    // caller takes the lock and runs it itself. So a section must not allocate or free, touch a
    // file, call the host or wait for anything: the audio thread may run it. It runs with the
    // caller's thread role (ThreadRole.h).
    template <class Section>
    void Run(Section&& section) noexcept
    {
        RunSection(&CallSection<std::remove_reference_t<Section>>, &section);
    }
    // True while the calling thread runs a section another thread handed it: a section that
    // would have to allocate can then decline (its caller runs it again itself, IMutex::Run's
    // callers that need this check it and say so).
    static bool RunsHandedWork() noexcept;
    // The holder's: nanoseconds the audio thread's last outermost EnterFirst spent running
    // sections handed to it (0 when none waited).
    std::int64_t HandedWorkNs() const noexcept { return mHandedNs; }
    // The holder's: true when the audio thread's last outermost EnterFirst found another thread
    // holding the lock, so that its wait was for that thread and not only for the machine.
    bool AudioFoundHeld() const noexcept { return mAudioFoundHeld; }

private:
    template <class Section>
    static void CallSection(void* section) noexcept
    {
        (*static_cast<Section*>(section))();
    }
    void RunSection(orx::HandedSections::Call call, void* context) noexcept;
    // True when the calling thread hands its sections to the audio thread.
    bool HandsOver() const noexcept;
    // The audio thread's, holding the lock: runs what waits for it.
    void RunHanded() noexcept;

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
    // Tells the audio thread that another thread takes the lock: it learns its rhythm (a clock
    // read per block, most of an idle block's cost) only while one did within kWatchNs.
    void Watch() noexcept;
    orx::AudioRhythm Rhythm() const noexcept;
    bool AudioIn() const noexcept;
    // The platform lock, taken and given back once per outermost entry; true when another
    // thread held it at the ask.
    bool TakeNative() noexcept;
    void GiveNative() noexcept;

    // Large enough for a Win32 critical section and a pthread mutex on every target we build.
    static constexpr std::size_t kStorageSize = 64;
    // Each member on a cache line of its own: a waiter that spins reads the owner word, and the
    // holder's counting of its nested entries must not make it fetch that line back each time.
    static constexpr std::size_t kLine = 64;
    // How often a caller that handed a section over looks whether it ran.
    static constexpr std::int64_t kHandedPollNs = 25000;
    // The audio thread stops learning its rhythm 100 ms after another thread last took the lock
    // (an open editor takes it every frame); those renew the mark at most every 10 ms.
    static constexpr std::int64_t kWatchNs = 100000000;
    static constexpr std::int64_t kWatchRenewNs = 10000000;
    alignas(kLine) unsigned char mStorage[kStorageSize];
    // Written by the holder only: another thread reads 0 or a token not its own.
    alignas(kLine) std::atomic<std::uintptr_t> mOwner{0};
    alignas(kLine) int mDepth = 0; // touched by the holder only
    bool mAudioHolds = false;      // touched by the holder only
    // The audio thread's rhythm, written by it alone: when it last asked, the ask of the last
    // block that ended (equal to the first when it is out: no clock read as it leaves), and the
    // smoothed time from one ask to the next (0 until learnt). A waiter that reads an older
    // "left" takes the audio thread for in, and only looks again.
    alignas(kLine) std::atomic<std::int64_t> mAudioAskedAt{0};
    std::atomic<std::int64_t> mAudioLeftAt{0};
    std::atomic<std::int64_t> mAudioPeriod{0};
    std::atomic<std::uintptr_t> mAudioThread{0}; // a thread does not wait for itself
    std::atomic<std::int64_t> mGaveUpOn{0};      // the ask a waiter stopped waiting after
    std::atomic<bool> mAskTimed{false};          // the audio thread's last ask told the time
    // When another thread last took the lock, 0 when none did for a while; on a line of its own,
    // as other threads write it and the audio thread reads it in every block.
    alignas(kLine) std::atomic<std::int64_t> mWatchedAt{0};
    alignas(kLine) orx::HandedSections mHanded;
    std::int64_t mHandedNs = 0;   // touched by the holder only
    bool mAudioFoundHeld = false; // touched by the holder only
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
