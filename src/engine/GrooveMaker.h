#pragma once
// The groove grid: 48 steps of velocity, mute and lock, an active step count and the cursor of
// the step now playing. The editor writes velocities and flags while the audio thread reads
// them, without the instance lock: every value is a single atomic word or byte, so a reader
// sees the old or the new value and never a torn one.

#include "Check.h"

#include <atomic>
#include <cstdint>

class GrooveMaker
{
public:
    static constexpr int MAX_STEPS = 48;
    static constexpr int kDefaultVelocity = 128;

    GrooveMaker() noexcept
    {
        for (int i = 0; i < MAX_STEPS; ++i)
        {
            mVelocities[i].store(kDefaultVelocity, std::memory_order_relaxed);
            mMuted[i].store(0, std::memory_order_relaxed);
            mLocked[i].store(0, std::memory_order_relaxed);
        }
    }

    // Every word of another grid (an undo step's copy); each is read as it stands.
    void CopyFrom(const GrooveMaker& other) noexcept
    {
        SetNumStepsActive(other.NumStepsActive());
        for (int i = 0; i < MAX_STEPS; ++i)
        {
            mVelocities[i].store(other.mVelocities[i].load(std::memory_order_relaxed),
                                 std::memory_order_relaxed);
            mMuted[i].store(other.mMuted[i].load(std::memory_order_relaxed),
                            std::memory_order_relaxed);
            mLocked[i].store(other.mLocked[i].load(std::memory_order_relaxed),
                             std::memory_order_relaxed);
        }
        mCursor.store(other.Cursor(), std::memory_order_relaxed);
    }

    int NumStepsActive() const noexcept { return mNumStepsActive.load(std::memory_order_relaxed); }
    void SetNumStepsActive(int n) noexcept { mNumStepsActive.store(n, std::memory_order_relaxed); }

    // Stored as given (presets carry any number); the engine clamps what it plays.
    int Velocity(int step) const noexcept
    {
        return mVelocities[Index(step)].load(std::memory_order_relaxed);
    }
    void SetVelocity(int step, int velocity) noexcept
    {
        mVelocities[Index(step)].store(velocity, std::memory_order_relaxed);
    }
    bool Muted(int step) const noexcept
    {
        return mMuted[Index(step)].load(std::memory_order_relaxed) != 0;
    }
    void SetMuted(int step, bool muted) noexcept
    {
        mMuted[Index(step)].store(muted ? 1 : 0, std::memory_order_relaxed);
    }
    bool Locked(int step) const noexcept
    {
        return mLocked[Index(step)].load(std::memory_order_relaxed) != 0;
    }
    void SetLocked(int step, bool locked) noexcept
    {
        mLocked[Index(step)].store(locked ? 1 : 0, std::memory_order_relaxed);
    }

    int Cursor() const noexcept { return mCursor.load(std::memory_order_relaxed); }
    // Places the cursor at the step of the given pulse within the active steps.
    void SetCursorFromPulse(int pulse) noexcept
    {
        const int n = NumStepsActive();
        ORX_CHECK(kTag, n > 0, "mNumStepsActive > 0");
        mCursor.store(n > 0 && pulse >= 0 ? pulse % n : 0, std::memory_order_relaxed);
    }
    // One step on, back to 0 at the active count.
    void AdvanceCursor() noexcept
    {
        int next = Cursor() + 1;
        if (next >= NumStepsActive() || next >= MAX_STEPS)
            next = 0;
        mCursor.store(next, std::memory_order_relaxed);
    }

private:
    static constexpr const char* kTag = "src/GrooveMaker";

    static int Index(int step) noexcept
    {
        ORX_CHECK(kTag, step >= 0 && step < MAX_STEPS, "step >= 0 && step < MAX_STEPS");
        return step < 0 ? 0 : (step >= MAX_STEPS ? MAX_STEPS - 1 : step);
    }

    std::atomic<int32_t> mNumStepsActive{MAX_STEPS};
    std::atomic<int32_t> mVelocities[MAX_STEPS];
    std::atomic<uint8_t> mMuted[MAX_STEPS];
    std::atomic<uint8_t> mLocked[MAX_STEPS];
    std::atomic<int32_t> mCursor{0};
};

static_assert(std::atomic<int32_t>::is_always_lock_free &&
                  std::atomic<uint8_t>::is_always_lock_free,
              "the groove's words must be plain loads and stores on every target");
