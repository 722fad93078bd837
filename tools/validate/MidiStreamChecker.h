#pragma once
// The one judge of a plug-in's MIDI output, fed block by block with what the host captured:
// every event inside its block (offset 0 .. frames - 1) and in time order within it, every
// MIDI message well formed, every note-on answered by a note-off on the same channel and key
// (no second note-on of a sounding note, no note-off of a silent one), nothing sent outside a
// process call, and silence where the host demands it (after a stopped block, at the end). The
// first violation is kept with its block number, offset and bytes; later ones are counted.

#include "VstHost.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orxvalidate
{

struct Violation
{
    std::string mWhat;
    int mBlock = -1;       // the process call (0 = the first), -1 outside any
    bool mAtEvent = false; // an event is at fault: offset and bytes are its own
    int32_t mOffset = 0;   // the event's offset in its block (as sent, so possibly outside it)
    std::array<uint8_t, 3> mBytes{};

    std::string Describe() const;
};

class MidiStreamChecker
{
public:
    // One process call of `frames` frames and the events that came with it, in arrival order.
    // stopped: the host reported its transport stopped for the whole block, so the block must
    // start no note and end with every note released.
    void Block(int block, int frames, bool stopped,
               const std::vector<orxhost::CapturedEvent>& events);
    // Events that came outside any process call: hosts drop them, so each is a violation.
    void Outside(const orxhost::CapturedEvent& event);
    // Every note must be released now; `when` names the moment in the report.
    void ExpectSilence(const char* when);

    bool Ok() const noexcept { return !mFirst.has_value(); }
    const std::optional<Violation>& First() const noexcept { return mFirst; }
    int ViolationCount() const noexcept { return mCount; }
    int Sounding() const noexcept;
    long NoteOns() const noexcept { return mNoteOns; }
    long Events() const noexcept { return mEvents; }

private:
    void Fail(std::string what, int block, int32_t offset, const uint8_t* bytes);
    void Midi(int block, int32_t offset, const uint8_t* data);

    struct Note
    {
        bool mOn = false;
        int mBlock = 0;
        int32_t mOffset = 0;
        uint8_t mVelocity = 0;
    };
    std::array<Note, 16 * 128> mNotes{};
    std::optional<Violation> mFirst;
    int mCount = 0;
    long mNoteOns = 0;
    long mEvents = 0;
};

} // namespace orxvalidate
