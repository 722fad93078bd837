#pragma once
// Sections under the instance lock that other threads hand to the audio thread: a few fixed
// slots, each holding a section that waits to run, runs, or has run. The thread that hands one
// in waits until it has run, so a section is a call and a pointer to what the caller keeps on
// its stack; nothing is copied or allocated. Only atomics: the hand-over is free of locks, and
// what a section did is seen by its caller once it finds the section done.

#include <atomic>

namespace orx
{
class HandedSections
{
public:
    using Call = void (*)(void* context) noexcept;
    static constexpr int kSlots = 4;

    // The caller's: the slot the section waits in, or -1 when every slot is taken.
    int Hand(Call call, void* context) noexcept;
    // The caller's: true once the section in `slot` has run; the slot is free again then.
    bool Ran(int slot) noexcept;
    // The caller's: takes the section back unless it runs or ran; true when it was taken back
    // (the caller then runs it itself) and the slot is free again.
    bool TakeBack(int slot) noexcept;

    // The holder's: true when a section may wait (one load, for every block).
    bool AnyWaiting() const noexcept { return mWaiting.load(std::memory_order_acquire) > 0; }
    // The holder's: runs every section that waits; answers how many ran.
    int RunWaiting() noexcept;

private:
    enum State : int
    {
        kFree,
        kFilling, // being handed in or taken back
        kWaiting,
        kRunning,
        kDone,
    };
    struct Slot
    {
        std::atomic<int> mState{kFree};
        Call mCall = nullptr; // written before kWaiting is published
        void* mContext = nullptr;
    };
    Slot mSlots[kSlots];
    // At least the number of waiting sections: raised before one is published, lowered when
    // one is taken to run or taken back.
    std::atomic<int> mWaiting{0};
};
} // namespace orx
