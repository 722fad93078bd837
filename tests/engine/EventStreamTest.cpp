// Whole event streams of the engine compared against the files in tests/engine/expected/.
// After an intended change of the engine's output, regenerate them with
//   ORLANTIX_UPDATE_EXPECTED=1 build/<dir>/tests/engine/engine_tests --gtest_filter='EventStream.*'
// and review the difference before committing it.

#include "EngineDriver.h"
#include "Modifiers.h"
#include "RowTransforms.h"

#include <gtest/gtest.h>

namespace
{
std::string ExpectedPath(const std::string& name)
{
    return std::string(ORX_SOURCE_DIR) + "/tests/engine/expected/" + name;
}

// Block sizes a host might use, varying from block to block, the same on every run.
std::function<int()> VaryingBlocks(uint32_t seed)
{
    auto random = std::make_shared<MwcRandom>(seed, ~seed);
    return [random] { return 1 + static_cast<int>(random->Next() % 1500u); };
}

std::vector<StreamEvent> FactoryStream()
{
    PatternEngine e;
    // Two passes of the twelve chord steps of four eighth notes.
    return PlayRun(e, TransportState{}, 0, 96LL * 11025, FixedBlocks(512));
}

// Everything that shapes the stream, at once.
void ConfigureBusyPattern(PatternEngine& e)
{
    e.SetSampleRate(48000.0);
    e.SetDivision(DivisionIndex("1/16"));
    e.SetNoteLengthDivision(DivisionIndex("1/16d"));
    e.SetSwing(0.25);
    e.SetHumanise(0.3);
    e.SetVelocityJitter(0.5);
    e.SetLengthJitter(1.0);
    e.SetMidiChannel(9);
    e.SetVelocity(110);
    e.SetTonic(48);
    e.SetMode(2);
    e.SetIntervalSet(2); // "Triad 7th"
    e.SetScale(1);       // "Minor"
    e.SetPulsesPerChord(3);
    e.SetBeginStep(2);
    e.SetStepCount(8);
    e.SetLifeProbability(0.2);
    e.SetGrooveStepsActive(12);
    for (int i = 0; i < 12; ++i)
    {
        e.mGroove.SetVelocity(i, 40 + 8 * i);
        e.mGroove.SetMuted(i, i % 5 == 4);
    }
    const int strike[8] = {kStrikeUp1,   kStrikeNone, kStrikeFlip, kStrikeRand,
                           kStrikeDown2, kStrikeOrig, kStrikeMute, kStrikeUp3};
    const int melody[8] = {kMelodyFlipLR, kMelodyLeft1,  kMelodyUp2,  kMelodyRand,
                           kMelodyNone,   kMelodyRight2, kMelodyOrig, kMelodyDown1};
    for (int i = 0; i < kModifierSteps; ++i)
    {
        e.SetModifierValue(ModifierPane::kStrike, i, strike[i]);
        e.SetModifierPermanence(ModifierPane::kStrike, i, i % 3 == 0 ? kPermanent : kTemporary);
        e.SetModifierValue(ModifierPane::kMelody, i, melody[i]);
        e.SetModifierPermanence(ModifierPane::kMelody, i, i % 2);
    }
    e.SetSequencerDirection(ModifierPane::kStrike, kModeFwdBack);
    e.SetSequencerProbability(ModifierPane::kStrike, 0.7);
    e.SetSequencerLength(ModifierPane::kStrike, 6);
    e.SetSequencerDirection(ModifierPane::kMelody, kModeRandom);
    e.SetSequencerCount(ModifierPane::kMelody, 2);
    e.SetSequencerProbability(ModifierPane::kMelody, 0.8);
    e.SetPlayerDirection(kModeBackFwd);
    // A denser pattern: rows 1 and 2 from shifted and scrambled copies of row 0.
    RowClipboard clipboard;
    MwcRandom editor;
    ApplyRowCommand(e.mProgression, 0, kRowCopy, 1, clipboard, editor);
    ApplyRowCommand(e.mProgression, 1, kRowPaste, 1, clipboard, editor);
    ApplyRowCommand(e.mProgression, 1, kRowShiftRightPulse, 5, clipboard, editor);
    ApplyRowCommand(e.mProgression, 2, kRowPaste, 1, clipboard, editor);
    ApplyRowCommand(e.mProgression, 2, kRowScrambleChord, 1, clipboard, editor);
    ApplyRowCommand(e.mProgression, 2, kRowShiftUp, 2, clipboard, editor);
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        e.mProgression.GetMelody(s, 0)->mRepeatCount = 1 + s % 3;
        e.mProgression.GetMelody(s, 1)->mRepeatCount = 2;
    }
    e.mProgression.SetRowMute(3, true);
}

std::vector<StreamEvent> BusyStream()
{
    PatternEngine e;
    ConfigureBusyPattern(e);
    TransportState t;
    t.mTempo = 140.0;
    return PlayRun(e, t, 0, 48000LL * 40, VaryingBlocks(11));
}

// Jumps, a loop, a stop, tempo and sample-rate changes and a host without a time signature.
std::vector<StreamEvent> TransportStream()
{
    PatternEngine e;
    // Rows 1..3: row 0 shifted up one, two and three degrees, so every pass sounds.
    RowClipboard clipboard;
    MwcRandom editor;
    ApplyRowCommand(e.mProgression, 0, kRowCopy, 1, clipboard, editor);
    for (int row = 1; row < MAX_VARIATIONS_PER_CHORD; ++row)
    {
        ApplyRowCommand(e.mProgression, row, kRowPaste, 1, clipboard, editor);
        ApplyRowCommand(e.mProgression, row, kRowShiftUp, row, clipboard, editor);
    }
    std::vector<StreamEvent> all;
    auto play = [&](TransportState t, long long from, long long total, int block)
    {
        const std::vector<StreamEvent> part = PlayRun(e, t, from, total, FixedBlocks(block));
        all.insert(all.end(), part.begin(), part.end());
    };
    TransportState t;
    play(t, 0, 200000, 256);
    // A two-bar loop back to the start of bar 2, twice; the blocks do not divide the loop.
    for (int pass = 0; pass < 2; ++pass)
        play(t, 88200, 176400, 301);
    // Stop in the middle of notes, then play from elsewhere.
    TransportState stopped = t;
    stopped.mRunning = false;
    play(stopped, 264600, 5000, 256);
    play(t, 500000, 100000, 256);
    // A faster tempo, then a host that gives neither tempo nor time signature.
    t.mTempo = 97.5;
    play(t, 600000, 150000, 1024);
    t.mTempo = 0.0;
    t.mNumerator = 0;
    t.mDenominator = 0;
    play(t, 750000, 100000, 64);
    // The host resets to another sample rate and starts over.
    e.SetSampleRate(96000.0);
    t.mTempo = 128.0;
    play(t, 0, 300000, 2048);
    return all;
}
} // namespace

TEST(EventStream, FactoryPatternBeginsAsWorkedOutByHand)
{
    const std::vector<StreamEvent> events = FactoryStream();
    // 44100 Hz, 120 BPM, "1/8": a pulse every 11025 samples, notes one pulse long, velocity
    // 100 x 128 / 128. "Fifths" in C major from C5 (60), root degrees 0 and 2 for chord
    // steps 0 and 1. Step 0: pulse 0 mask 4 (degree 2: scale degree 8 -> 72), pulse 2 mask 16
    // (degree 4: scale degree 15 -> 84). Step 1: pulse 0 mask 1 (degree 0: scale degree
    // 1 + 2 -> E, 64), pulse 2 mask 2 (degree 1: scale degree 5 + 2 -> B, 71).
    const std::vector<std::string> expected = {
        "0 90 72 100",     "11025 80 72 0", "22050 90 84 100", "33075 80 84 0",
        "44100 90 64 100", "55125 80 64 0", "66150 90 71 100", "77175 80 71 0",
    };
    ASSERT_GE(events.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(FormatEvent(events[i]), expected[i]) << i;
    EXPECT_TRUE(
        MatchesExpectedFile(ExpectedPath("factory_44100_120_eighths.txt"), FormatStream(events)));
}

TEST(EventStream, BusyPatternWithEverySettingInPlay)
{
    const std::vector<StreamEvent> events = BusyStream();
    ASSERT_GT(events.size(), 300u);
    for (const StreamEvent& e : events)
        ASSERT_EQ(e.mStatus & 0x0f, 9);
    EXPECT_TRUE(
        MatchesExpectedFile(ExpectedPath("busy_48000_140_sixteenths.txt"), FormatStream(events)));
}

TEST(EventStream, TransportJumpsLoopsStopsAndTempoChanges)
{
    const std::vector<StreamEvent> events = TransportStream();
    // Every note-on is ended exactly once: by its note-off, a cut or the stop.
    int balance[128] = {};
    for (const StreamEvent& e : events)
    {
        if ((e.mStatus & 0xf0) == 0x90)
            ++balance[e.mData1];
        else
            --balance[e.mData1];
        ASSERT_GE(balance[e.mData1], 0) << FormatEvent(e);
        ASSERT_LE(balance[e.mData1], 1) << FormatEvent(e);
    }
    EXPECT_TRUE(
        MatchesExpectedFile(ExpectedPath("transport_jumps_and_stops.txt"), FormatStream(events)));
}
