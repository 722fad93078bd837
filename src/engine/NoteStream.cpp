#include "NoteStream.h"

#include "Check.h"

#include <climits>

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
    {
        const int add = notes - mNoteCapacity;
        mNoteChunks.emplace_back(new NoteNode[add]);
        NoteNode* chunk = mNoteChunks.back().get();
        for (int i = 0; i < add; ++i)
            FreeNote(&chunk[i]);
        mNoteCapacity = notes;
    }
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

NoteStream::EventNode* NoteStream::TakeEvent() noexcept
{
    EventNode* e = mpFreeEvents;
    mpFreeEvents = e->mpNext;
    --mFreeEventCount;
    *e = EventNode{};
    return e;
}

void NoteStream::FreeEvent(EventNode* e) noexcept
{
    e->mpPrev = nullptr;
    e->mpNext = mpFreeEvents;
    mpFreeEvents = e;
    ++mFreeEventCount;
}

NoteStream::NoteNode* NoteStream::TakeNote() noexcept
{
    NoteNode* n = mpFreeNotes;
    mpFreeNotes = n->mpNext;
    --mFreeNoteCount;
    *n = NoteNode{};
    // Appended to the live list.
    n->mpPrev = mpLiveTail;
    if (mpLiveTail)
        mpLiveTail->mpNext = n;
    else
        mpLiveHead = n;
    mpLiveTail = n;
    ++mNumLive;
    return n;
}

void NoteStream::FreeNote(NoteNode* n) noexcept
{
    n->mpPrev = nullptr;
    n->mpNext = mpFreeNotes;
    mpFreeNotes = n;
    ++mFreeNoteCount;
}

void NoteStream::FreeLiveNote(NoteNode* n) noexcept
{
    if (n->mpNext)
        n->mpNext->mpPrev = n->mpPrev;
    else
        mpLiveTail = n->mpPrev;
    if (n->mpPrev)
        n->mpPrev->mpNext = n->mpNext;
    else
        mpLiveHead = n->mpNext;
    --mNumLive;
    FreeNote(n);
}

void NoteStream::Insert(EventNode* e, int t) noexcept
{
    EventNode* at = mpHead;
    while (at && t >= at->mDelta)
    {
        t -= at->mDelta;
        at = at->mpNext;
    }
    e->mDelta = t;
    e->mpNext = at;
    if (at)
    {
        at->mDelta -= t;
        e->mpPrev = at->mpPrev;
        at->mpPrev = e;
    }
    else
    {
        e->mpPrev = mpTail;
        mpTail = e;
    }
    if (e->mpPrev)
        e->mpPrev->mpNext = e;
    else
        mpHead = e;
    ++mNumPending;
}

void NoteStream::Unlink(EventNode* e) noexcept
{
    if (e->mpNext)
    {
        e->mpNext->mDelta += e->mDelta;
        e->mpNext->mpPrev = e->mpPrev;
    }
    else
        mpTail = e->mpPrev;
    if (e->mpPrev)
        e->mpPrev->mpNext = e->mpNext;
    else
        mpHead = e->mpNext;
    e->mpNext = e->mpPrev = nullptr;
    --mNumPending;
}

void NoteStream::CutOverlap(int t, int channel, int note) noexcept
{
    // A key sounds once per channel: a new note-on ends a still pending note-off of the same
    // key one sample before it, so the order sent is on, off, on.
    int s = 0;
    int latestOn = 0;
    for (EventNode* e = mpHead; e; e = e->mpNext)
    {
        s += e->mDelta;
        if (e->mChannel != channel || e->mNote != note)
            continue;
        if (e->mKind == kNoteOn)
            latestOn = s;
        else if (e->mKind == kNoteOff && t >= latestOn && s >= t)
        {
            EventNode* pEvent = e;
            ORX_CHECK(kTag, pEvent, "pEvent");
            Unlink(pEvent);
            Insert(pEvent, t > 0 ? t - 1 : 0);
            return;
        }
    }
}

bool NoteStream::AddNote(int time, int channel, int note, int velocity, int length,
                         double hostPosition) noexcept
{
    // The sounding table and MIDI itself hold notes 0..127 on channels 0..15 only.
    if (note < 0 || note >= kNumNotes || channel < 0 || channel >= kNumChannels)
        return false;
    const int events = length > 0 ? 2 : 1;
    if (mFreeNoteCount < 1 || mFreeEventCount < events)
    {
        ++mDropped;
        return false;
    }
    if (time < 0)
        time = 0;

    NoteNode* n = TakeNote();
    n->mHostPosition = hostPosition;

    EventNode* on = TakeEvent();
    on->mKind = kNoteOn;
    on->mChannel = channel;
    on->mNote = note;
    on->mVelocity = velocity;
    CutOverlap(time, channel, note);
    Insert(on, time);
    on->mpOwner = n;
    n->mpNoteOn = on;

    if (length > 0)
    {
        EventNode* off = TakeEvent();
        off->mKind = kNoteOff;
        off->mChannel = channel;
        off->mNote = note;
        off->mVelocity = 0;
        const long long end = static_cast<long long>(time) + length;
        Insert(off, end > INT_MAX ? INT_MAX : static_cast<int>(end));
        off->mpOwner = n;
        n->mpNoteOff = off;
    }
    return true;
}

void NoteStream::Render(int length, MidiOutList& out) noexcept
{
    int s = 0;
    int remaining = length;
    while (mpHead && mpHead->mDelta < remaining)
    {
        EventNode* e = mpHead;
        NoteNode* pNote = e->mpOwner;
        ORX_CHECK(kTag, pNote, "pNote");
        s += e->mDelta;
        remaining -= e->mDelta;
        // The next event stays relative to this one, whose time s is now known.
        e->mDelta = 0;
        Unlink(e);
        IMidiMessage msg;
        if (e->mKind == kNoteOn)
        {
            msg.MakeNoteOn(e->mNote, e->mVelocity, s, e->mChannel);
            if (out.Add(msg))
                mSounding[e->mNote] |= 1u << e->mChannel;
            if (pNote)
            {
                pNote->mpNoteOn = nullptr;
                // Without a note-off nothing refers to the note any more; the sounding table
                // keeps it for AllNotesOff, so its node can go back at once.
                if (!pNote->mpNoteOff)
                    FreeLiveNote(pNote);
            }
        }
        else if (e->mKind == kNoteOff)
        {
            msg.MakeNoteOff(e->mNote, s, e->mChannel);
            out.Add(msg);
            mSounding[e->mNote] &= ~(1u << e->mChannel);
            if (pNote)
            {
                pNote->mpNoteOn = nullptr;
                pNote->mpNoteOff = nullptr;
                FreeLiveNote(pNote);
            }
        }
        else
            ORX_CHECK(kTag, false, "0");
        FreeEvent(e);
    }
    if (mpHead)
        mpHead->mDelta -= remaining;
}

void NoteStream::DropUnsentNotes() noexcept
{
    for (NoteNode* n = mpLiveHead; n;)
    {
        NoteNode* next = n->mpNext;
        if (n->mpNoteOn)
        {
            for (EventNode* e : {n->mpNoteOn, n->mpNoteOff})
                if (e)
                {
                    Unlink(e);
                    FreeEvent(e);
                }
            FreeLiveNote(n);
        }
        n = next;
    }
}

void NoteStream::CutAt(int time) noexcept
{
    if (time < 0)
        time = 0;
    // The notes that start too late go whole.
    int s = 0;
    for (EventNode* e = mpHead; e; e = e->mpNext)
    {
        s += e->mDelta;
        if (e->mKind == kNoteOn && e->mpOwner)
            e->mpOwner->mCut = s >= time;
    }
    for (NoteNode* n = mpLiveHead; n;)
    {
        NoteNode* next = n->mpNext;
        if (n->mpNoteOn && n->mCut)
        {
            for (EventNode* e : {n->mpNoteOn, n->mpNoteOff})
                if (e)
                {
                    Unlink(e);
                    FreeEvent(e);
                }
            FreeLiveNote(n);
        }
        n = next;
    }
    s = 0;
    for (EventNode* e = mpHead; e; e = e->mpNext)
    {
        s += e->mDelta;
        if (e->mKind == kNoteOff && e->mpOwner)
            e->mpOwner->mCut = s > time;
    }
    for (NoteNode* n = mpLiveHead; n; n = n->mpNext)
        if (n->mpNoteOff && n->mCut)
        {
            Unlink(n->mpNoteOff);
            Insert(n->mpNoteOff, time);
            n->mCut = false;
        }
    // Whatever still sounds at the cut has no note-off at or before it: give it one.
    uint32_t sounding[kNumNotes];
    for (int note = 0; note < kNumNotes; ++note)
        sounding[note] = mSounding[note];
    s = 0;
    for (EventNode* e = mpHead; e; e = e->mpNext)
    {
        s += e->mDelta;
        if (s > time)
            break;
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
            if (mFreeNoteCount < 1 || mFreeEventCount < 1)
            {
                ++mDropped;
                continue;
            }
            NoteNode* n = TakeNote();
            EventNode* off = TakeEvent();
            off->mKind = kNoteOff;
            off->mChannel = c;
            off->mNote = note;
            Insert(off, time);
            off->mpOwner = n;
            n->mpNoteOff = off;
        }
}

void NoteStream::AllNotesOff(MidiOutList& out) noexcept
{
    while (mpHead)
    {
        EventNode* e = mpHead;
        Unlink(e);
        FreeEvent(e);
    }
    while (mpLiveHead)
        FreeLiveNote(mpLiveHead);
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
