#include "HandedSections.h"

namespace orx
{
int HandedSections::Hand(Call call, void* context) noexcept
{
    for (int i = 0; i < kSlots; ++i)
    {
        Slot& slot = mSlots[i];
        int expected = kFree;
        if (!slot.mState.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
            continue;
        slot.mCall = call;
        slot.mContext = context;
        mWaiting.fetch_add(1, std::memory_order_relaxed);
        // Publishes the call, the context and everything the caller wrote before.
        slot.mState.store(kWaiting, std::memory_order_release);
        return i;
    }
    return -1;
}

bool HandedSections::Ran(int slot) noexcept
{
    Slot& s = mSlots[slot];
    // Acquires what the section did.
    if (s.mState.load(std::memory_order_acquire) != kDone)
        return false;
    s.mState.store(kFree, std::memory_order_release);
    return true;
}

bool HandedSections::TakeBack(int slot) noexcept
{
    Slot& s = mSlots[slot];
    int expected = kWaiting;
    if (!s.mState.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
        return false;
    mWaiting.fetch_sub(1, std::memory_order_relaxed);
    s.mState.store(kFree, std::memory_order_release);
    return true;
}

int HandedSections::RunWaiting() noexcept
{
    int ran = 0;
    for (Slot& slot : mSlots)
    {
        int expected = kWaiting;
        if (!slot.mState.compare_exchange_strong(expected, kRunning, std::memory_order_acquire))
            continue;
        mWaiting.fetch_sub(1, std::memory_order_relaxed);
        slot.mCall(slot.mContext);
        ++ran;
        // Publishes what the section did to the caller waiting for it.
        slot.mState.store(kDone, std::memory_order_release);
    }
    return ran;
}
} // namespace orx
