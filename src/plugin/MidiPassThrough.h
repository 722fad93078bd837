#pragma once
// Incoming MIDI that the plug-in passes on to the host. Hosts take a plug-in's MIDI output only
// while they are inside its process call, and they deliver incoming events just before that
// call, so the messages wait here and go out with the next block's notes, in time order.
// Fixed storage: nothing allocates on the audio thread.

#include "IMidiMessage.h"

#include <algorithm>

class MidiPassThrough
{
public:
    static constexpr int kCapacity = 512;

    // False, storing nothing, when the queue is full.
    bool Push(const IMidiMessage& msg) noexcept
    {
        if (mCount >= kCapacity)
            return false;
        mQueue[mCount++] = msg;
        return true;
    }

    // Calls send with every waiting message and every message of notes, ordered by offset
    // (waiting ones first at equal offsets, each list keeping its order), offsets held inside
    // a block of nFrames. Empties the queue.
    template <class Notes, class Send>
    void Merge(const Notes& notes, int nFrames, Send&& send) noexcept
    {
        const int last = nFrames > 0 ? nFrames - 1 : 0;
        // Insertion sort: stable, in place (std::stable_sort may allocate), and the queue is
        // short and nearly always in order already.
        for (int i = 0; i < mCount; ++i)
        {
            IMidiMessage msg = mQueue[i];
            msg.mOffset = std::clamp(msg.mOffset, 0, last);
            int j = i;
            for (; j > 0 && mQueue[j - 1].mOffset > msg.mOffset; --j)
                mQueue[j] = mQueue[j - 1];
            mQueue[j] = msg;
        }
        int q = 0;
        for (const IMidiMessage& note : notes)
        {
            while (q < mCount && mQueue[q].mOffset <= note.mOffset)
                send(mQueue[q++]);
            send(note);
        }
        while (q < mCount)
            send(mQueue[q++]);
        mCount = 0;
    }

    int Size() const noexcept { return mCount; }

private:
    IMidiMessage mQueue[kCapacity];
    int mCount = 0;
};
