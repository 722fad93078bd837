#pragma once
// What the plug-in owes the host after an edit: gesture begins and ends, changed values and the
// notice that the state changed. A host may take its own locks inside these callbacks while its
// audio thread, holding them, waits for our instance lock in a process call; so the notices are
// recorded here under the instance lock, from either thread, and sent later on the main thread
// once the lock is free (IPlugBase::FlushHostNotices). Fixed storage: recording never
// allocates, so the audio thread may record too (a controller bound to a parameter).
//
// Not thread-safe on its own: every operation runs under the instance lock, except Waiting.

#include <atomic>
#include <cstdint>

class HostNotices
{
public:
    enum class Kind : std::uint8_t
    {
        kBeginEdit,
        kValue,
        kEndEdit,
    };

    struct Notice
    {
        Kind mKind = Kind::kValue;
        int mParamIdx = -1;
        double mValue = 0.0; // normalised, for kValue
    };

    static constexpr int kCapacity = 512;

    // Appends a notice; a value that follows a value of the same parameter replaces it (the
    // host needs only the latest). False, with the notice dropped and counted, when full. Room
    // is kept for the end of every recorded begin, and the end of a dropped begin is dropped
    // with it, so the host never sees a gesture unbalanced.
    bool Record(Kind kind, int paramIdx, double value = 0.0) noexcept;
    void RecordStateChanged() noexcept { mStateChanged.store(true, std::memory_order_relaxed); }

    // Moves up to max of the oldest waiting notices into out and answers how many.
    int TakeNotices(Notice* out, int max) noexcept;
    // Answers whether a state change waits, and forgets it.
    bool TakeStateChanged() noexcept;

    // [any-thread] Without the lock: whether anything may wait to be sent (with the state change
    // when asked). A flush takes the lock only then; what a thread records while another looks
    // is seen by the next flush.
    bool Waiting(bool withStateChange) const noexcept
    {
        return mAny.load(std::memory_order_relaxed) ||
               (withStateChange && mStateChanged.load(std::memory_order_relaxed));
    }

    bool Empty() const noexcept { return mCount == 0; }
    bool StateChangedPending() const noexcept
    {
        return mStateChanged.load(std::memory_order_relaxed);
    }
    unsigned Dropped() const noexcept { return mDropped; }

private:
    static constexpr int kMaxDroppedBegins = 8;

    bool Append(Kind kind, int paramIdx, double value) noexcept;

    Notice mNotices[kCapacity];
    int mCount = 0;
    int mOpenBegins = 0; // recorded begins whose end is not recorded yet
    int mDroppedBegins[kMaxDroppedBegins] = {};
    int mNumDroppedBegins = 0;
    std::atomic<bool> mStateChanged{false};
    std::atomic<bool> mAny{false}; // mCount > 0, for Waiting
    unsigned mDropped = 0;
};
