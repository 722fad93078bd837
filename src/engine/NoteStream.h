#pragma once
// Schedules the notes the pulses create: each note becomes a note-on at its pulse and, when it
// has a length, a note-off later, possibly many blocks later. Events wait in one list ordered
// by time and stored as time differences, so moving to the next block only adjusts the first
// entry. Nodes are recycled through free lists over storage reserved up front: adding and
// rendering never allocate.

#include "MidiOutList.h"

#include <cstdint>
#include <memory>
#include <vector>

class NoteStream
{
public:
    static constexpr int kNumNotes = 128;
    static constexpr int kNumChannels = 16;
    static constexpr int kDefaultNoteCapacity = 1024;

    NoteStream();
    ~NoteStream();
    NoteStream(const NoteStream&) = delete;
    NoteStream& operator=(const NoteStream&) = delete;

    // Main thread only: makes room for at least notes notes (and their events) at once.
    void Reserve(int notes);

    // Schedules a note at time samples from the start of the block now being processed. A
    // length of 0 or less schedules no note-off: the note sounds until AllNotesOff. Answers
    // false, scheduling nothing, for a note or channel outside MIDI's range or when the
    // reserved nodes are used up.
    bool AddNote(int time, int channel, int note, int velocity, int length,
                 double hostPosition) noexcept;

    // Moves every event before sample `length` of this block into out, in time order, with its
    // offset, and makes the rest relative to the start of the next block: an event on sample
    // `length` itself goes out first in the next block. out must have room for MaxMessages(),
    // which every pending event fits in.
    void Render(int length, MidiOutList& out) noexcept;

    // Drops every note whose note-on has not been sent, with its note-off. Those are the notes
    // a pulse on the end of the last block scheduled for the next block's first sample: when
    // the next block does not continue the last one (a jump, a loop back), they never sound.
    void DropUnsentNotes() noexcept;

    // Ends at sample time of this block everything sounding then: a note-on not yet sent that
    // falls at time or later is dropped with its note-off, and every other note (sent before,
    // or starting earlier in this block) gets its note-off at time, earlier ones kept. Needs
    // at most one free note and event per key and channel sounding without a note-off.
    void CutAt(int time) noexcept;

    // Drops every pending event and appends a note-off at offset 0 for every sounding note, in
    // ascending note then channel order (at most MaxMessages()).
    void AllNotesOff(MidiOutList& out) noexcept;

    // Channel bits (bit c = channel c) of the note-ons sent whose note-off has not been sent.
    uint32_t SoundingChannels(int note) const noexcept;
    int PendingEvents() const noexcept { return mNumPending; }
    int LiveNotes() const noexcept { return mNumLive; }
    int NoteCapacity() const noexcept { return mNoteCapacity; }
    int EventCapacity() const noexcept { return mEventCapacity; }
    // Most messages one Render or AllNotesOff can append.
    int MaxMessages() const noexcept;
    // Notes refused because the reserved nodes were used up.
    int DroppedNotes() const noexcept { return mDropped; }

private:
    struct NoteNode;
    struct EventNode
    {
        EventNode* mpNext = nullptr;
        EventNode* mpPrev = nullptr;
        int mKind = 0; // 0 note-on, 1 note-off
        int mChannel = 0;
        int mNote = 0;
        int mVelocity = 0;
        int mDelta = 0; // samples after the previous event, or after the next block's start
        NoteNode* mpOwner = nullptr;
    };
    struct NoteNode
    {
        NoteNode* mpNext = nullptr;
        NoteNode* mpPrev = nullptr;
        double mHostPosition = 0.0; // host position of the block that made the note
        EventNode* mpNoteOn = nullptr;
        EventNode* mpNoteOff = nullptr;
        bool mCut = false; // marked by CutAt
    };

    EventNode* TakeEvent() noexcept;
    void FreeEvent(EventNode* e) noexcept;
    NoteNode* TakeNote() noexcept;
    void FreeNote(NoteNode* n) noexcept;
    // Takes a note off the live list and puts it on its free list.
    void FreeLiveNote(NoteNode* n) noexcept;
    // Inserts e at absolute time t from the list's origin, after every event at the same time.
    void Insert(EventNode* e, int t) noexcept;
    void Unlink(EventNode* e) noexcept;
    void CutOverlap(int t, int channel, int note) noexcept;

    EventNode* mpHead = nullptr;
    EventNode* mpTail = nullptr;
    EventNode* mpFreeEvents = nullptr;
    NoteNode* mpLiveHead = nullptr;
    NoteNode* mpLiveTail = nullptr;
    NoteNode* mpFreeNotes = nullptr;
    uint32_t mSounding[kNumNotes] = {};

    std::vector<std::unique_ptr<EventNode[]>> mEventChunks;
    std::vector<std::unique_ptr<NoteNode[]>> mNoteChunks;
    int mEventCapacity = 0;
    int mNoteCapacity = 0;
    int mFreeEventCount = 0;
    int mFreeNoteCount = 0;
    int mNumPending = 0;
    int mNumLive = 0;
    int mDropped = 0;
};
