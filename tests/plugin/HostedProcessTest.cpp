// The process block as a host sees it: the built library, driven through its effect record by
// our own host, with a transport that runs, stops, jumps and loops.

#include "HostedOrlantix.h"

#include <algorithm>
#include <set>

namespace
{

constexpr long long kPulse = 11025; // an eighth note at 120 BPM and 44.1 kHz

const std::string kFactoryFile =
    std::string(ORX_SOURCE_DIR) + "/tests/engine/expected/factory_44100_120_eighths.txt";

// The first `pulses` pulses of the engine's factory stream.
std::string FactoryLines(long long pulses)
{
    std::istringstream in(ReadFile(kFactoryFile));
    std::string line, out;
    while (std::getline(in, line))
        if (std::stoll(line) < pulses * kPulse)
            out += line + "\n";
    return out;
}

} // namespace

TEST_F(HostedOrlantix, PlaysTheSameStreamAsTheEngineInEveryBlockSize)
{
    // The open pass writes the defaults the engine starts from, so the host hears the engine's
    // factory stream; a pulse on a block's end (11025) and several pulses in one block (44100)
    // change nothing.
    const std::string expected = ReadFile(kFactoryFile);
    ASSERT_FALSE(expected.empty());
    for (int block : {512, 64, 1000, 11025, 44100})
    {
        orxhost::VstHost& host = mHost;
        host.Close();
        ASSERT_TRUE(host.Load(ORX_PLUGIN_PATH)) << host.Error();
        host.GetTransport().mSamplePos = 0;
        Start(std::max(block, 512));
        EXPECT_EQ(FormatStream(Play(96 * kPulse, block)), expected) << "block " << block;
    }
}

TEST_F(HostedOrlantix, EveryEventLiesInsideItsBlock)
{
    Start(11025);
    Play(6 * kPulse, 11025);
    ASSERT_FALSE(mHost.Events().empty());
    for (const orxhost::CapturedEvent& e : mHost.Events())
    {
        EXPECT_GE(e.mDeltaFrames, 0);
        EXPECT_LT(e.mDeltaFrames, 11025);
        EXPECT_EQ(e.mType, vst2::kEventMidi);
    }
    // The note due at the end of block 1 (22050) opens block 2; the first note's off, due at
    // the end of block 0, opens block 1.
    const auto block1 = EventsOfBlock(1);
    const auto block2 = EventsOfBlock(2);
    ASSERT_EQ(block1.size(), 1u);
    EXPECT_EQ(block1[0].mData[0], 0x80);
    EXPECT_EQ(block1[0].mDeltaFrames, 0);
    ASSERT_EQ(block2.size(), 1u);
    EXPECT_EQ(block2[0].mData[0], 0x90);
    EXPECT_EQ(block2[0].mData[1], 84);
    EXPECT_EQ(block2[0].mDeltaFrames, 0);
}

TEST_F(HostedOrlantix, FirstBlockAtZeroPlaysTheFirstPositionAtOnce)
{
    Start();
    Play(512, 512);
    const auto events = EventsOfBlock(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].mDeltaFrames, 0);
    EXPECT_EQ(events[0].mData[0], 0x90);
    EXPECT_EQ(events[0].mData[1], 72);
    EXPECT_EQ(events[0].mData[2], 100);
    // One event per audioMasterProcessEvents call.
    EXPECT_EQ(mHost.CallbackCount(vst2::audioMasterProcessEvents), 1);
}

TEST_F(HostedOrlantix, StartingInsideAPulsePlaysThatPulseAtTheNextBoundary)
{
    Start();
    mHost.GetTransport().mSamplePos = 5000; // inside pulse 0
    const auto ons = NoteOns(Play(2 * kPulse, 512));
    ASSERT_FALSE(ons.empty());
    EXPECT_EQ(ons[0].mTime, 5000 + (kPulse - 5000));
    EXPECT_EQ(ons[0].mData1, 72); // pulse 0's pitch set, not pulse 1's (which is empty)
}

TEST_F(HostedOrlantix, StoppingReleasesSoundingNotesAtOnce)
{
    Start();
    mHost.SetParameter(kLengthUnits, Norm(0, 0, 16)); // "1/1": the note outlasts the blocks
    Play(3 * 512, 512);
    orxhost::Transport& t = mHost.GetTransport();
    t.mPlaying = false;
    const int stopBlock = mHost.ProcessCalls();
    Play(4 * 512, 512);
    const auto released = EventsOfBlock(stopBlock);
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].mData[0], 0x80);
    EXPECT_EQ(released[0].mData[1], 72);
    EXPECT_EQ(released[0].mDeltaFrames, 0);
    for (int b = stopBlock + 1; b < mHost.ProcessCalls(); ++b)
        EXPECT_TRUE(EventsOfBlock(b).empty()) << "block " << b;

    // Playing again, from wherever the host stands, plays again.
    t.mPlaying = true;
    t.mSamplePos = 4 * kPulse;
    const auto ons = NoteOns(Play(kPulse, 512));
    ASSERT_EQ(ons.size(), 1u);
    EXPECT_EQ(ons[0].mTime, 4 * kPulse);
    EXPECT_EQ(ons[0].mData1, 64);
}

TEST_F(HostedOrlantix, LoopsAndJumpsLandOnTheGrid)
{
    Start();
    const auto first = Play(8 * kPulse, 500);
    // Back to the start: the chord at the loop start plays its first melody again, and each
    // chord entered after it moves on from the melody it played last pass (play counts are
    // kept), the same on every pass after the first.
    std::string passes[2];
    for (std::string& pass : passes)
    {
        mHost.GetTransport().mSamplePos = 0;
        pass = FormatStream(Play(8 * kPulse, 500));
    }
    EXPECT_EQ(passes[0], passes[1]);
    EXPECT_EQ(passes[0], FactoryLines(4));
    ASSERT_EQ(first.size(), 8u);

    // A jump forward lands on the grid of an uninterrupted run.
    mHost.GetTransport().mSamplePos = 40 * kPulse + 3;
    const auto stream = Play(4 * kPulse, 500);
    ASSERT_FALSE(stream.empty());
    for (const StreamEvent& e : stream)
        EXPECT_EQ(e.mTime % kPulse, 0) << FormatEvent(e);
}

TEST_F(HostedOrlantix, MissingOrInvalidTransportValuesFallBackTo120And44)
{
    const std::string expected = FactoryLines(16);
    struct Case
    {
        const char* mName;
        double mTempo;
        int mNum;
        int mDen;
        int32_t mValid;
        bool mHonourMask;
    };
    const Case cases[] = {
        {"tempo 0, time signature 0/0", 0.0, 0, 0, orxhost::Transport::kDefaultValid, false},
        {"tempo not valid", 60.0, 3, 8, orxhost::Transport::kDefaultValid & ~vst2::kTimeTempoValid,
         false},
        {"time signature not valid", 120.0, 0, 0,
         orxhost::Transport::kDefaultValid & ~vst2::kTimeSigValid, false},
        {"no validity bits", 75.0, 7, 8, 0, false},
        {"only what was asked for", 120.0, 4, 4, orxhost::Transport::kDefaultValid, true},
        {"time signature 6/8", 120.0, 6, 8, orxhost::Transport::kDefaultValid, false},
    };
    for (const Case& c : cases)
    {
        mHost.Close();
        ASSERT_TRUE(mHost.Load(ORX_PLUGIN_PATH)) << mHost.Error();
        orxhost::Transport& t = mHost.GetTransport();
        t = orxhost::Transport{};
        t.mTempo = c.mTempo;
        t.mNumerator = c.mNum;
        t.mDenominator = c.mDen;
        t.mValidFlags = c.mValid;
        t.mHonourRequestMask = c.mHonourMask;
        Start();
        EXPECT_EQ(FormatStream(Play(16 * kPulse, 512)), expected) << c.mName;
    }
}

TEST_F(HostedOrlantix, TheHostsTempoAndPlayingFlagAreFollowed)
{
    orxhost::Transport& t = mHost.GetTransport();
    t.mTempo = 60.0; // twice as long pulses
    Start();
    const auto ons = NoteOns(Play(16 * kPulse, 512));
    ASSERT_EQ(ons.size(), 4u);
    EXPECT_EQ(ons[1].mTime, 4 * kPulse);

    // Validity bits without the playing flag: stopped, nothing plays.
    t.mPlaying = false;
    t.mAdvance = false;
    const int before = static_cast<int>(NoteOns(Play(8 * kPulse, 512)).size());
    EXPECT_EQ(before, 0);
}

TEST_F(HostedOrlantix, AHostWithoutTimeInfoPlaysFromZeroEveryBlock)
{
    // No position ever arrives, so every block is a jump to 0: the first position sounds at
    // the start of each block, its previous note cut just before.
    mHost.GetTransport().mProvideTimeInfo = false;
    Start();
    Play(3 * 512, 512);
    for (int b = 0; b < 3; ++b)
    {
        const auto events = EventsOfBlock(b);
        ASSERT_FALSE(events.empty()) << "block " << b;
        EXPECT_EQ(events.back().mData[0], 0x90);
        EXPECT_EQ(events.back().mData[1], 72);
        EXPECT_EQ(events.back().mDeltaFrames, 0);
    }
}

TEST_F(HostedOrlantix, Channel16AndVelocityClamps)
{
    Start();
    mHost.SetParameter(kChan, Norm(16, 1, 16));
    mHost.SetParameter(kVel, Norm(127, 0, 127)); // with the groove's 128: 127, not 127 * 128 / 128
    // Short of pulse 4: a pulse on the last block's end is played in that block, and chord step
    // 1 would then be one pass further on when the host starts over below.
    const auto stream = Play(4 * kPulse - 1, 512);
    ASSERT_EQ(stream.size(), 4u);
    EXPECT_EQ(stream[0].mStatus, 0x9F);
    EXPECT_EQ(stream[0].mData2, 127);
    EXPECT_EQ(stream[1].mStatus, 0x8F);
    EXPECT_EQ(stream[1].mData2, 0);

    // A muted groove step gives velocity 0 to the whole pulse.
    mHost.SetParameter(kGrooveMute0 + 4, 1.0f);
    mHost.GetTransport().mSamplePos = 0;
    const auto muted = NoteOns(Play(8 * kPulse, 512));
    ASSERT_EQ(muted.size(), 4u);
    EXPECT_EQ(muted[0].mData2, 127);
    EXPECT_EQ(muted[2].mData2, 0); // pulse 4, groove step 4
    EXPECT_EQ(muted[3].mData2, 127);
}

TEST_F(HostedOrlantix, VelocityJitterStaysWithinFortyAndTheClamp)
{
    Start();
    mHost.SetParameter(kVelJitt, 1.0f);
    const auto ons = NoteOns(Play(800 * kPulse, 4096));
    ASSERT_GT(ons.size(), 100u);
    std::set<int> seen;
    for (const StreamEvent& e : ons)
    {
        EXPECT_GE(e.mData2, 60);
        EXPECT_LE(e.mData2, 127);
        seen.insert(e.mData2);
    }
    EXPECT_GT(seen.size(), 20u);
    EXPECT_TRUE(seen.count(127)); // draws above +27 are clamped
}

TEST_F(HostedOrlantix, LengthJitterNeverGoesBelowASixtyFourthNote)
{
    Start();
    mHost.SetParameter(kLengthUnits, Norm(5, 0, 16)); // "1/32": 2756 samples
    mHost.SetParameter(kLenJitt, 0.01f);              // only the sign matters
    const auto lengths = NoteLengths(Play(800 * kPulse, 4096));
    ASSERT_GT(lengths.size(), 100u);
    const long long floor = 22050 / 16; // 1378
    const long long shortest = *std::min_element(lengths.begin(), lengths.end());
    const long long longest = *std::max_element(lengths.begin(), lengths.end());
    EXPECT_EQ(shortest, floor);
    EXPECT_LE(longest, 2 * 2756);
    EXPECT_GT(longest, 2756);
}

TEST_F(HostedOrlantix, IncomingMidiPassesThroughExceptNotesAndBoundControllers)
{
    Start();
    mHost.SendMidi(0x90, 60, 100);
    mHost.SendMidi(0x80, 60, 0);
    // No controller is bound in a fresh instance: both go on, at their offsets.
    mHost.SendMidi(0xB0, 7, 100);
    mHost.SendMidi(0xBF, 64, 127, 3);
    // Channel mode messages are no controllers to pass: all notes off would end the receiver's
    // notes under the note-offs still to come.
    mHost.SendMidi(0xB2, 123, 0, 5);
    mHost.SendMidi(0xB0, 120, 0, 6);
    EXPECT_TRUE(mHost.Events().empty());

    mHost.SendMidi(0xE3, 0x10, 0x40, 17);
    mHost.SendMidi(0xC0, 5, 0);
    mHost.SendMidi(0xD1, 90, 0);
    // Held for the next process call: hosts take MIDI output only inside one.
    EXPECT_TRUE(mHost.Events().empty());
    mHost.Process(512);
    std::vector<orxhost::CapturedEvent> passed;
    for (const orxhost::CapturedEvent& e : EventsOfBlock(0))
        if ((e.mData[0] & 0xE0) != 0x80)
            passed.push_back(e);
    ASSERT_EQ(passed.size(), 5u);
    // In time order within the block, arrival order among equal offsets.
    EXPECT_EQ(passed[0].mData[0], 0xB0);
    EXPECT_EQ(passed[0].mData[1], 7);
    EXPECT_EQ(passed[0].mData[2], 100);
    EXPECT_EQ(passed[1].mData[0], 0xC0);
    EXPECT_EQ(passed[1].mData[1], 5);
    EXPECT_EQ(passed[2].mData[0], 0xD1);
    EXPECT_EQ(passed[3].mData[0], 0xBF);
    EXPECT_EQ(passed[3].mData[1], 64);
    EXPECT_EQ(passed[3].mDeltaFrames, 3);
    EXPECT_EQ(passed[4].mData[0], 0xE3);
    EXPECT_EQ(passed[4].mData[1], 0x10);
    EXPECT_EQ(passed[4].mData[2], 0x40);
    EXPECT_EQ(passed[4].mDeltaFrames, 17);
    // Swallowed and passed messages leave the generated stream as it was.
    std::vector<StreamEvent> stream;
    for (const orxhost::CapturedEvent& e : EventsOfBlock(0))
        if ((e.mData[0] & 0xE0) == 0x80)
            stream.push_back({e.mDeltaFrames, e.mData[0], e.mData[1], e.mData[2]});
    for (const StreamEvent& e : Play(4 * kPulse - 512, 512))
        stream.push_back(e);
    EXPECT_EQ(FormatStream(stream), FactoryLines(4));
}

TEST_F(HostedOrlantix, TheAudioOutputsStaySilent)
{
    // Whatever the host's buffers held: the replacing entries leave silence in them, the
    // accumulating one adds nothing, in one piece or in several.
    Start();
    mHost.SetInput(0, 0.25f);
    for (int frames : {512, 1000})
    {
        mHost.FillOutputs(0.5f);
        mHost.Process(frames);
        mHost.Process(frames, orxhost::ProcessEntry::kDoubleReplacing);
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < frames; ++s)
            {
                ASSERT_EQ(mHost.Output(c)[s], 0.0f) << "channel " << c << " sample " << s;
                ASSERT_EQ(mHost.OutputDouble(c)[s], 0.0) << "channel " << c << " sample " << s;
            }
        mHost.FillOutputs(0.5f);
        mHost.Process(frames, orxhost::ProcessEntry::kAccumulating);
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < frames; ++s)
                ASSERT_EQ(mHost.Output(c)[s], 0.5f) << "channel " << c << " sample " << s;
    }
    EXPECT_FALSE(mHost.BufferOverrun());
}
