// The instance lock's entries, the same on every platform: counting nested entries, keeping
// other threads' sections in the audio thread's pauses (AudioGap.h), and handing them to the
// audio thread (HandedSections.h). The platform lock itself is in IMutex_<platform>.cpp.

#include "IMutex.h"

#include "ThreadRole.h"

#include <algorithm>
#include <chrono>

namespace
{
// Set once a thread has played a block of any instance: hosts spread their blocks over a pool of
// real-time threads, and one of them may set a parameter before its first block of this instance.
thread_local bool tPlaysAudio = false;
// Set while this thread runs sections another thread handed it.
thread_local bool tRunsHanded = false;
} // namespace

std::int64_t IMutex::Now() noexcept
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void IMutex::Enter() noexcept
{
    // Taken again by its holder (handlers under a load, view calls under a handler): counted
    // here, without a call into the platform lock.
    if (HeldByCaller())
    {
        ++mDepth;
        return;
    }
    Watch();
    for (;;)
    {
        WaitForAudioGap();
        TakeNative();
        // The audio thread asked between the look and the take: it goes first.
        if (!AudioIn())
            break;
        GiveNative();
    }
    mDepth = 1;
    mAudioHolds = false;
    mOwner.store(CallerToken(), std::memory_order_relaxed);
}

void IMutex::EnterFirst() noexcept
{
    if (HeldByCaller())
    {
        ++mDepth;
        return;
    }
    tPlaysAudio = true;
    AudioAsks();
    mAudioFoundHeld = TakeNative();
    mDepth = 1;
    mAudioHolds = true;
    mOwner.store(CallerToken(), std::memory_order_relaxed);
    mHandedNs = 0;
    if (mHanded.AnyWaiting())
        RunHanded();
}

void IMutex::RunHanded() noexcept
{
    const std::int64_t start = Now();
    {
        const orx::HandedWorkScope role;
        tRunsHanded = true;
        mHanded.RunWaiting();
        tRunsHanded = false;
    }
    mHandedNs = Now() - start;
}

bool IMutex::RunsHandedWork() noexcept
{
    return tRunsHanded;
}

bool IMutex::HandsOver() const noexcept
{
    const orx::AudioRhythm r = Rhythm();
    // Not to an audio thread that let a caller give up on it and has not asked since, and never
    // from an audio thread: it would wait for itself, or for another that may wait for it.
    return r.mAskedAt != mGaveUpOn.load(std::memory_order_relaxed) &&
           orx::HandOverToAudio(r, Now()) &&
           mAudioThread.load(std::memory_order_relaxed) != CallerToken() && !tPlaysAudio &&
           !CallerIsRealTime();
}

void IMutex::RunSection(orx::HandedSections::Call call, void* context) noexcept
{
    const bool held = HeldByCaller();
    if (!held)
        Watch();
    if (!held && HandsOver())
    {
        const int slot = mHanded.Hand(call, context);
        if (slot >= 0)
        {
            const orx::AudioRhythm r = Rhythm();
            const std::int64_t deadline = orx::HandOverDeadline(r, Now());
            for (;;)
            {
                if (mHanded.Ran(slot))
                    return;
                const std::int64_t now = Now();
                if (now >= deadline && mHanded.TakeBack(slot))
                {
                    // Whoever comes next does not wait for this audio thread either.
                    mGaveUpOn.store(Rhythm().mAskedAt, std::memory_order_relaxed);
                    break;
                }
                // Until the audio thread's next block is due: a sleep when that is far enough
                // off, so the caller does not spin through the period.
                const orx::AudioRhythm next = Rhythm();
                Pause(std::max(next.mAskedAt + next.mPeriod - now, kHandedPollNs));
            }
        }
    }
    IMutexLock lock(*this);
    call(context);
}

void IMutex::Leave() noexcept
{
    if (--mDepth > 0)
        return;
    const bool audio = mAudioHolds;
    mAudioHolds = false;
    mOwner.store(0, std::memory_order_relaxed);
    GiveNative();
    if (audio)
        mAudioLeftAt.store(mAudioAskedAt.load(std::memory_order_relaxed),
                           std::memory_order_release);
}

bool IMutex::HeldByCaller() const noexcept
{
    return mOwner.load(std::memory_order_relaxed) == CallerToken();
}

orx::AudioRhythm IMutex::Rhythm() const noexcept
{
    orx::AudioRhythm r;
    r.mAskedAt = mAudioAskedAt.load(std::memory_order_seq_cst);
    r.mLeftAt = mAudioLeftAt.load(std::memory_order_seq_cst);
    r.mPeriod = mAudioPeriod.load(std::memory_order_relaxed);
    return r;
}

bool IMutex::AudioIn() const noexcept
{
    const orx::AudioRhythm r = Rhythm();
    return r.mAskedAt > r.mLeftAt;
}

void IMutex::AudioAsks() noexcept
{
    mAudioThread.store(CallerToken(), std::memory_order_relaxed);
    std::int64_t watched = mWatchedAt.load(std::memory_order_relaxed);
    if (watched == 0)
    {
        // Nobody else takes the lock: no rhythm to learn, and no clock to read. The ask is still
        // told, as a number past the last leave. Ordered loosely: a thread that starts to ask
        // now finds no rhythm and may keep the lock for its section (the native lock excludes).
        if (mAskTimed.load(std::memory_order_relaxed))
        {
            mAudioPeriod.store(0, std::memory_order_relaxed);
            mAskTimed.store(false, std::memory_order_relaxed);
        }
        mAudioAskedAt.store(mAudioLeftAt.load(std::memory_order_relaxed) + 1,
                            std::memory_order_release);
        return;
    }
    const std::int64_t now = Now();
    orx::AudioRhythm before = Rhythm();
    if (!mAskTimed.load(std::memory_order_relaxed))
        before.mAskedAt = 0; // the last ask told no time: no interval from it
    mAudioPeriod.store(orx::NextAudioPeriod(before, now), std::memory_order_relaxed);
    mAskTimed.store(true, std::memory_order_relaxed);
    if (now - watched > kWatchNs)
        mWatchedAt.compare_exchange_strong(watched, 0, std::memory_order_relaxed);
    // Published before the lock is asked for: from here on a thread in Enter lets it go first.
    mAudioAskedAt.store(now, std::memory_order_seq_cst);
}

void IMutex::Watch() noexcept
{
    // Audio threads need no rhythm. Others write the word at most every kWatchRenewNs: the
    // audio thread reads it in every block.
    if (tPlaysAudio || mAudioThread.load(std::memory_order_relaxed) == CallerToken())
        return;
    const std::int64_t now = Now();
    if (now - mWatchedAt.load(std::memory_order_relaxed) >= kWatchRenewNs)
        mWatchedAt.store(now, std::memory_order_relaxed);
}

void IMutex::WaitForAudioGap() noexcept
{
    orx::AudioRhythm r = Rhythm();
    // No audio thread, or one that has not asked again since a waiter gave up on it (a host's
    // audio thread waiting for something the caller holds). An audio thread itself never waits:
    // the one that plays this instance, one that plays any, or one running at a real-time
    // priority (a host's, setting a parameter before a block).
    if (r.mPeriod <= 0 || r.mAskedAt == mGaveUpOn.load(std::memory_order_relaxed) ||
        mAudioThread.load(std::memory_order_relaxed) == CallerToken() || tPlaysAudio ||
        CallerIsRealTime())
        return;
    const std::int64_t deadline = orx::GapDeadline(r, Now());
    for (;;)
    {
        const std::int64_t now = Now();
        const orx::GapAnswer answer = orx::AskForGap(r, now, deadline);
        if (answer.mStart)
        {
            if (now >= deadline)
                mGaveUpOn.store(r.mAskedAt, std::memory_order_relaxed);
            return;
        }
        Pause(answer.mPause);
        r = Rhythm();
    }
}
