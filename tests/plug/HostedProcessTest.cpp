// The process entries of the binding, seen from a host: audio through the three entries, host
// blocks longer than the block length, MIDI out, the transport queries with and without each
// validity flag, speaker arrangements, and the lock between the audio and the editor thread.

#include "HostedFixture.h"

#include <atomic>
#include <thread>

using orxhost::CapturedEvent;
using orxhost::ProcessEntry;

namespace
{
constexpr float kRate = 44100.0f;
constexpr double kPos = 3 * 44100.0; // three seconds: 7 quarter notes at 140 BPM
constexpr int32_t kAllValid = vst2::kTimePpqValid | vst2::kTimeTempoValid | vst2::kTimeBarsValid |
                              vst2::kTimeCycleValid | vst2::kTimeSigValid;

struct Seen
{
    double mPos, mTempo, mNum, mDen, mRun;
    double mTiPos, mTiTempo, mTiPpq, mTiBar, mTiNum, mTiDen, mTiCycS, mTiCycE, mTiPlay, mTiCyc;

    bool operator==(const Seen&) const = default;
};
} // namespace

class HostedProcess : public Hosted
{
protected:
    void SetUp() override
    {
        Load(ORX_TEST_PLUGIN);
        mHost.Start(kRate, 64);
        orxhost::Transport& t = mHost.GetTransport();
        t.mSamplePos = kPos;
        t.mTempo = 140.0;
        t.mNumerator = 3;
        t.mDenominator = 4;
        t.mCycleStart = 8.0;
        t.mCycleEnd = 16.0;
        t.mCycling = true;
        t.mValidFlags = kAllValid;
        t.mAdvance = false;
    }

    Seen ProcessAndRead()
    {
        mHost.Process(32);
        return {Probe(kSeenPos), Probe(kSeenTempo), Probe(kSeenNum), Probe(kSeenDen),
                Probe(kSeenRun), Probe(kTiPos),     Probe(kTiTempo), Probe(kTiPpq),
                Probe(kTiBar),   Probe(kTiNum),     Probe(kTiDen),   Probe(kTiCycS),
                Probe(kTiCycE),  Probe(kTiPlay),    Probe(kTiCyc)};
    }

    void ExpectOutputs(float left, float right, int frames, bool doubles = false)
    {
        for (int s = 0; s < frames; ++s)
        {
            const double l = doubles ? mHost.OutputDouble(0)[s] : mHost.Output(0)[s];
            const double r = doubles ? mHost.OutputDouble(1)[s] : mHost.Output(1)[s];
            ASSERT_EQ(l, left) << "frame " << s;
            ASSERT_EQ(r, right) << "frame " << s;
        }
        EXPECT_FALSE(mHost.BufferOverrun());
    }
};

TEST_F(HostedProcess, AllThreeEntriesCarryAudio)
{
    mHost.SetInput(0, 0.5f);
    mHost.SetInput(1, -0.25f);
    mHost.Process(64);
    ExpectOutputs(0.5f, -0.25f, 64);
    mHost.SetParameter(kGain, 1.0f);
    mHost.Process(64);
    ExpectOutputs(1.0f, -0.5f, 64);
    mHost.FillOutputs(0.25f);
    mHost.Process(64, ProcessEntry::kAccumulating);
    ExpectOutputs(1.25f, -0.25f, 64);
    mHost.Process(64, ProcessEntry::kDoubleReplacing);
    ExpectOutputs(1.0f, -0.5f, 64, true);
    EXPECT_EQ(mHost.CallbackCount(vst2::audioMasterWantMidi), 4); // once per process call
}

TEST_F(HostedProcess, HostBlocksLongerThanTheBlockLengthArePlayedInPieces)
{
    const int frames = 3 * 64 + 17;
    for (ProcessEntry entry :
         {ProcessEntry::kReplacing, ProcessEntry::kAccumulating, ProcessEntry::kDoubleReplacing})
    {
        mHost.ClearCaptures();
        mHost.SetInput(0, 0.5f);
        mHost.SetInput(1, 0.75f);
        mHost.FillOutputs(0.0f);
        const double blocksBefore = Probe(kBlocks);
        mHost.Process(frames, entry);
        ExpectOutputs(0.5f, 0.75f, frames, entry == ProcessEntry::kDoubleReplacing);
        EXPECT_EQ(Probe(kBlocks) - blocksBefore, 4);
        EXPECT_EQ(Probe(kSubFrames), 17);
        // The last piece sees the transport where it starts in the host's block...
        EXPECT_EQ(Probe(kSeenPos), kPos + 192);
        EXPECT_EQ(Probe(kTiPos), kPos + 192);
        EXPECT_NEAR(Probe(kTiPpq), 7.0 + 192 * 140.0 / 60.0 / kRate, 1e-6);
        // ...and its notes land at their place in the host's block, all in this call.
        const std::vector<CapturedEvent> events = BlockEvents();
        ASSERT_EQ(events.size(), 4u);
        const int32_t deltas[] = {63, 127, 191, 208};
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(events[static_cast<std::size_t>(i)].mDeltaFrames, deltas[i]);
            EXPECT_EQ(events[static_cast<std::size_t>(i)].mBlock, mHost.ProcessCalls() - 1);
        }
    }
}

TEST_F(HostedProcess, ANoteWhileTheTransportPlaysAndNoneWhileStopped)
{
    mHost.Process(32);
    mHost.GetTransport().mPlaying = false;
    mHost.Process(32);
    mHost.GetTransport().mPlaying = true;
    mHost.Process(48);
    const std::vector<CapturedEvent> events = BlockEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].mBlock, 0);
    EXPECT_EQ(events[0].mDeltaFrames, 31);
    EXPECT_EQ(events[0].mData[0], 0x90);
    EXPECT_EQ(events[0].mData[1], 60);
    EXPECT_EQ(events[0].mData[2], 100);
    EXPECT_EQ(events[1].mBlock, 2);
    EXPECT_EQ(events[1].mDeltaFrames, 47);
    EXPECT_NE(events[0].mCall, events[1].mCall);
}

TEST_F(HostedProcess, TimeInfoWithEveryValidityFlag)
{
    const Seen s = ProcessAndRead();
    EXPECT_EQ(s.mPos, kPos);
    EXPECT_EQ(s.mTempo, 140.0);
    EXPECT_EQ(s.mNum, 3);
    EXPECT_EQ(s.mDen, 4);
    EXPECT_EQ(s.mRun, 1);
    EXPECT_EQ(s.mTiPos, kPos);
    EXPECT_EQ(s.mTiTempo, 140.0);
    EXPECT_NEAR(s.mTiPpq, 7.0, 1e-6);
    EXPECT_NEAR(s.mTiBar, 6.0, 1e-6);
    EXPECT_EQ(s.mTiNum, 3);
    EXPECT_EQ(s.mTiDen, 4);
    EXPECT_EQ(s.mTiCycS, 8.0);
    EXPECT_EQ(s.mTiCycE, 16.0);
    EXPECT_EQ(s.mTiPlay, 1);
    EXPECT_EQ(s.mTiCyc, 1);

    // A host that fills only what was asked for gives the same answers.
    mHost.GetTransport().mHonourRequestMask = true;
    const Seen m = ProcessAndRead();
    EXPECT_EQ(m.mTempo, 140.0);
    EXPECT_EQ(m.mNum, 3);
    EXPECT_NEAR(m.mTiPpq, 7.0, 1e-6);
    EXPECT_EQ(m.mTiCycE, 16.0);
}

TEST_F(HostedProcess, TimeInfoWithoutEachValidityFlag)
{
    for (int32_t missing : {vst2::kTimePpqValid, vst2::kTimeTempoValid, vst2::kTimeBarsValid,
                            vst2::kTimeCycleValid, vst2::kTimeSigValid})
    {
        mHost.GetTransport().mValidFlags = kAllValid & ~missing;
        const Seen s = ProcessAndRead();
        SCOPED_TRACE(missing);
        EXPECT_EQ(s.mPos, kPos);
        EXPECT_EQ(s.mTiPos, kPos);
        EXPECT_EQ(s.mRun, 1);
        EXPECT_EQ(s.mTiPlay, 1);
        EXPECT_EQ(s.mTempo, missing == vst2::kTimeTempoValid ? 0.0 : 140.0);
        EXPECT_EQ(s.mTiTempo, missing == vst2::kTimeTempoValid ? 120.0 : 140.0);
        EXPECT_EQ(s.mNum, missing == vst2::kTimeSigValid ? 0 : 3);
        EXPECT_EQ(s.mDen, missing == vst2::kTimeSigValid ? 0 : 4);
        EXPECT_EQ(s.mTiNum, missing == vst2::kTimeSigValid ? 4 : 3);
        EXPECT_EQ(s.mTiDen, 4);
        EXPECT_EQ(s.mTiPpq, missing == vst2::kTimePpqValid ? -1.0 : 7.0);
        EXPECT_EQ(s.mTiBar, missing == vst2::kTimeBarsValid ? -1.0 : 6.0);
        EXPECT_EQ(s.mTiCycS, missing == vst2::kTimeCycleValid ? -1.0 : 8.0);
        EXPECT_EQ(s.mTiCycE, missing == vst2::kTimeCycleValid ? -1.0 : 16.0);
        EXPECT_EQ(s.mTiCyc, 1); // the cycle-active flag is not a validity flag
    }
}

TEST_F(HostedProcess, TimeInfoWithoutTransportFlagsOrWithoutRecord)
{
    mHost.GetTransport().mValidFlags = 0;
    mHost.GetTransport().mPlaying = false;
    for (bool record : {true, false})
    {
        mHost.GetTransport().mProvideTimeInfo = record;
        const Seen s = ProcessAndRead();
        SCOPED_TRACE(record);
        EXPECT_EQ(s.mPos, record ? kPos : 0.0); // the plain position needs no flag
        EXPECT_EQ(s.mTempo, 0.0);
        EXPECT_EQ(s.mNum, 0);
        EXPECT_EQ(s.mDen, 0);
        EXPECT_EQ(s.mRun, 1); // no transport information: assumed running
        EXPECT_EQ(s.mTiPos, -1.0);
        EXPECT_EQ(s.mTiTempo, 120.0);
        EXPECT_EQ(s.mTiPpq, -1.0);
        EXPECT_EQ(s.mTiBar, -1.0);
        EXPECT_EQ(s.mTiNum, 4);
        EXPECT_EQ(s.mTiDen, 4);
        EXPECT_EQ(s.mTiCycS, -1.0);
        EXPECT_EQ(s.mTiPlay, 0);
    }
}

TEST_F(HostedProcess, OneTimeInfoRequestPerHostBlockWhateverTheHostGives)
{
    // The test plug-in makes all five transport queries in every piece of a host block.
    orxhost::Transport& t = mHost.GetTransport();
    const Seen plain = ProcessAndRead();
    const auto requests = [&] { return mHost.CallbackCount(vst2::audioMasterGetTime); };
    const auto variants = {
        +[](orxhost::Transport&) {},
        +[](orxhost::Transport& h) { h.mHonourRequestMask = true; },
        // The "changed" flag of a first playing block, on every request.
        +[](orxhost::Transport& h) { h.mExtraFlags = vst2::kTimeChanged; },
        +[](orxhost::Transport& h) { h.mValidFlags = 0; },
        +[](orxhost::Transport& h) { h.mProvideTimeInfo = false; },
    };
    int variant = 0;
    for (auto change : variants)
    {
        SCOPED_TRACE(variant++);
        t.mHonourRequestMask = false;
        t.mExtraFlags = 0;
        t.mValidFlags = kAllValid;
        t.mProvideTimeInfo = true;
        change(t);
        int before = requests();
        mHost.Process(3 * 64 + 17); // four pieces
        EXPECT_EQ(requests() - before, 1);
        before = requests();
        const Seen s = ProcessAndRead();
        EXPECT_EQ(requests() - before, 1);
        if (t.mValidFlags == kAllValid && t.mProvideTimeInfo)
        {
            EXPECT_EQ(s, plain); // the request asks for what every query needs
        }
    }
}

TEST_F(HostedProcess, StoppedTransportAndOddHostValues)
{
    orxhost::Transport& t = mHost.GetTransport();
    t.mPlaying = false;
    Seen s = ProcessAndRead();
    EXPECT_EQ(s.mRun, 0);
    EXPECT_EQ(s.mTiPlay, 0);
    EXPECT_TRUE(BlockEvents().empty());

    t.mTempo = -10.0;
    t.mNumerator = 0;
    t.mDenominator = 0;
    s = ProcessAndRead();
    EXPECT_EQ(s.mTempo, 0.0);
    EXPECT_EQ(s.mTiTempo, 120.0);
    EXPECT_EQ(s.mNum, 0);
    EXPECT_EQ(s.mTiNum, 4);
    EXPECT_EQ(s.mTiDen, 4);
    t.mNumerator = -3;
    t.mDenominator = 8;
    s = ProcessAndRead();
    EXPECT_EQ(s.mNum, 0);
    EXPECT_EQ(s.mDen, 0);

    const std::pair<double, double> positions[] = {
        {100.4, 100}, {100.5, 101}, {-5.0, 0}, {1e12, 2147483647}};
    for (const auto& [host, seen] : positions)
    {
        t.mSamplePos = host;
        EXPECT_EQ(ProcessAndRead().mPos, seen) << host;
    }
}

TEST_F(HostedProcess, SpeakerArrangementsDecideWhichHostBuffersAreUsed)
{
    vst2::SpeakerArrangement* in = nullptr;
    vst2::SpeakerArrangement* out = nullptr;
    ASSERT_EQ(
        mHost.Dispatch(vst2::effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out),
        1);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->type, vst2::kArrStereo);
    EXPECT_EQ(out->numChannels, 2);

    vst2::SpeakerArrangement mono{};
    mono.numChannels = 1;
    vst2::SpeakerArrangement stereo{};
    stereo.numChannels = 2;
    EXPECT_EQ(
        mHost.Dispatch(vst2::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &mono),
        1);
    mHost.SetInput(0, 0.5f);
    mHost.SetInput(1, 0.75f);
    mHost.FillOutputs(9.0f);
    mHost.Process(64);
    ExpectOutputs(0.5f, 9.0f, 64); // the second host output is not ours any more

    mHost.Dispatch(vst2::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &stereo);
    mHost.Process(64);
    ExpectOutputs(0.5f, 0.0f, 64); // the second input is silent

    vst2::SpeakerArrangement absurd{};
    absurd.numChannels = -7;
    mHost.Dispatch(vst2::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&stereo), &absurd);
    mHost.FillOutputs(9.0f);
    mHost.Process(64);
    ExpectOutputs(9.0f, 9.0f, 64);
}

TEST_F(HostedProcess, LockKeepsHandlersOutOfTheProcessBlock)
{
    // Both sides run until each has done its share, so they overlap however the threads are
    // scheduled.
    std::atomic<bool> editsDone{false};
    int blocks = 0;
    std::thread audio(
        [&]
        {
            while (blocks < 3000 || !editsDone)
            {
                mHost.Process(64);
                ++blocks;
            }
        });
    for (int edits = 0; edits < 2000; ++edits)
    {
        mHost.SetParameter(kCurve, static_cast<float>(edits % 10) / 10.0f);
        if (edits % 16 == 0)
            mHost.GetChunk(true);
    }
    editsDone = true;
    audio.join();
    EXPECT_EQ(Probe(kBlocks), blocks);
    EXPECT_EQ(Probe(kOverlaps), 0);
}
