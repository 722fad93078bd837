#pragma once
// The MIDI messages of one block: a count over storage reserved up front, so appending on the
// audio thread never allocates.

#include "IMidiMessage.h"

#include <memory>

class MidiOutList
{
public:
    // Main thread only: grows the storage to hold at least n messages; keeps the content.
    void Reserve(int n)
    {
        if (n <= mCapacity)
            return;
        std::unique_ptr<IMidiMessage[]> grown(new IMidiMessage[n]);
        for (int i = 0; i < mCount; ++i)
            grown[i] = mData[i];
        mData = std::move(grown);
        mCapacity = n;
    }

    void Clear() noexcept { mCount = 0; }
    // Answers false, storing nothing, when the reserved storage is full.
    bool Add(const IMidiMessage& msg) noexcept
    {
        if (mCount >= mCapacity)
            return false;
        mData[mCount++] = msg;
        return true;
    }

    int Size() const noexcept { return mCount; }
    int Capacity() const noexcept { return mCapacity; }
    const IMidiMessage& operator[](int i) const noexcept { return mData[i]; }
    const IMidiMessage* begin() const noexcept { return mData.get(); }
    const IMidiMessage* end() const noexcept { return mData.get() + mCount; }

private:
    std::unique_ptr<IMidiMessage[]> mData;
    int mCount = 0;
    int mCapacity = 0;
};
