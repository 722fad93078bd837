// The process block: pulse timing, transport handling, velocities, lengths and channels.

#include "PatternEngine.h"
#include "AudioThreadRole.h"

#include "CheckCapture.h"
#include "EngineDriver.h"
#include "Modifiers.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(PatternEngine, FirstBlockAtZeroPlaysTheFirstPositionAtOffsetZero)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    PlayEngineBlock(e, Playing(), 512);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mOffset, 0);
    EXPECT_EQ(e.mMidiOut[0].mStatus, 0x90);
    EXPECT_EQ(e.mMidiOut[0].mData1, 72);
    EXPECT_EQ(e.mMidiOut[0].mData2, 100);
    EXPECT_EQ(e.mPlayer.Cursor(), 0);
    EXPECT_EQ(view.mShownChord, 0);
    EXPECT_EQ(view.mShownPulse, 0);
    EXPECT_TRUE(e.mPulseSeen);
}

TEST(PatternEngine, PulsesLandInTheirBlocksAtExactOffsets)
{
    PatternEngine e;
    StrikeEveryPulse(e, 1);
    // Blocks shorter than a pulse: most hold none, and a note due at a block's end opens the
    // next block at offset 0 (44100 = 441 * 100).
    const std::vector<StreamEvent> events = PlayRun(e, Playing(), 0, 100000, FixedBlocks(100));
    const std::vector<StreamEvent> ons = NoteOns(events);
    ASSERT_EQ(ons.size(), 10u);
    for (size_t k = 0; k < ons.size(); ++k)
        EXPECT_EQ(ons[k].mTime, static_cast<long long>(k) * 11025) << k;

    // Every offset lies inside its block.
    PatternEngine f;
    StrikeEveryPulse(f, 1);
    TransportState t = Playing();
    for (int pos = 0; pos < 200000; pos += 11025)
    {
        t.mSamplePos = pos;
        PlayEngineBlock(f, t, 11025);
        for (const IMidiMessage& m : f.mMidiOut)
        {
            EXPECT_GE(m.mOffset, 0);
            EXPECT_LT(m.mOffset, 11025);
        }
        // The pulse on the block's end plays here: the note it cuts short (the same key, within
        // a chord step) ends on the block's last sample, and its own note opens the next block.
        int ons = 0;
        for (const IMidiMessage& m : f.mMidiOut)
            if (m.mStatus == 0x90)
            {
                EXPECT_EQ(m.mOffset, 0) << pos;
                ++ons;
            }
            else
                EXPECT_TRUE(m.mOffset == 11024 || m.mOffset == 0) << pos << " " << m.mOffset;
        EXPECT_EQ(ons, 1) << pos;
    }
}

TEST(PatternEngine, APulseOnTheEndOfALoopOrBeforeAStopNeverSounds)
{
    // Legato notes of key 60 on pulses 0 to 3; the loop and the stop end on pulse 3.
    PatternEngine e;
    StrikeEveryPulse(e, 1);
    e.SetNoteLengthDivision(DivisionIndex("1/4"));
    TransportState t = Playing();
    std::vector<StreamEvent> events = PlayRun(e, t, 0, 33075, FixedBlocks(11025));
    // The pulse on the loop's end cuts the note before it inside the loop; its own note goes
    // with the jump.
    const std::vector<StreamEvent> pass = {{0, 0x90, 60, 100},     {11024, 0x80, 60, 0},
                                           {11025, 0x90, 60, 100}, {22049, 0x80, 60, 0},
                                           {22050, 0x90, 60, 100}, {33074, 0x80, 60, 0}};
    EXPECT_EQ(events, pass);
    EXPECT_EQ(PlayRun(e, t, 0, 33075, FixedBlocks(1000)), pass);

    events = PlayRun(e, t, 0, 11025, FixedBlocks(11025));
    EXPECT_EQ(events, (std::vector<StreamEvent>{{0, 0x90, 60, 100}, {11024, 0x80, 60, 0}}));
    EXPECT_EQ(e.mNoteStream.LiveNotes(), 1); // the note of pulse 1, waiting
    t.mRunning = false;
    EXPECT_TRUE(PlayRun(e, t, 11025, 512, FixedBlocks(512)).empty());
    EXPECT_EQ(e.mNoteStream.PendingEvents(), 0);
    EXPECT_EQ(e.mNoteStream.SoundingChannels(60), 0u);
}

TEST(PatternEngine, ABlockCanHoldSeveralPulses)
{
    PatternEngine e;
    StrikeEveryPulse(e, 2);
    e.SetDivision(DivisionIndex("1/32"));
    PlayEngineBlock(e, Playing(600.0), 4096); // pulses of 551.25 samples
    std::vector<int> offsets;
    for (const IMidiMessage& m : e.mMidiOut)
        if (m.MessageKind() == IMidiMessage::kNoteOn)
            offsets.push_back(m.mOffset);
    std::vector<int> expected;
    for (int k = 0; e.mBeatClock.PulseTime(k) < 4096; ++k)
        expected.push_back(static_cast<int>(e.mBeatClock.PulseTime(k)));
    EXPECT_EQ(offsets, expected);
    EXPECT_EQ(offsets.size(), 8u);
}

TEST(PatternEngine, StartingInsideAPulsePlaysThatPositionAtTheNextBoundary)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    StrikeEveryPulse(e, 1);
    const std::vector<StreamEvent> events =
        PlayRun(e, Playing(), 5 * 11025 + 100, 11025, FixedBlocks(512));
    const std::vector<StreamEvent> ons = NoteOns(events);
    ASSERT_EQ(ons.size(), 1u);
    EXPECT_EQ(ons[0].mTime, 6 * 11025);
    // Position 5 (chord 1, pulse 1), not advanced for this first pulse.
    EXPECT_EQ(view.mShownChord, 1);
    EXPECT_EQ(view.mShownPulse, 1);
    EXPECT_EQ(e.mPlayer.Cursor(), 5);
    EXPECT_EQ(e.mGroove.Cursor(), 1);

    // Exactly on a boundary, the pulse plays at once.
    PatternEngine f;
    StrikeEveryPulse(f, 1);
    const std::vector<StreamEvent> at =
        NoteOns(PlayRun(f, Playing(), 7 * 11025, 512, FixedBlocks(512)));
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at[0].mTime, 7 * 11025);
    EXPECT_EQ(f.mPlayer.Cursor(), 7);
}

TEST(PatternEngine, AJumpLandsOnThePulsesOfAnUninterruptedRun)
{
    // Fractional pulses (48 kHz, 140 BPM, 1/16) with swing, an hour into the song.
    auto configure = [](PatternEngine& e)
    {
        StrikeEveryPulse(e, 1);
        e.SetSampleRate(48000.0);
        e.SetDivision(DivisionIndex("1/16"));
        e.SetSwing(0.3);
    };
    PatternEngine through;
    configure(through);
    const long long from = 48000LL * 3600;
    const long long span = 48000LL * 20;
    TransportState t = Playing(140.0);
    // The uninterrupted run's pulse times, computed by the clock itself after warming up.
    PlayRun(through, t, 0, 1024, FixedBlocks(1024));
    std::vector<long long> expected;
    for (long long k = 0;; ++k)
    {
        const long long at = through.mBeatClock.PulseTime(k);
        if (at >= from + span)
            break;
        if (at >= from)
            expected.push_back(at);
    }
    // Check the clock's formula against a real continuous run over its first minute.
    PatternEngine minute;
    configure(minute);
    const std::vector<long long> run =
        Times(NoteOns(PlayRun(minute, t, 0, 48000LL * 60, FixedBlocks(4096))));
    for (size_t k = 0; k < run.size(); ++k)
        ASSERT_EQ(run[k], minute.mBeatClock.PulseTime(static_cast<long long>(k))) << k;

    for (long long offset : {0LL, 1LL, 777LL, 5000LL})
    {
        PatternEngine jumped;
        configure(jumped);
        const std::vector<long long> got =
            Times(NoteOns(PlayRun(jumped, t, from + offset, span - offset, FixedBlocks(512))));
        std::vector<long long> want;
        for (long long at : expected)
            if (at >= from + offset)
                want.push_back(at);
        EXPECT_EQ(got, want) << offset;
    }
}

TEST(PatternEngine, StoppingReleasesSoundingNotesAndPlaysNothing)
{
    PatternEngine e;
    PlayEngineBlock(e, Playing(), 512); // note 72 sounds until 11025
    TransportState stopped = Playing();
    stopped.mRunning = false;
    stopped.mSamplePos = 512;
    PlayEngineBlock(e, stopped, 512);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mStatus, 0x80);
    EXPECT_EQ(e.mMidiOut[0].mData1, 72);
    EXPECT_EQ(e.mMidiOut[0].mOffset, 0);
    // Hosts freeze or advance the position while stopped: either way nothing plays.
    for (int i = 0; i < 100; ++i)
    {
        stopped.mSamplePos = 512 + (i % 2) * i * 512;
        PlayEngineBlock(e, stopped, 512);
        ASSERT_EQ(e.mMidiOut.Size(), 0);
    }
    EXPECT_EQ(e.mNoteStream.PendingEvents(), 0);
    // Playing again from 0 starts over.
    PlayEngineBlock(e, Playing(), 512);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mData1, 72);
}

TEST(PatternEngine, PlayingResumesOnTheGridWhenTheHostMovedOnWhileStopped)
{
    PatternEngine e;
    StrikeEveryPulse(e, 1);
    TransportState t = Playing();
    PlayRun(e, t, 0, 5000, FixedBlocks(500));
    t.mRunning = false;
    PlayRun(e, t, 5000, 30000, FixedBlocks(500)); // the host's position keeps running
    t.mRunning = true;
    const std::vector<StreamEvent> ons = NoteOns(PlayRun(e, t, 35000, 21000, FixedBlocks(500)));
    ASSERT_EQ(ons.size(), 2u);
    EXPECT_EQ(ons[0].mTime, 4 * 11025);
    EXPECT_EQ(ons[1].mTime, 5 * 11025);
    EXPECT_EQ(e.mPlayer.Cursor(), 4); // position 3 at the first boundary, then 4
}

TEST(PatternEngine, MissingTempoAndTimeSignatureMeanOneTwentyInFourFour)
{
    PatternEngine e;
    StrikeEveryPulse(e, 1);
    TransportState t;
    t.mTempo = 0.0;
    t.mNumerator = 0;
    t.mDenominator = 0;
    const std::vector<StreamEvent> got = PlayRun(e, t, 0, 100000, FixedBlocks(512));
    EXPECT_EQ(e.mBeatClock.Tempo(), 120.0);
    EXPECT_EQ(e.mBeatClock.Numerator(), 4);
    EXPECT_FALSE(e.mBeatClock.UpdateTransport(-5.0, 0, 3));
    PatternEngine f;
    StrikeEveryPulse(f, 1);
    EXPECT_EQ(got, PlayRun(f, Playing(), 0, 100000, FixedBlocks(512)));
}

TEST(PatternEngine, VelocityFromBaseGrooveAndClamp)
{
    auto firstVelocity = [](int vel, int groove, bool muted)
    {
        PatternEngine e;
        e.SetVelocity(vel);
        e.mGroove.SetVelocity(0, groove);
        e.mGroove.SetMuted(0, muted);
        PlayEngineBlock(e, Playing(), 64);
        return e.mMidiOut.Size() == 1 ? e.mMidiOut[0].mData2 : -1;
    };
    EXPECT_EQ(firstVelocity(100, 128, false), 100);
    EXPECT_EQ(firstVelocity(127, 128, false), 127);
    EXPECT_EQ(firstVelocity(100, 64, false), 50);
    EXPECT_EQ(firstVelocity(100, 3, false), 2);
    EXPECT_EQ(firstVelocity(100, 128, true), 0); // a muted step still sends, at velocity 0
    EXPECT_EQ(firstVelocity(100, 300, false), 127);
    EXPECT_EQ(firstVelocity(127, 2147483647, false), 127);
    EXPECT_EQ(firstVelocity(100, -50, false), 0);
}

TEST(PatternEngine, VelocityJitterMovesUpToFortyEitherWay)
{
    PatternEngine e;
    StrikeEveryPulse(e, 1);
    e.SetVelocityJitter(1.0);
    e.SetVelocity(100);
    const std::vector<StreamEvent> ons =
        NoteOns(PlayRun(e, Playing(), 0, 11025LL * 2000, FixedBlocks(4096)));
    int lo = 200, hi = -1;
    for (const StreamEvent& on : ons)
    {
        lo = std::min(lo, on.mData2);
        hi = std::max(hi, on.mData2);
    }
    EXPECT_GE(lo, 60);
    EXPECT_LE(lo, 63);
    EXPECT_EQ(hi, 127); // above 127 is clamped
    // Jitter draws from the shared generator: the same run gives the same velocities.
    PatternEngine f;
    StrikeEveryPulse(f, 1);
    f.SetVelocityJitter(1.0);
    EXPECT_EQ(ons, NoteOns(PlayRun(f, Playing(), 0, 11025LL * 2000, FixedBlocks(333))));
}

TEST(PatternEngine, LengthJitterNeverGoesBelowASixtyFourthNote)
{
    PatternEngine e;
    StrikeEveryPulse(e, 1);
    e.SetDivision(DivisionIndex("1/2"));
    e.SetNoteLengthDivision(DivisionIndex("1/8"));
    e.SetLengthJitter(0.01); // only the sign matters
    const std::vector<StreamEvent> events =
        PlayRun(e, Playing(), 0, 44100LL * 400, FixedBlocks(4096));
    std::vector<long long> lengths;
    long long start = -1;
    for (const StreamEvent& ev : events)
        if ((ev.mStatus & 0xf0) == 0x90)
            start = ev.mTime;
        else if (start >= 0)
            lengths.push_back(ev.mTime - start);
    ASSERT_GT(lengths.size(), 300u);
    const long long shortest = *std::min_element(lengths.begin(), lengths.end());
    const long long longest = *std::max_element(lengths.begin(), lengths.end());
    EXPECT_EQ(shortest, 1378); // 22050 / 16, truncated
    EXPECT_GT(longest, 20000);
    EXPECT_LE(longest, 22050);
    // Factors below 1/8 are raised: about one draw in six.
    const long long atFloor = std::count(lengths.begin(), lengths.end(), 1378LL);
    EXPECT_GT(atFloor, 30);
    EXPECT_LT(atFloor, 110);
}

TEST(PatternEngine, NoteLengthKeepsTheTempoItWasSetAt)
{
    PatternEngine e;
    const std::vector<StreamEvent> events = PlayRun(e, Playing(60.0), 0, 44100, FixedBlocks(512));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[1].mTime - events[0].mTime, 11025);
    e.SetNoteLengthDivision(DivisionIndex("1/8"));
    EXPECT_EQ(e.mNoteLength, 22050);
}

TEST(PatternEngine, ChannelSixteenIsZeroBasedFifteen)
{
    PatternEngine e;
    e.SetMidiChannel(15);
    PlayEngineBlock(e, Playing(), 64);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mStatus, 0x9f);
    e.SetMidiChannel(16);
    EXPECT_EQ(e.mMidiChannel, 15);
}

TEST(PatternEngine, NotesAboveMidiRangeAreDroppedBeforeTheNoteStream)
{
    PatternEngine e;
    e.SetTonic(127);
    PitchSet& set = *e.mProgression.GetPitchSet(0, 0, 0);
    set.mPlayingMask = 1 | 4; // degree 0 is the tonic, degree 2 an octave above it
    CheckCapture checks;
    PlayEngineBlock(e, Playing(), 64);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mData1, 127);
    EXPECT_EQ(e.mNoteStream.PendingEvents(), 1); // only the note-off of 127
    EXPECT_EQ(e.mNoteStream.DroppedNotes(), 0);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}

TEST(PatternEngine, ASeekWithNoActiveGrooveStepsReportsAndCarriesOn)
{
    PatternEngine e;
    e.SetGrooveStepsActive(0);
    CheckCapture checks;
    PlayRun(e, Playing(), 0, 5 * 11025, FixedBlocks(512));
    EXPECT_TRUE(checks.Fired("src/GrooveMaker", "mNumStepsActive > 0"));
    EXPECT_EQ(e.mGroove.Cursor(), 0);
}

TEST(PatternEngine, EmptyBlocksAndTheTopOfTheHostsRangeAreHarmless)
{
    PatternEngine e;
    TransportState t = Playing();
    PlayEngineBlock(e, t, 0);
    EXPECT_EQ(e.mMidiOut.Size(), 0);
    PlayEngineBlock(e, t, -5);
    EXPECT_EQ(e.mMidiOut.Size(), 0);
    t.mSamplePos = 2147483647 - 100;
    PlayEngineBlock(e, t, 4096);
    EXPECT_EQ(e.mExpectedSamplePos, 2147483647LL - 100 + 4096);
    t.mSamplePos = -7;
    PlayEngineBlock(e, t, 64);
    ASSERT_EQ(e.mMidiOut.Size(), 1); // taken as position 0: the first pulse plays
}

TEST(PatternEngine, SpanAndPulseOperationsReachThePlayer)
{
    PatternEngine e;
    e.SetPulsesPerChord(3);
    EXPECT_EQ(e.mProgression.GetMelody(7, 2)->mNumPulses, 3);
    EXPECT_EQ(e.mPlayer.EndPosition(), 35);
    e.SetBeginStep(4);
    e.SetStepCount(2);
    EXPECT_EQ(e.mPlayer.StartPosition(), 12);
    EXPECT_EQ(e.mPlayer.EndPosition(), 17);
    EXPECT_TRUE(e.mProgression.GetStep(5)->mActive);
    EXPECT_FALSE(e.mProgression.GetStep(6)->mActive);
    e.SetChordDegree(3, 6);
    EXPECT_EQ(e.mChordDegrees[3], 6);
    EXPECT_EQ(e.mProgression.GetStep(3)->mChordDegree, 6);
    EXPECT_EQ(e.mChordDegrees[11], 5);
    EXPECT_FALSE(e.SetGrooveStepsActive(48));
    EXPECT_TRUE(e.SetGrooveStepsActive(16));

    e.SetSequencerBegin(ModifierPane::kStrike, 6);
    e.SetSequencerLength(ModifierPane::kStrike, 8);
    EXPECT_EQ(e.mStrikeSeq.StartPosition(), 5);
    EXPECT_EQ(e.mStrikeSeq.EndPosition(), 7);
    e.SetSequencerBegin(ModifierPane::kStrike, 0);
    e.SetSequencerLength(ModifierPane::kStrike, 9);
    EXPECT_EQ(e.mStrikeSeq.StartPosition(), 5);
    EXPECT_EQ(e.mStrikeSeq.Length(), 8);
    e.SetSequencerCount(ModifierPane::kMelody, -3);
    EXPECT_EQ(e.mMelodySeq.CountPerStep(), 1);
    e.SetSequencerDirection(ModifierPane::kMelody, kModeBack);
    e.RewindSequencer(ModifierPane::kMelody);
    EXPECT_EQ(e.mMelodySeq.Cursor(), 7);
}
