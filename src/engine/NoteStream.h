#pragma once
// Schedules the notes the pulses create: each note becomes a note-on at its pulse and, when it
// has a length, a note-off later, possibly many blocks later. Events wait in one list ordered
// by time on the stream's own sample clock, so moving to the next block only moves the clock's
// origin, and a new event (nearly always among the latest) is placed by a search from the
// list's end. The events of each key are chained as well, so cutting an overlap looks only at
// the events of its key. Nodes are recycled through free lists over storage reserved up front:
// adding and rendering never allocate.

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
        // The events of the same note number (any channel), in the order of the list.
        EventNode* mpNextOfNote = nullptr;
        EventNode* mpPrevOfNote = nullptr;
        int64_t mTime = 0; // on the stream's clock (see mOrigin)
        int mKind = 0;     // 0 note-on, 1 note-off
        int mChannel = 0;
        int mNote = 0;
        int mVelocity = 0;
        NoteNode* mpOwner = nullptr;
    };
    struct NoteNode
    {
        NoteNode* mpNext = nullptr;
        NoteNode* mpPrev = nullptr;
        double mHostPosition = 0.0; // host position of the block that made the note
        EventNode* mpNoteOn = nullptr;
        EventNode* mpNoteOff = nullptr;
    };

    EventNode* TakeEvent() noexcept;
    void FreeEvent(EventNode* e) noexcept;
    NoteNode* TakeNote() noexcept;
    void FreeNote(NoteNode* n) noexcept;
    // Takes a note off the live list and puts it on its free list.
    void FreeLiveNote(NoteNode* n) noexcept;
    // Inserts e at time t of the block now being processed, after every event at the same time.
    // The search for its place starts at `from`, any event of the list (null: the first): the
    // nearer the place, the shorter the search.
    void Insert(EventNode* e, int t, EventNode* from) noexcept;
    void Unlink(EventNode* e) noexcept;
    void CutOverlap(int t, int channel, int note) noexcept;

    EventNode* mpHead = nullptr;
    EventNode* mpTail = nullptr;
    EventNode* mpFreeEvents = nullptr;
    // Where the next note-on and cut note-off are searched from: the note-on added last or,
    // once it has gone, the event that was before it. Little lies between it and the pulse now
    // played, while the list's end may hold note-offs far ahead of it.
    EventNode* mpLastOn = nullptr;
    NoteNode* mpLiveHead = nullptr;
    NoteNode* mpLiveTail = nullptr;
    NoteNode* mpFreeNotes = nullptr;
    EventNode* mpFirstOfNote[kNumNotes] = {};
    EventNode* mpLastOfNote[kNumNotes] = {};
    // The stream's clock at the first sample of the block now being processed; each block's
    // length moves it on. 64 bits last for millions of years of samples.
    int64_t mOrigin = 0;
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
