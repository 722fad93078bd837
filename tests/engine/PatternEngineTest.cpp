#include "PatternEngine.h"

#include "CheckCapture.h"
#include "EngineDriver.h"
#include "Modifiers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace
{
// Remembers what the engine tells the editor.
class RecordingView : public PatternView
{
public:
    void SetPlayMarker(int chordStep, int variation, int pulse) noexcept override
    {
        ++mMarkerCalls;
        if (pulse >= 0)
        {
            mShownChord = chordStep;
            mShownVariation = variation;
            mShownPulse = pulse;
        }
        else
            ++mHides;
    }
    void RedrawVariation(int, int) noexcept override { ++mVariationRedraws; }
    void RedrawGroove() noexcept override { ++mGrooveRedraws; }
    void SetStepHighlight(ModifierPane pane, int step, bool on) noexcept override
    {
        if (pane == ModifierPane::kStrike)
            mStrikeHighlight[step] = on;
        else
            mMelodyHighlight[step] = on;
    }

    int mMarkerCalls = 0;
    int mHides = 0;
    int mShownChord = -1;
    int mShownVariation = -1;
    int mShownPulse = -1;
    int mVariationRedraws = 0;
    int mGrooveRedraws = 0;
    std::map<int, bool> mStrikeHighlight;
    std::map<int, bool> mMelodyHighlight;
};

// Every pulse of every melody strikes the given degrees.
void StrikeEveryPulse(PatternEngine& e, int mask)
{
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
            {
                PitchSet& set = *e.mProgression.GetPitchSet(s, v, q);
                set.mPlayingMask = set.mBaseMask = mask;
            }
}

std::vector<StreamEvent> NoteOns(const std::vector<StreamEvent>& events)
{
    std::vector<StreamEvent> out;
    for (const StreamEvent& e : events)
        if ((e.mStatus & 0xf0) == 0x90)
            out.push_back(e);
    return out;
}

std::vector<long long> Times(const std::vector<StreamEvent>& events)
{
    std::vector<long long> out;
    for (const StreamEvent& e : events)
        out.push_back(e.mTime);
    return out;
}

TransportState Playing(double tempo = 120.0)
{
    TransportState t;
    t.mTempo = tempo;
    return t;
}
} // namespace

TEST(PatternEngine, FirstBlockAtZeroPlaysTheFirstPositionAtOffsetZero)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    e.ProcessBlock(Playing(), 512);
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
    // Blocks shorter than a pulse: most hold none, and a pulse due at a block's end opens the
    // next block at offset 0 (11025 = 11 * 1000 + 25 ... and 44100 = 441 * 100).
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
        f.ProcessBlock(t, 11025);
        for (const IMidiMessage& m : f.mMidiOut)
        {
            EXPECT_GE(m.mOffset, 0);
            EXPECT_LT(m.mOffset, 11025);
        }
        ASSERT_EQ(f.mMidiOut.Size(), pos == 0 ? 1 : 2) << pos; // the note-off, then the note-on
        EXPECT_EQ(f.mMidiOut[f.mMidiOut.Size() - 1].mOffset, 0);
    }
}

TEST(PatternEngine, ABlockCanHoldSeveralPulses)
{
    PatternEngine e;
    StrikeEveryPulse(e, 2);
    e.SetDivision(DivisionIndex("1/32"));
    e.ProcessBlock(Playing(600.0), 4096); // pulses of 551.25 samples
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
    e.ProcessBlock(Playing(), 512); // note 72 sounds until 11025
    TransportState stopped = Playing();
    stopped.mRunning = false;
    stopped.mSamplePos = 512;
    e.ProcessBlock(stopped, 512);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mStatus, 0x80);
    EXPECT_EQ(e.mMidiOut[0].mData1, 72);
    EXPECT_EQ(e.mMidiOut[0].mOffset, 0);
    // Hosts freeze or advance the position while stopped: either way nothing plays.
    for (int i = 0; i < 100; ++i)
    {
        stopped.mSamplePos = 512 + (i % 2) * i * 512;
        e.ProcessBlock(stopped, 512);
        ASSERT_EQ(e.mMidiOut.Size(), 0);
    }
    EXPECT_EQ(e.mNoteStream.PendingEvents(), 0);
    // Playing again from 0 starts over.
    e.ProcessBlock(Playing(), 512);
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
        e.ProcessBlock(Playing(), 64);
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
    e.ProcessBlock(Playing(), 64);
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
    e.ProcessBlock(Playing(), 64);
    ASSERT_EQ(e.mMidiOut.Size(), 1);
    EXPECT_EQ(e.mMidiOut[0].mData1, 127);
    EXPECT_EQ(e.mNoteStream.PendingEvents(), 1); // only the note-off of 127
    EXPECT_EQ(e.mNoteStream.DroppedNotes(), 0);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}

TEST(PatternEngine, TemporaryMelodyChangesLastToTheEndOfTheChordPass)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    for (int i = 0; i < kModifierSteps; ++i)
        e.SetModifierValue(ModifierPane::kMelody, i, kMelodyUp1);
    const Melody& m = *e.mProgression.GetMelody(0, 0);
    PlayRun(e, Playing(), 0, 3 * 11025 + 1, FixedBlocks(512));
    EXPECT_TRUE(m.mRestorePending);
    EXPECT_EQ(m.mPitchSets[0].mPlayingMask, 8);
    EXPECT_EQ(m.mPitchSets[2].mPlayingMask, 1);
    PlayRun(e, Playing(), 3 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_FALSE(m.mRestorePending);
    EXPECT_EQ(m.mPitchSets[0].mPlayingMask, 4);
    EXPECT_EQ(m.mPitchSets[2].mPlayingMask, 16);
    EXPECT_GE(view.mVariationRedraws, 2); // the change and the restore
    // The melody sequencer ticks once per chord pass, on its second pulse.
    EXPECT_EQ(e.mMelodySeq.Cursor(), 1);
    EXPECT_TRUE(view.mMelodyHighlight[1]);
    EXPECT_FALSE(view.mMelodyHighlight[0]);
}

TEST(PatternEngine, PermanentChangesStayAndLifeProbabilityFlipsTheChoice)
{
    auto run = [](int permanence, double lifeProb)
    {
        PatternEngine e;
        for (int i = 0; i < kModifierSteps; ++i)
        {
            e.SetModifierValue(ModifierPane::kMelody, i, kMelodyUp1);
            e.SetModifierPermanence(ModifierPane::kMelody, i, permanence);
        }
        e.SetLifeProbability(lifeProb);
        PlayRun(e, Playing(), 0, 4 * 11025 + 1, FixedBlocks(512));
        return e.mProgression.GetMelody(0, 0)->mPitchSets[0].mPlayingMask;
    };
    EXPECT_EQ(run(kTemporary, 0.0), 4);
    EXPECT_EQ(run(kPermanent, 0.0), 8);
    EXPECT_EQ(run(kTemporary, 1.0), 8);
    EXPECT_EQ(run(kPermanent, 1.0), 4);
}

TEST(PatternEngine, AStateLoadReplaysTheCurrentPositionOnce)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    PlayRun(e, Playing(), 0, 5 * 11025 + 1, FixedBlocks(512));
    EXPECT_EQ(e.mPlayer.Cursor(), 5);
    e.mResyncPending = true;
    PlayRun(e, Playing(), 5 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_EQ(e.mPlayer.Cursor(), 5);
    EXPECT_FALSE(e.mResyncPending);
    PlayRun(e, Playing(), 6 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_EQ(e.mPlayer.Cursor(), 6);
}

TEST(PatternEngine, TellsTheEditorAboutMarkersGrooveAndHighlights)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    e.SetGrooveStepsActive(3);
    PlayRun(e, Playing(), 0, 10 * 11025 + 1, FixedBlocks(512));
    // Seek: hide and show; then per advancing pulse: hide and show.
    EXPECT_EQ(view.mMarkerCalls, 2 + 2 * 10);
    EXPECT_EQ(view.mHides, 1 + 10);
    EXPECT_EQ(view.mShownChord, 2);
    EXPECT_EQ(view.mShownPulse, 2);
    EXPECT_EQ(view.mGrooveRedraws, 1 + 1 + 10); // the step count, the seek, each pulse
    EXPECT_EQ(e.mGroove.Cursor(), 10 % 3);
    EXPECT_EQ(e.mStrikeSeq.Cursor(), 10 % 8);
    EXPECT_TRUE(view.mStrikeHighlight[2]);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(view.mStrikeHighlight[i], i == 2) << i;
    // Without the groove enabled its cursor stays.
    e.SetGrooveEnabled(false);
    PlayRun(e, Playing(), 10 * 11025 + 1, 3 * 11025, FixedBlocks(512));
    EXPECT_EQ(e.mGroove.Cursor(), 1);
    e.SetView(nullptr);
    PlayRun(e, Playing(), 13 * 11025 + 1, 3 * 11025, FixedBlocks(512));
    EXPECT_EQ(view.mShownPulse, 1);
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
    e.ProcessBlock(t, 0);
    EXPECT_EQ(e.mMidiOut.Size(), 0);
    e.ProcessBlock(t, -5);
    EXPECT_EQ(e.mMidiOut.Size(), 0);
    t.mSamplePos = 2147483647 - 100;
    e.ProcessBlock(t, 4096);
    EXPECT_EQ(e.mExpectedSamplePos, 2147483647LL - 100 + 4096);
    t.mSamplePos = -7;
    e.ProcessBlock(t, 64);
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

TEST(PatternEngine, EveryStrikeModifierTemporaryAndPermanent)
{
    // Pitch set 2 of the first melody holds degree 4 (mask 16); the strike sequencer changes it
    // on pulse 2 and, for a temporary change, pulse 3 restores it.
    const int changed[kNumStrikeModifiers] = {1, 2, 4, 8, 8, 4, 2, 1, 1, -1, 16, 16, 16};
    for (int value = 0; value < kNumStrikeModifiers; ++value)
        for (int permanence : {kTemporary, kPermanent})
        {
            PatternEngine e;
            for (int i = 0; i < kModifierSteps; ++i)
            {
                e.SetModifierValue(ModifierPane::kStrike, i, value);
                e.SetModifierPermanence(ModifierPane::kStrike, i, permanence);
            }
            const PitchSet& set = *e.mProgression.GetPitchSet(0, 0, 2);
            MwcRandom twin = set.mRandom;
            const int expected = changed[value] >= 0 ? changed[value] : twin.NextDegreeMask();
            PlayRun(e, Playing(), 0, 2 * 11025 + 1, FixedBlocks(512));
            EXPECT_EQ(set.mPlayingMask, expected) << kStrikeModifierNames[value];
            PlayRun(e, Playing(), 2 * 11025 + 1, 11025, FixedBlocks(512));
            const int after = permanence == kTemporary ? 16 : expected;
            EXPECT_EQ(set.mPlayingMask, after) << kStrikeModifierNames[value] << " " << permanence;
            EXPECT_FALSE(set.mRestorePending);
        }
}

TEST(PatternEngine, EveryMelodyModifierTemporaryAndPermanent)
{
    // The first melody is {4, 0, 16, 0}; the melody sequencer changes it on pulse 1 and, for a
    // temporary change, the end of the chord pass (pulse 4) restores it.
    const std::vector<int> changed[kNumMelodyModifiers] = {
        {0, 16, 0, 4}, {4, 0, 1, 0},  {0, 16, 0, 4}, {16, 0, 4, 0}, {0, 4, 0, 16}, {0, 4, 0, 16},
        {16, 0, 4, 0}, {0, 16, 0, 4}, {8, 0, 1, 0},  {16, 0, 2, 0}, {1, 0, 4, 0},  {2, 0, 8, 0},
        {2, 0, 8, 0},  {1, 0, 4, 0},  {16, 0, 2, 0}, {8, 0, 1, 0},  {4, 0, 16, 0}, {},
        {4, 0, 16, 0},
    };
    const std::vector<int> original = {4, 0, 16, 0};
    for (int value = 0; value < kNumMelodyModifiers; ++value)
        for (int permanence : {kTemporary, kPermanent})
        {
            PatternEngine e;
            for (int i = 0; i < kModifierSteps; ++i)
            {
                e.SetModifierValue(ModifierPane::kMelody, i, value);
                e.SetModifierPermanence(ModifierPane::kMelody, i, permanence);
            }
            const Melody& m = *e.mProgression.GetMelody(0, 0);
            std::vector<int> expected = changed[value];
            if (expected.empty())
                for (const PitchSet& set : m.mPitchSets)
                {
                    MwcRandom twin = set.mRandom;
                    expected.push_back(twin.NextDegreeMask());
                }
            auto masks = [&m]
            {
                std::vector<int> out;
                for (const PitchSet& set : m.mPitchSets)
                    out.push_back(set.mPlayingMask);
                return out;
            };
            PlayRun(e, Playing(), 0, 11025 + 1, FixedBlocks(512));
            EXPECT_EQ(masks(), expected) << kMelodyModifierNames[value];
            PlayRun(e, Playing(), 11025 + 1, 3 * 11025, FixedBlocks(512));
            EXPECT_EQ(masks(), permanence == kTemporary ? original : expected)
                << kMelodyModifierNames[value] << " " << permanence;
            EXPECT_FALSE(m.mRestorePending);
        }
}
