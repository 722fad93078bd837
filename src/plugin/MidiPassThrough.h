#pragma once
// Incoming MIDI that the plug-in passes on to the host. Hosts take a plug-in's MIDI output only
// while they are inside its process call, and they deliver incoming events just before that
// call, so the messages wait here and go out with the block's notes, in time order, each in the
// piece of a long host block where its offset falls. System-exclusive messages wait the same
// way, their bytes copied into storage reserved at activation. Nothing allocates on the audio
// thread: what does not fit is refused (and, for SysEx, counted).

#include "IMidiMessage.h"
#include "ISysExMessage.h"

#include <algorithm>
#include <cstdint>
#include <memory>

class MidiPassThrough
{
public:
    static constexpr int kCapacity = 512;
    // Bytes of SysEx that can wait at once: patch dumps of synthesisers fit many times over.
    static constexpr int kSysExBytes = 64 * 1024;

    // [main-thread] Reserves the SysEx storage; once reserved it stays.
    void ReserveSysEx();

    // False, storing nothing, when the queue is full.
    bool Push(const IMidiMessage& msg) noexcept;
    // Copies the bytes. False, storing nothing and counting the message as dropped, when the
    // queue or the SysEx storage is full or the storage was never reserved.
    bool PushSysEx(const ISysExMessage& msg) noexcept;
    // Forgets every waiting message (a suspend: they belong to before it).
    void Clear() noexcept;

    // One piece of a host block: the frames pieceStart .. pieceStart + nFrames - 1 of it.
    // Sends every waiting message whose offset falls in the piece (in the last piece also those
    // beyond the host block), with its offset within the piece, merged with the piece's notes
    // by offset: waiting messages first at equal offsets, each list keeping its order.
    // sendMidi takes an IMidiMessage, sendSysEx an ISysExMessage.
    template <class Notes, class SendMidi, class SendSysEx>
    void Merge(const Notes& notes, int pieceStart, int nFrames, bool lastPiece, SendMidi&& sendMidi,
               SendSysEx&& sendSysEx) noexcept;

    int Size() const noexcept { return mCount; }
    int DroppedSysEx() const noexcept { return mDroppedSysEx; }

private:
    struct Entry
    {
        IMidiMessage mMsg; // for SysEx only the offset counts
        int32_t mSysExStart = -1;
        int32_t mSysExSize = 0;
    };

    void SortByOffset() noexcept;
    ISysExMessage SysExOf(const Entry& e) const noexcept
    {
        return {e.mMsg.mOffset, mpSysEx.get() + e.mSysExStart, e.mSysExSize};
    }

    Entry mQueue[kCapacity];
    int mCount = 0;
    std::unique_ptr<uint8_t[]> mpSysEx;
    int mSysExCapacity = 0;
    int mSysExUsed = 0; // freed whole when the queue empties
    int mDroppedSysEx = 0;
};

template <class Notes, class SendMidi, class SendSysEx>
void MidiPassThrough::Merge(const Notes& notes, int pieceStart, int nFrames, bool lastPiece,
                            SendMidi&& sendMidi, SendSysEx&& sendSysEx) noexcept
{
    if (mCount == 0) // nearly every block: only the notes
    {
        for (const IMidiMessage& note : notes)
            sendMidi(note);
        return;
    }
    SortByOffset();
    // The waiting messages of this piece are a prefix of the sorted queue.
    int take = 0;
    while (take < mCount && (lastPiece || mQueue[take].mMsg.mOffset - pieceStart < nFrames))
        ++take;
    const int last = nFrames > 0 ? nFrames - 1 : 0;
    for (int i = 0; i < take; ++i)
        mQueue[i].mMsg.mOffset = std::clamp(mQueue[i].mMsg.mOffset - pieceStart, 0, last);
    auto send = [&](const Entry& e)
    {
        if (e.mSysExStart >= 0)
            sendSysEx(SysExOf(e));
        else
            sendMidi(e.mMsg);
    };
    int q = 0;
    for (const IMidiMessage& note : notes)
    {
        while (q < take && mQueue[q].mMsg.mOffset <= note.mOffset)
            send(mQueue[q++]);
        sendMidi(note);
    }
    while (q < take)
        send(mQueue[q++]);
    if (take > 0)
        std::copy(mQueue + take, mQueue + mCount, mQueue);
    mCount -= take;
    if (mCount == 0)
        mSysExUsed = 0;
}
