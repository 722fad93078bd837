#include "MidiStreamChecker.h"

#include <cstdio>

namespace orxvalidate
{

std::string Violation::Describe() const
{
    char where[96];
    if (mAtEvent)
        std::snprintf(where, sizeof(where), " (block %d, offset %d, bytes %02x %02x %02x)", mBlock,
                      mOffset, mBytes[0], mBytes[1], mBytes[2]);
    else
        std::snprintf(where, sizeof(where), " (block %d)", mBlock);
    return mWhat + where;
}

void MidiStreamChecker::Fail(std::string what, int block, int32_t offset, const uint8_t* bytes)
{
    ++mCount;
    if (mFirst)
        return;
    Violation v;
    v.mWhat = std::move(what);
    v.mBlock = block;
    v.mOffset = offset;
    v.mAtEvent = bytes != nullptr;
    if (bytes)
        v.mBytes = {bytes[0], bytes[1], bytes[2]};
    mFirst = v;
}

void MidiStreamChecker::Block(int block, int frames, bool stopped,
                              const std::vector<orxhost::CapturedEvent>& events)
{
    int32_t last = 0;
    for (const orxhost::CapturedEvent& e : events)
    {
        ++mEvents;
        const int32_t at = e.mDeltaFrames;
        if (at < 0 || at >= frames)
            Fail("event outside its block of " + std::to_string(frames) + " frames", block, at,
                 e.mData);
        else if (e.mType != vst2::kEventMidi && e.mType != vst2::kEventSysEx)
            Fail("event of unknown type " + std::to_string(e.mType), block, at, e.mData);
        else if (at < last)
            Fail("event before the one sent ahead of it (offset " + std::to_string(last) + ")",
                 block, at, e.mData);
        if (at > last)
            last = at;
        if (e.mType != vst2::kEventMidi)
            continue;
        const bool noteOn = (e.mData[0] & 0xF0) == 0x90 && e.mData[2] != 0;
        if (stopped && noteOn)
            Fail("note-on while the transport is stopped", block, at, e.mData);
        Midi(block, at, e.mData);
    }
    if (stopped && Sounding() > 0)
        ExpectSilence("after a stopped block");
}

void MidiStreamChecker::Outside(const orxhost::CapturedEvent& e)
{
    ++mEvents;
    Fail(e.mType == vst2::kEventMidi
             ? "MIDI event sent outside a process call"
             : "event of type " + std::to_string(e.mType) + " sent outside a process call",
         -1, e.mDeltaFrames, e.mData);
}

void MidiStreamChecker::Midi(int block, int32_t offset, const uint8_t* d)
{
    const uint8_t status = d[0];
    if (status < 0x80)
    {
        Fail("MIDI event without a status byte", block, offset, d);
        return;
    }
    if (status >= 0xF0)
        return; // system messages carry no channel and no note
    const int kind = status & 0xF0;
    const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    if (d[1] > 0x7F || (dataBytes == 2 && d[2] > 0x7F))
    {
        Fail("MIDI data byte above 127", block, offset, d);
        return;
    }
    const int channel = status & 0x0F;
    if (kind == 0xB0 && (d[1] == 123 || d[1] == 120))
    {
        for (int key = 0; key < 128; ++key)
            mNotes[static_cast<std::size_t>(channel * 128 + key)].mOn = false;
        return;
    }
    if (kind != 0x80 && kind != 0x90)
        return;
    Note& note = mNotes[static_cast<std::size_t>(channel * 128 + d[1])];
    if (kind == 0x90 && d[2] != 0)
    {
        ++mNoteOns;
        if (note.mOn)
            Fail("note-on of a note already sounding since block " + std::to_string(note.mBlock) +
                     " offset " + std::to_string(note.mOffset),
                 block, offset, d);
        note = {true, block, offset, d[2]};
    }
    else
    {
        if (!note.mOn)
            Fail(kind == 0x90 ? "note-on with velocity 0, a note-off to every receiver, of a note "
                                "that is not sounding"
                              : "note-off of a note that is not sounding",
                 block, offset, d);
        note.mOn = false;
    }
}

int MidiStreamChecker::Sounding() const noexcept
{
    int n = 0;
    for (const Note& note : mNotes)
        n += note.mOn ? 1 : 0;
    return n;
}

void MidiStreamChecker::ExpectSilence(const char* when)
{
    for (std::size_t i = 0; i < mNotes.size(); ++i)
    {
        Note& note = mNotes[i];
        if (!note.mOn)
            continue;
        const uint8_t bytes[3] = {static_cast<uint8_t>(0x90 | (i / 128)),
                                  static_cast<uint8_t>(i % 128), note.mVelocity};
        Fail(std::string("stuck note ") + when + ": its note-on came in this block at this offset",
             note.mBlock, note.mOffset, bytes);
        note.mOn = false; // reported once
    }
}

} // namespace orxvalidate
