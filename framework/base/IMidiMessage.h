#pragma once
// One MIDI message with its sample offset in the current block: what the plug-in receives
// from the host and what the note stream produces.

#include <cstdint>

struct IMidiMessage
{
    int32_t mOffset = 0; // sample frames from the start of the current block
    uint8_t mStatus = 0;
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;

    enum EKind
    {
        kNone = 0,
        kNoteOff = 8,
        kNoteOn = 9,
        kPolyAftertouch = 10,
        kControlChange = 11,
        kProgramChange = 12,
        kChannelAftertouch = 13,
        kPitchWheel = 14,
    };

    // Upper four bits of a channel message (0x80..0xEF); 0 for system messages.
    int MessageKind() const noexcept
    {
        return (mStatus >= 0x80 && mStatus < 0xF0) ? (mStatus >> 4) : kNone;
    }
    int Channel() const noexcept { return mStatus & 0x0F; }
    int NoteNumber() const noexcept { return mData1; }

    void MakeNoteOn(int note, int velocity, int offset, int channel) noexcept
    {
        mStatus = static_cast<uint8_t>(0x90 | (channel & 0x0F));
        mData1 = static_cast<uint8_t>(note);
        mData2 = static_cast<uint8_t>(velocity);
        mOffset = offset;
    }

    // A note-off is always status 0x80 with velocity 0, never a note-on with velocity 0.
    void MakeNoteOff(int note, int offset, int channel) noexcept
    {
        mStatus = static_cast<uint8_t>(0x80 | (channel & 0x0F));
        mData1 = static_cast<uint8_t>(note);
        mData2 = 0;
        mOffset = offset;
    }
};

inline bool operator==(const IMidiMessage& a, const IMidiMessage& b) noexcept
{
    return a.mOffset == b.mOffset && a.mStatus == b.mStatus && a.mData1 == b.mData1 &&
           a.mData2 == b.mData2;
}
