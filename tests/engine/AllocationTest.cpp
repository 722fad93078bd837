// After warm-up the audio thread allocates nothing: the process block and the note stream work
// in storage reserved at construction. This program replaces the global allocation functions
// with counting ones (tests/support/AllocationCounter.cpp is compiled into it).

#include "AllocationCounter.h"
#include "AudioThreadRole.h"
#include "BeatClock.h"
#include "Modifiers.h"
#include "NoteStream.h"
#include "PatternEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
void BusySettings(PatternEngine& e)
{
    e.SetDivision(5);           // "1/32": many notes
    e.SetNoteLengthDivision(0); // "1/1": long overlapping notes
    e.SetSwing(0.5);
    e.SetHumanise(0.8);
    e.SetVelocityJitter(1.0);
    e.SetLengthJitter(1.0);
    e.SetPlayerDirection(kModeRandom);
    e.SetLifeProbability(0.5);
    for (int i = 0; i < kModifierSteps; ++i)
    {
        e.SetModifierValue(ModifierPane::kStrike, i, i % kNumStrikeModifiers);
        e.SetModifierValue(ModifierPane::kMelody, i, (3 * i) % kNumMelodyModifiers);
    }
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
                e.mProgression.GetPitchSet(s, v, q)->mPlayingMask = 31 - (s + v + q) % 7;
}
} // namespace

TEST(Allocation, TheCounterSeesAllocations)
{
    AllocationCounter counter;
    auto p = std::make_unique<int>(3);
    EXPECT_EQ(counter.Allocations(), 1);
    p.reset();
    EXPECT_EQ(counter.Deallocations(), 1);
}

TEST(Allocation, TheProcessBlockAllocatesNothingAfterWarmUp)
{
    auto engine = std::make_unique<PatternEngine>();
    PatternEngine& e = *engine;
    BusySettings(e);
    TransportState t;
    t.mTempo = 174.0;
    // Warm-up: a few blocks.
    for (int pos = 0; pos < 4096 * 4; pos += 4096)
    {
        t.mSamplePos = pos;
        PlayEngineBlock(e, t, 4096);
    }

    long messages = 0;
    long allocations = 0;
    {
        AllocationCounter counter;
        int pos = 4096 * 4;
        for (int block = 0; block < 20000; ++block)
        {
            const int frames = 32 + (block * 37) % 2000;
            t.mSamplePos = pos;
            t.mRunning = block % 1000 < 950; // a stop every thousand blocks
            if (block % 333 == 0)
                t.mSamplePos = (block * 7919) % 5000000; // jumps and loops
            t.mTempo = block % 2500 < 1250 ? 174.0 : 61.0;
            PlayEngineBlock(e, t, frames);
            messages += e.mMidiOut.Size();
            pos = t.mSamplePos + frames;
        }
        allocations = counter.Allocations();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(messages, 5000);
    EXPECT_EQ(e.mNoteStream.DroppedNotes(), 0);
}

TEST(Allocation, TheNoteStreamAllocatesNothingOnceReserved)
{
    NoteStream s;
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    long allocations = 0;
    {
        AllocationCounter counter;
        for (int block = 0; block < 5000; ++block)
        {
            for (int i = 0; i < 5; ++i)
                s.AddNote((block * 13 + i * 101) % 512, i % 3, (block + i * 7) % 128, 90,
                          (block % 4 == 0) ? 0 : 300 + 40 * i);
            out.Clear();
            s.Render(512, out);
            if (block % 700 == 699)
            {
                out.Clear();
                s.AllNotesOff(out);
            }
        }
        allocations = counter.Allocations();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(s.DroppedNotes(), 0);
}
