#include "AudioThreadRole.h"
#include "CheckCapture.h"
#include "EventStream.h"
#include "OrlantixParamIndex.h"
#include "PluginTestSupport.h"
#include "StateChunk.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
// The chunk as a host receives it from effGetChunk (header included).
std::vector<uint8_t> GetChunk(Orlantix& plug, int index = 0)
{
    void* data = nullptr;
    vst2::Effect* e = plug.GetEffect();
    const intptr_t size = e->dispatcher(e, vst2::effGetChunk, index, 0, &data, 0.0f);
    if (size <= 0 || !data)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t SetChunk(Orlantix& plug, const std::vector<uint8_t>& bytes, int index = 0)
{
    vst2::Effect* e = plug.GetEffect();
    return e->dispatcher(e, vst2::effSetChunk, index, static_cast<intptr_t>(bytes.size()),
                         const_cast<uint8_t*>(bytes.data()), 0.0f);
}

void Open(Orlantix& plug)
{
    vst2::Effect* e = plug.GetEffect();
    e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
}

// A few bars of the instance's own engine at 44.1 kHz and 120 BPM, in blocks of 256.
std::vector<StreamEvent> Play(Orlantix& plug, int blocks = 700)
{
    std::vector<StreamEvent> stream;
    TransportState t;
    for (int b = 0; b < blocks; ++b)
    {
        t.mSamplePos = b * 256;
        PlayEngineBlock(plug.Engine(), t, 256);
        const MidiOutList& out = plug.Engine().mMidiOut;
        AppendBlock(stream, t.mSamplePos, out);
    }
    return stream;
}

// Non-default settings of every kind: parameters, melodies, groove.
void Customise(Orlantix& plug)
{
    Change(plug, kTimeUnits, 4);
    Change(plug, kSwing, 0.4);
    Change(plug, kVel, 90);
    Change(plug, kHuman, 0.3);
    Change(plug, kNumStep, 4);
    Change(plug, kStepOne, 3);
    Change(plug, kStepDir, 2);
    Change(plug, kIval1 + 3, 6);
    Change(plug, kGrooveMute0 + 5, 1);
    Change(plug, kStkMod1, 0);
    Change(plug, kStkProb, 0.5);
    Melody& m = *plug.Engine().mProgression.GetMelody(4, 1);
    m.mPitchSets[1].mPlayingMask = m.mPitchSets[1].mBaseMask = 7;
    m.mRepeatCount = 3;
    plug.Engine().mGroove.SetVelocity(9, 300);
}
} // namespace

TEST(OrlantixState, FreshChunkLayout)
{
    auto plug = MakePlug();
    Open(*plug);
    const std::vector<uint8_t> chunk = GetChunk(*plug);
    ASSERT_EQ(chunk.size(), 5684u);
    const uint8_t header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(std::memcmp(chunk.data(), header, 8), 0);
    double vel = 0;
    std::memcpy(&vel, chunk.data() + 3684 + 8 * kVel, 8);
    EXPECT_EQ(vel, 100.0);
}

TEST(OrlantixState, SecondInstanceReproducesEveryStoredFieldAndPlaysTheSame)
{
    auto a = MakePlug();
    Open(*a);
    Customise(*a);
    const std::vector<uint8_t> chunk = GetChunk(*a);

    auto b = MakePlug();
    Open(*b);
    CheckCapture checks;
    EXPECT_EQ(SetChunk(*b, chunk), 1);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
    EXPECT_EQ(GetChunk(*b), chunk);
    for (int i = 0; i < kNumOrlantixParams; ++i)
        EXPECT_EQ(b->GetParam(i)->Value(), a->GetParam(i)->Value()) << i;
    EXPECT_EQ(b->Engine().mProgression.BeginStep(), 2);
    EXPECT_EQ(b->Engine().mProgression.StepCount(), 4);
    EXPECT_EQ(b->Engine().mGroove.Velocity(9), 44); // 300 keeps its low eight bits
    EXPECT_TRUE(b->Engine().mGroove.Muted(5));

    // The source instance plays from its own state too: load it back so both start equal.
    EXPECT_EQ(SetChunk(*a, chunk), 1);
    const std::vector<StreamEvent> sa = Play(*a), sb = Play(*b);
    EXPECT_GT(sa.size(), 20u);
    EXPECT_EQ(FormatStream(sa), FormatStream(sb));
}

TEST(OrlantixState, CutChunkKeepsWhatItDoesNotReachAndStillRunsEveryHandler)
{
    auto a = MakePlug();
    Open(*a);
    Customise(*a);
    std::vector<uint8_t> chunk = GetChunk(*a);
    chunk.resize(8 + kProgressionStateSize + kGrooveStateSize); // cut after the groove

    auto b = MakePlug();
    Open(*b);
    Change(*b, kVel, 33);
    Change(*b, kLengthUnits, 5);
    EXPECT_EQ(SetChunk(*b, chunk), 0);
    EXPECT_EQ(b->GetParam(kTimeUnits)->Value(), 0.0); // the first value that was not there
    EXPECT_EQ(b->GetParam(kVel)->Value(), 33.0);
    EXPECT_EQ(b->Engine().mVelocity, 33);
    // The progression and groove came through; the span follows the parameters kept.
    EXPECT_EQ(b->Engine().mProgression.GetMelody(4, 1)->mRepeatCount, 3);
    EXPECT_EQ(b->Engine().mGroove.Velocity(9), 44);
    EXPECT_EQ(b->Engine().mProgression.StepCount(), 12);
    // "1/1" pulses after TimeUnits went to its minimum.
    EXPECT_EQ(b->Engine().mBeatClock.SamplesPerPulse(), 88200);
}

TEST(OrlantixState, ActiveFlagsFollowTheSpanParameters)
{
    auto a = MakePlug();
    Open(*a);
    Change(*a, kNumStep, 3);
    Change(*a, kStepOne, 5);
    std::vector<uint8_t> chunk = GetChunk(*a);
    // Every chord step's active byte says "active".
    for (int k = 0; k < MAX_STEPS; ++k)
        chunk[8 + 12 + k * kChordStepStateSize + 4] = 1;
    auto b = MakePlug();
    Open(*b);
    ASSERT_EQ(SetChunk(*b, chunk), 1);
    for (int k = 0; k < MAX_STEPS; ++k)
        EXPECT_EQ(b->Engine().mProgression.GetStep(k)->mActive, k >= 4 && k <= 6) << k;
}

TEST(OrlantixState, SavedSoloAndSpanSurviveTheLoad)
{
    auto a = MakePlug();
    Open(*a);
    Change(*a, kRowSolo1 + 1, 1);
    Change(*a, kRowMute1 + 3, 1);
    Change(*a, kNumStep, 5);
    Change(*a, kStepOne, 7);
    const std::vector<uint8_t> chunk = GetChunk(*a);

    auto b = MakePlug();
    Open(*b);
    ASSERT_EQ(SetChunk(*b, chunk), 1);
    const ChordProgression& p = b->Engine().mProgression;
    EXPECT_EQ(p.BeginStep(), 6);
    EXPECT_EQ(p.StepCount(), 5);
    for (int step = 0; step < MAX_STEPS; ++step)
    {
        EXPECT_FALSE(p.GetMelody(step, 1)->mMuted);
        EXPECT_TRUE(p.GetMelody(step, 1)->mSolo);
        EXPECT_TRUE(p.GetMelody(step, 0)->mMuted);
        EXPECT_TRUE(p.GetMelody(step, 2)->mMuted);
        EXPECT_TRUE(p.GetMelody(step, 3)->mMuted);
    }
    // A second load of the same state changes nothing.
    ASSERT_EQ(SetChunk(*b, chunk), 1);
    EXPECT_TRUE(p.GetMelody(0, 2)->mMuted);
    EXPECT_FALSE(p.GetMelody(0, 1)->mMuted);
}

TEST(OrlantixState, ProgramChunkAndChunksWithoutHeader)
{
    auto a = MakePlug();
    Open(*a);
    Change(*a, kVel, 64);
    std::vector<uint8_t> chunk = GetChunk(*a, 1);
    ASSERT_EQ(chunk.size(), 5684u);
    // Without the header the state is read from the start.
    chunk.erase(chunk.begin(), chunk.begin() + 8);
    auto b = MakePlug();
    Open(*b);
    EXPECT_EQ(SetChunk(*b, chunk, 1), 1);
    EXPECT_EQ(b->Engine().mVelocity, 64);
    // Another plug-in's chunk, or nothing at all, is refused without harm.
    EXPECT_EQ(SetChunk(*b, std::vector<uint8_t>(3, 0xAB)), 0);
    EXPECT_EQ(SetChunk(*b, {}), 0);
}

// An undo's state read ahead of the lock puts in what the read under the lock would: the same
// values, the same chunk, the same events after, over temporary changes that a load ends. An
// image read from other bytes is not used.
TEST(OrlantixState, AnUndoStateReadAheadPutsInWhatTheLockedReadDoes)
{
    auto source = MakePlug();
    Open(*source);
    Customise(*source);
    IByteChunk chunk;
    ASSERT_TRUE(source->WriteUndoState(chunk));
    IByteChunk other;
    Change(*source, kVel, 20);
    ASSERT_TRUE(source->WriteUndoState(other));

    const auto loaded = [&](bool ahead, const IByteChunk* stale)
    {
        auto plug = MakePlug();
        Open(*plug);
        Change(*plug, kSwing, 0.8);
        Melody& m = *plug->Engine().mProgression.GetMelody(2, 0);
        m.mRestorePending = m.mPitchSets[0].mRestorePending = m.mMuted = true;
        if (ahead)
            plug->PrepareUndoState(stale ? *stale : chunk, 0);
        EXPECT_EQ(plug->ReadUndoState(chunk, 0), chunk.Size());
        return plug;
    };
    auto locked = loaded(false, nullptr);
    IByteChunk expected;
    ASSERT_TRUE(locked->WriteUndoState(expected));
    ASSERT_EQ(expected.Size(), chunk.Size());
    EXPECT_EQ(std::memcmp(expected.Data(), chunk.Data(), chunk.Size()), 0);
    const std::string events = FormatStream(Play(*locked));
    const IByteChunk* const stales[] = {nullptr, &other};
    for (const IByteChunk* stale : stales)
    {
        auto plug = loaded(true, stale);
        for (int i = 0; i < kNumOrlantixParams; ++i)
            EXPECT_EQ(plug->GetParam(i)->Value(), locked->GetParam(i)->Value()) << i;
        const Melody& m = *plug->Engine().mProgression.GetMelody(2, 0);
        EXPECT_FALSE(m.mRestorePending || m.mPitchSets[0].mRestorePending || m.mMuted);
        IByteChunk now;
        ASSERT_TRUE(plug->WriteUndoState(now));
        ASSERT_EQ(now.Size(), chunk.Size());
        EXPECT_EQ(std::memcmp(now.Data(), chunk.Data(), chunk.Size()), 0);
        EXPECT_EQ(FormatStream(Play(*plug)), events);
    }
}

// An undo step records the state a host stores (the pattern and every value), then the key-play
// mode, the controller map and the preset's path, all from one moment of the instance.
TEST(OrlantixState, AnUndoStateIsTheStoredStateWithTheEditorsExtras)
{
    auto plug = MakePlug();
    Open(*plug);
    Customise(*plug);
    const std::string path = "/presets/A Name.preset";
    plug->CurrentPresetName().Set(path.c_str());
    IByteChunk state, undo;
    ASSERT_TRUE(plug->WriteState(state)); // the extras at their defaults: none in the chunk
    ASSERT_TRUE(plug->WriteUndoState(undo));
    ASSERT_EQ(static_cast<std::size_t>(undo.Size()),
              state.Size() + 4 + ControllerMap::kNumControllers * 8 + 4 + path.size());
    EXPECT_EQ(std::memcmp(undo.Data(), state.Data(), state.Size()), 0);
    EXPECT_EQ(std::memcmp(undo.Data() + undo.Size() - path.size(), path.data(), path.size()), 0);
}
