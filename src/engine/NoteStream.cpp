#include "NoteStream.h"

#include "Check.h"

#include <climits>
#include <limits>

namespace
{
constexpr const char* kTag = "src/NoteStream";
constexpr int kNoteOn = 0;
constexpr int kNoteOff = 1;
} // namespace

NoteStream::NoteStream()
{
    Reserve(kDefaultNoteCapacity);
}

NoteStream::~NoteStream() = default;

void NoteStream::Reserve(int notes)
{
    if (notes > mNoteCapacity)
        mNoteCapacity = notes;
    // Every note needs a note-on and at most one note-off.
    const int events = 2 * notes;
    if (events > mEventCapacity)
    {
        const int add = events - mEventCapacity;
        mEventChunks.emplace_back(new EventNode[add]);
        EventNode* chunk = mEventChunks.back().get();
        for (int i = 0; i < add; ++i)
            FreeEvent(&chunk[i]);
        mEventCapacity = events;
    }
}

int NoteStream::MaxMessages() const noexcept
{
    const int allOff = kNumNotes * kNumChannels;
    return mEventCapacity > allOff ? mEventCapacity : allOff;
}

uint32_t NoteStream::SoundingChannels(int note) const noexcept
{
    return (note >= 0 && note < kNumNotes) ? mSounding[note] : 0;
}

// The node and list operations run for every event of every pulse: inline, so that scheduling
// and rendering a note make no calls.
inline NoteStream::EventNode* NoteStream::TakeEvent() noexcept
{
    EventNode* e = mpFreeEvents;
    mpFreeEvents = e->mpNext;
    --mFreeEventCount;
    return e;
}

inline void NoteStream::FreeEvent(EventNode* e) noexcept
{
    e->mpNext = mpFreeEvents;
    mpFreeEvents = e;
    ++mFreeEventCount;
}

inline void NoteStream::Release(EventNode* e) noexcept
{
    if (e->mpPartner)
        e->mpPartner->mpPartner = nullptr;
    else
        --mNumLive;
    FreeEvent(e);
}

inline void NoteStream::Insert(EventNode* e, int t, EventNode* from) noexcept
{
    const int64_t time = mOrigin + t;
    e->mTime = time;
    // The last event at or before the time, searched from `from` in whichever direction it lies.
    EventNode* before = from ? from : mpHead;
    if (before && before->mTime > time)
    {
        do
            before = before->mpPrev;
        while (before && before->mTime > time);
    }
    else if (before)
    {
        while (before->mpNext && before->mpNext->mTime <= time)
            before = before->mpNext;
    }
    e->mpPrev = before;
    e->mpNext = before ? before->mpNext : mpHead;
    if (e->mpNext)
        e->mpNext->mpPrev = e;
    else
        mpTail = e;
    if (before)
        before->mpNext = e;
    else
        mpHead = e;

    // The same place among the events of its note: after every one at the same time.
    EventNode* beforeOfNote = mpLastOfNote[e->mNote];
    while (beforeOfNote && beforeOfNote->mTime > time)
        beforeOfNote = beforeOfNote->mpPrevOfNote;
    e->mpPrevOfNote = beforeOfNote;
    e->mpNextOfNote = beforeOfNote ? beforeOfNote->mpNextOfNote : mpFirstOfNote[e->mNote];
    if (e->mpNextOfNote)
        e->mpNextOfNote->mpPrevOfNote = e;
    else
        mpLastOfNote[e->mNote] = e;
    if (beforeOfNote)
        beforeOfNote->mpNextOfNote = e;
    else
        mpFirstOfNote[e->mNote] = e;
    ++mNumPending;
}

inline void NoteStream::Unlink(EventNode* e) noexcept
{
    if (e == mpLastOn)
        mpLastOn = e->mpPrev;
    if (e->mpNext)
        e->mpNext->mpPrev = e->mpPrev;
    else
        mpTail = e->mpPrev;
    if (e->mpPrev)
        e->mpPrev->mpNext = e->mpNext;
    else
        mpHead = e->mpNext;
    if (e->mpNextOfNote)
        e->mpNextOfNote->mpPrevOfNote = e->mpPrevOfNote;
    else
        mpLastOfNote[e->mNote] = e->mpPrevOfNote;
    if (e->mpPrevOfNote)
        e->mpPrevOfNote->mpNextOfNote = e->mpNextOfNote;
    else
        mpFirstOfNote[e->mNote] = e->mpNextOfNote;
    e->mpNext = e->mpPrev = nullptr;
    e->mpNextOfNote = e->mpPrevOfNote = nullptr;
    --mNumPending;
}

inline void NoteStream::UnlinkFirst() noexcept
{
    // The first event of the list is the first of its note too.
    EventNode* e = mpHead;
    if (e == mpLastOn)
        mpLastOn = nullptr;
    mpHead = e->mpNext;
    if (mpHead)
        mpHead->mpPrev = nullptr;
    else
        mpTail = nullptr;
    mpFirstOfNote[e->mNote] = e->mpNextOfNote;
    if (e->mpNextOfNote)
        e->mpNextOfNote->mpPrevOfNote = nullptr;
    else
        mpLastOfNote[e->mNote] = nullptr;
    e->mpNext = nullptr;
    e->mpNextOfNote = nullptr;
    --mNumPending;
}

void NoteStream::CutOverlap(int t, int channel, int note) noexcept
{
    // A key sounds once per channel: a new note-on ends a still pending note-off of the same
    // key one sample before it, so the order sent is on, off, on.
    const int64_t time = mOrigin + t;
    int64_t latestOn = mOrigin;
    for (EventNode* e = mpFirstOfNote[note]; e; e = e->mpNextOfNote)
    {
        if (e->mChannel != channel)
            continue;
        if (e->mKind == kNoteOn)
            latestOn = e->mTime;
        else if (e->mKind == kNoteOff && time >= latestOn && e->mTime >= time)
        {
            EventNode* pEvent = e;
            ORX_CHECK(kTag, pEvent, "pEvent");
            Unlink(pEvent);
            Insert(pEvent, t > 0 ? t - 1 : 0, mpLastOn);
            return;
        }
    }
}

bool NoteStream::AddNote(int time, int channel, int note, int velocity, int length) noexcept
{
    // The sounding table and MIDI itself hold notes 0..127 on channels 0..15 only.
    if (note < 0 || note >= kNumNotes || channel < 0 || channel >= kNumChannels)
        return false;
    const int events = length > 0 ? 2 : 1;
    if (mNumLive >= mNoteCapacity || mFreeEventCount < events)
    {
        ++mDropped;
        return false;
    }
    if (time < 0)
        time = 0;
    ++mNumLive;

    EventNode* on = TakeEvent();
    on->mKind = kNoteOn;
    on->mChannel = channel;
    on->mNote = note;
    on->mVelocity = velocity;
    on->mpPartner = nullptr;
    CutOverlap(time, channel, note);
    Insert(on, time, mpLastOn);
    mpLastOn = on;

    if (length > 0)
    {
        EventNode* off = TakeEvent();
        off->mKind = kNoteOff;
        off->mChannel = channel;
        off->mNote = note;
        off->mVelocity = 0;
        off->mpPartner = on;
        on->mpPartner = off;
        const long long end = static_cast<long long>(time) + length;
        Insert(off, end > INT_MAX ? INT_MAX : static_cast<int>(end), mpTail);
    }
    return true;
}

void NoteStream::Render(int length, MidiOutList& out) noexcept
{
    const int64_t end = mOrigin + length;
    while (mpHead && mpHead->mTime < end)
    {
        EventNode* e = mpHead;
        const int s = static_cast<int>(e->mTime - mOrigin);
        UnlinkFirst();
        IMidiMessage msg;
        if (e->mKind == kNoteOn)
        {
            msg.MakeNoteOn(e->mNote, e->mVelocity, s, e->mChannel);
            if (out.Add(msg))
                mSounding[e->mNote] |= 1u << e->mChannel;
        }
        else if (e->mKind == kNoteOff)
        {
            msg.MakeNoteOff(e->mNote, s, e->mChannel);
            out.Add(msg);
            mSounding[e->mNote] &= ~(1u << e->mChannel);
        }
        else
            ORX_CHECK(kTag, false, "0");
        // A note without a note-off ends here for the stream; the sounding table keeps it for
        // AllNotesOff.
        Release(e);
    }
    mOrigin = end;
}

void NoteStream::DropNotesFrom(int64_t from) noexcept
{
    for (EventNode* e = mpHead; e;)
    {
        EventNode* next = e->mpNext;
        if (e->mKind == kNoteOn && e->mTime >= from)
        {
            if (EventNode* off = e->mpPartner)
            {
                if (off == next)
                    next = off->mpNext;
                Unlink(off);
                FreeEvent(off);
            }
            Unlink(e);
            FreeEvent(e);
            --mNumLive;
        }
        e = next;
    }
}

void NoteStream::DropUnsentNotes() noexcept
{
    DropNotesFrom(std::numeric_limits<int64_t>::min());
}

void NoteStream::CutAt(int time) noexcept
{
    if (time < 0)
        time = 0;
    const int64_t cut = mOrigin + time;
    // The notes that start too late go whole.
    DropNotesFrom(cut);
    // What is left after the cut is note-offs: they move to it, in their order.
    EventNode* late = mpHead;
    while (late && late->mTime <= cut)
        late = late->mpNext;
    while (late)
    {
        EventNode* next = late->mpNext;
        Unlink(late);
        Insert(late, time, mpTail);
        late = next;
    }
    // Whatever still sounds at the cut has no note-off at or before it: give it one.
    uint32_t sounding[kNumNotes];
    for (int note = 0; note < kNumNotes; ++note)
        sounding[note] = mSounding[note];
    for (EventNode* e = mpHead; e; e = e->mpNext)
    {
        const uint32_t bit = 1u << e->mChannel;
        sounding[e->mNote] =
            e->mKind == kNoteOn ? (sounding[e->mNote] | bit) : (sounding[e->mNote] & ~bit);
    }
    for (int note = 0; note < kNumNotes; ++note)
        for (int c = 0; c < kNumChannels && sounding[note]; ++c)
        {
            if (!(sounding[note] & (1u << c)))
                continue;
            sounding[note] &= ~(1u << c);
            if (mNumLive >= mNoteCapacity || mFreeEventCount < 1)
            {
                ++mDropped;
                continue;
            }
            // A note of its own, of one event: rendering it ends it.
            ++mNumLive;
            EventNode* off = TakeEvent();
            off->mKind = kNoteOff;
            off->mChannel = c;
            off->mNote = note;
            off->mVelocity = 0;
            off->mpPartner = nullptr;
            Insert(off, time, mpTail);
        }
}

void NoteStream::AllNotesOff(MidiOutList& out) noexcept
{
    while (mpHead)
    {
        EventNode* e = mpHead;
        UnlinkFirst();
        FreeEvent(e);
    }
    mNumLive = 0;
    for (int note = 0; note < kNumNotes; ++note)
    {
        const uint32_t channels = mSounding[note];
        if (channels == 0)
            continue;
        mSounding[note] = 0;
        for (int c = 0; c < kNumChannels; ++c)
        {
            if (!(channels & (1u << c)))
                continue;
            IMidiMessage msg;
            msg.MakeNoteOff(note, 0, c);
            out.Add(msg);
        }
    }
}
