#include "MidiPassThrough.h"
#include "ThreadRole.h"

#include <cstring>

void MidiPassThrough::ReserveSysEx()
{
    ORX_MAIN_THREAD();
    if (mpSysEx)
        return;
    mpSysEx = std::make_unique<uint8_t[]>(kSysExBytes);
    mSysExCapacity = kSysExBytes;
}

bool MidiPassThrough::Push(const IMidiMessage& msg) noexcept
{
    if (mCount >= kCapacity)
        return false;
    mQueue[mCount++] = Entry{msg};
    return true;
}

bool MidiPassThrough::PushSysEx(const ISysExMessage& msg) noexcept
{
    const bool fits = mCount < kCapacity && msg.mSize > 0 && msg.mpData &&
                      msg.mSize <= mSysExCapacity - mSysExUsed;
    if (!fits)
    {
        ++mDroppedSysEx;
        return false;
    }
    std::memcpy(mpSysEx.get() + mSysExUsed, msg.mpData, static_cast<size_t>(msg.mSize));
    Entry& e = mQueue[mCount++];
    e = Entry{};
    e.mMsg.mOffset = msg.mOffset;
    e.mSysExStart = mSysExUsed;
    e.mSysExSize = msg.mSize;
    mSysExUsed += msg.mSize;
    return true;
}

void MidiPassThrough::Clear() noexcept
{
    mCount = 0;
    mSysExUsed = 0;
}

void MidiPassThrough::SortByOffset() noexcept
{
    // Insertion sort: stable, in place (std::stable_sort may allocate), and the queue is short
    // and nearly always in order already.
    for (int i = 1; i < mCount; ++i)
    {
        const Entry e = mQueue[i];
        int j = i;
        for (; j > 0 && mQueue[j - 1].mMsg.mOffset > e.mMsg.mOffset; --j)
            mQueue[j] = mQueue[j - 1];
        mQueue[j] = e;
    }
}
