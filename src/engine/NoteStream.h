#pragma once
// Schedules the notes the pulses create: each note becomes a note-on at its pulse and, when it
// has a length, a note-off later, possibly many blocks later. Events wait in one list ordered
// by time on the stream's own sample clock, so moving to the next block only moves the clock's
// origin, and a new event is placed by a search from an event near its time. The events of each
// note number are chained as well, so cutting an overlap looks only at the events of its key.
// A note is its note-on and its note-off, linked to each other while both wait. Nodes are
// recycled through a free list over storage reserved up front: adding and rendering never
// allocate.

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
    bool AddNote(int time, int channel, int note, int velocity, int length) noexcept;

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
    // Notes with an event still waiting.
    int LiveNotes() const noexcept { return mNumLive; }
    int NoteCapacity() const noexcept { return mNoteCapacity; }
    int EventCapacity() const noexcept { return mEventCapacity; }
    // Most messages one Render or AllNotesOff can append.
    int MaxMessages() const noexcept;
    // Notes refused because the reserved nodes were used up.
    int DroppedNotes() const noexcept { return mDropped; }

private:
    struct EventNode
    {
        EventNode* mpNext = nullptr; // in the list, or in the free list
        EventNode* mpPrev = nullptr;
        // The events of the same note number (any channel), in the order of the list.
        EventNode* mpNextOfNote = nullptr;
        EventNode* mpPrevOfNote = nullptr;
        // The note's other event while both wait; null once either has gone, or for a note
        // without a note-off.
        EventNode* mpPartner = nullptr;
        int64_t mTime = 0; // on the stream's clock (see mOrigin)
        int mKind = 0;     // 0 note-on, 1 note-off
        int mChannel = 0;
        int mNote = 0;
        int mVelocity = 0;
    };

    // A node from the free list; the caller sets every field (Insert sets links and time).
    EventNode* TakeEvent() noexcept;
    void FreeEvent(EventNode* e) noexcept;
    // Removes every note whose note-on is due at from or later, with its note-off.
    void DropNotesFrom(int64_t from) noexcept;
    // An event left the list: its note has ended when its partner is gone too.
    void Release(EventNode* e) noexcept;
    // Inserts e at time t of the block now being processed, after every event at the same time.
    // The search for its place starts at `from`, any event of the list (null: the first): the
    // nearer the place, the shorter the search.
    void Insert(EventNode* e, int t, EventNode* from) noexcept;
    void Unlink(EventNode* e) noexcept;
    // Unlink of the first event, the one rendering takes.
    void UnlinkFirst() noexcept;
    void CutOverlap(int t, int channel, int note) noexcept;

    EventNode* mpHead = nullptr;
    EventNode* mpTail = nullptr;
    EventNode* mpFreeEvents = nullptr;
    // Where the next note-on and cut note-off are searched from: the note-on added last or,
    // once it has gone, the event that was before it. Little lies between it and the pulse now
    // played, while the list's end may hold note-offs far ahead of it.
    EventNode* mpLastOn = nullptr;
    EventNode* mpFirstOfNote[kNumNotes] = {};
    EventNode* mpLastOfNote[kNumNotes] = {};
    // The stream's clock at the first sample of the block now being processed; each block's
    // length moves it on. 64 bits last for millions of years of samples.
    int64_t mOrigin = 0;
    uint32_t mSounding[kNumNotes] = {};

    std::vector<std::unique_ptr<EventNode[]>> mEventChunks;
    int mEventCapacity = 0;
    int mNoteCapacity = 0;
    int mFreeEventCount = 0;
    int mNumPending = 0;
    int mNumLive = 0;
    int mDropped = 0;
};
