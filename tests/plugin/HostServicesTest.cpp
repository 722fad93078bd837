// The instance with a host callback of the test's own: host identification from the product
// string, controller changes bound to parameters, and the chord span set by the editor.

#include "AudioThreadRole.h"
#include "CheckCapture.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

struct FakeHost
{
    std::string mProduct;
    std::vector<std::pair<int, float>> mAutomated;
    std::vector<IMidiMessage> mSent;
    std::vector<int> mSysExSizes; // of the SysEx messages sent, in order
};
FakeHost* gHost = nullptr;

intptr_t ORX_VSTCALL Callback(vst2::Effect*, int32_t opcode, int32_t index, intptr_t, void* ptr,
                              float opt)
{
    if (!gHost)
        return 0;
    switch (opcode)
    {
    case vst2::audioMasterGetProductString:
        std::strncpy(static_cast<char*>(ptr), gHost->mProduct.c_str(), 255);
        return 1;
    case vst2::audioMasterGetVendorVersion:
        return 1234;
    case vst2::audioMasterAutomate:
        gHost->mAutomated.emplace_back(index, opt);
        return 0;
    case vst2::audioMasterProcessEvents:
    {
        const auto* events = static_cast<const vst2::Events*>(ptr);
        if (events->events[0]->type == vst2::kEventSysEx)
        {
            gHost->mSysExSizes.push_back(
                reinterpret_cast<const vst2::SysExEvent*>(events->events[0])->dumpBytes);
            return 1;
        }
        const auto* midi = reinterpret_cast<const vst2::MidiEvent*>(events->events[0]);
        IMidiMessage msg;
        msg.mOffset = midi->deltaFrames;
        msg.mStatus = static_cast<uint8_t>(midi->midiData[0]);
        msg.mData1 = static_cast<uint8_t>(midi->midiData[1]);
        msg.mData2 = static_cast<uint8_t>(midi->midiData[2]);
        gHost->mSent.push_back(msg);
        return 1;
    }
    default:
        return 0;
    }
}

class HostServices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gHost = &mHost;
        mPlug = MakePlug(&Callback);
        AllParameterPass(*mPlug);
    }
    void TearDown() override
    {
        mPlug.reset();
        gHost = nullptr;
    }

    // The audio thread's entries, as the binding calls them.
    void Midi(const IMidiMessage& msg)
    {
        AsAudioThread(mPlug->Mutex(), [&] { mPlug->HandleMidiMessage(msg); });
    }
    void SysEx(const ISysExMessage& msg)
    {
        AsAudioThread(mPlug->Mutex(), [&] { mPlug->HandleSysEx(msg); });
    }
    void Process(int frames)
    {
        AsAudioThread(mPlug->Mutex(), [&] { mPlug->ProcessBlock(nullptr, nullptr, frames); });
    }

    IMidiMessage Cc(int channel, int controller, int value)
    {
        IMidiMessage msg;
        msg.mStatus = static_cast<uint8_t>(0xB0 | channel);
        msg.mData1 = static_cast<uint8_t>(controller);
        msg.mData2 = static_cast<uint8_t>(value);
        return msg;
    }

    FakeHost mHost;
    std::unique_ptr<Orlantix> mPlug;
};

} // namespace

TEST_F(HostServices, HostIdentificationFromTheProductString)
{
    const struct
    {
        const char* mProduct;
        int mId;
    } cases[] = {
        {"REAPER", 1},
        {"Cubase VST", 3},
        {"reaper pretending to be Cubase", 3}, // "cubase" is looked for first
        {"Ableton Live", 9},
        {"Digital Performer", 22},
        {"Ardour", 0},
        {"", 0},
    };
    for (const auto& c : cases)
    {
        mHost.mProduct = c.mProduct;
        auto plug = MakePlug(&Callback);
        EXPECT_EQ(plug->HostId(), c.mId) << c.mProduct;
        // Asked once: a later answer does not change it.
        mHost.mProduct = "Cubase";
        EXPECT_EQ(plug->HostId(), c.mId) << c.mProduct;
    }
}

TEST_F(HostServices, ControllerChangesAreSwallowedUnlessBound)
{
    Midi(Cc(0, 7, 127));
    EXPECT_EQ(mPlug->GetParam(kVel)->Value(), 100.0);
    EXPECT_TRUE(mHost.mSent.empty());

    mPlug->AssignController(7, kVel, 1u << 2);
    Midi(Cc(0, 7, 127)); // another channel
    EXPECT_EQ(mPlug->GetParam(kVel)->Value(), 100.0);
    Midi(Cc(2, 7, 127));
    EXPECT_EQ(mPlug->GetParam(kVel)->Value(), 127.0);
    EXPECT_EQ(mPlug->Engine().mVelocity, 127);
    // The host hears of it from the main thread's next entry, never from the audio thread.
    EXPECT_TRUE(mHost.mAutomated.empty());
    mPlug->FlushHostNotices(false);
    ASSERT_EQ(mHost.mAutomated.size(), 1u);
    EXPECT_EQ(mHost.mAutomated[0].first, kVel);
    EXPECT_FLOAT_EQ(mHost.mAutomated[0].second, 1.0f);
    Midi(Cc(2, 7, 0));
    EXPECT_EQ(mPlug->Engine().mVelocity, 0);

    // An internal parameter follows too, but the host does not hear of it.
    mPlug->AssignController(64, kStkRun, 0xFFFF);
    Midi(Cc(15, 64, 0));
    EXPECT_FALSE(mPlug->Engine().mStrikeSeq.Running());
    mPlug->FlushHostNotices(false);
    EXPECT_EQ(mHost.mAutomated.size(), 2u);
    EXPECT_TRUE(mHost.mSent.empty()); // never passed on

    // Unbinding, and bindings that cannot exist.
    mPlug->AssignController(7, -1, 0xFFFF);
    EXPECT_EQ(mPlug->Controller(7).mParamIdx, -1);
    mPlug->AssignController(8, kNumOrlantixParams, 1);
    EXPECT_EQ(mPlug->Controller(8).mParamIdx, -1);
    mPlug->AssignController(128, kVel, 1);
    EXPECT_EQ(mPlug->Controller(128).mParamIdx, -1);
}

TEST_F(HostServices, OtherMessagesPassThroughWithTheNextBlockInTimeOrder)
{
    IMidiMessage bend;
    bend.mStatus = 0xE5;
    bend.mData1 = 1;
    bend.mData2 = 2;
    bend.mOffset = 9;
    IMidiMessage clock;
    clock.mStatus = 0xF8;
    IMidiMessage program;
    program.mStatus = 0xC2;
    program.mData1 = 7;
    program.mOffset = 500; // beyond the block: sent at its last frame
    IMidiMessage note;
    note.MakeNoteOn(60, 1, 0, 3);
    Midi(bend);
    Midi(note);
    Midi(clock);
    Midi(program);
    // Hosts take a plug-in's output only inside its process call.
    EXPECT_TRUE(mHost.mSent.empty());

    Process(64);
    std::vector<IMidiMessage> passed;
    int notes = 0;
    for (size_t i = 0; i < mHost.mSent.size(); ++i)
    {
        const IMidiMessage& m = mHost.mSent[i];
        if (i > 0)
        {
            EXPECT_LE(mHost.mSent[i - 1].mOffset, m.mOffset) << i;
        }
        if (m.MessageKind() == IMidiMessage::kNoteOn)
            ++notes;
        else
            passed.push_back(m);
    }
    EXPECT_GT(notes, 0); // the first pulse of the pattern, at offset 0
    ASSERT_EQ(passed.size(), 3u);
    EXPECT_EQ(passed[0], clock);
    EXPECT_EQ(passed[1], bend);
    EXPECT_EQ(passed[2].mStatus, 0xC2);
    EXPECT_EQ(passed[2].mOffset, 63);
    // Sent once.
    mHost.mSent.clear();
    Process(64);
    for (const IMidiMessage& m : mHost.mSent)
        EXPECT_NE(m.mStatus, 0xE5);
}

TEST_F(HostServices, SysExWaitsInStorageReservedAtActivationAndWhatDoesNotFitIsCounted)
{
    std::vector<uint8_t> dump(40000, 0x11);
    auto sysex = [&](int size, int offset) {
        return ISysExMessage{offset, dump.data(), static_cast<int32_t>(size)};
    };
    SysEx(sysex(10, 0)); // before any activation there is no storage
    EXPECT_EQ(mPlug->DroppedSysEx(), 1);

    mPlug->HandleActivate(true);
    SysEx(sysex(40000, 3));
    SysEx(sysex(30000, 4)); // 70000 bytes do not fit in 65536
    SysEx(sysex(25536, 5)); // exactly the rest does
    EXPECT_EQ(mPlug->DroppedSysEx(), 2);
    EXPECT_TRUE(mHost.mSysExSizes.empty());
    Process(64);
    EXPECT_EQ(mHost.mSysExSizes, (std::vector<int>{40000, 25536}));

    // Sent, the storage is free again; a suspend forgets what waits.
    SysEx(sysex(40000, 0));
    mPlug->HandleActivate(false);
    mPlug->HandleActivate(true);
    Process(64);
    EXPECT_EQ(mHost.mSysExSizes.size(), 2u);
    EXPECT_EQ(mPlug->DroppedSysEx(), 2);
}

TEST_F(HostServices, SpanFromTheEditorTellsTheHostWhatMoved)
{
    RecordingView view;
    mPlug->SetView(&view);
    mPlug->SetChordSpanFromEditor(3, 5);
    EXPECT_EQ(mPlug->GetParam(kStepOne)->Value(), 4.0);
    EXPECT_EQ(mPlug->GetParam(kNumStep)->Value(), 5.0);
    EXPECT_EQ(mPlug->Engine().mProgression.BeginStep(), 3);
    EXPECT_EQ(mPlug->Engine().mProgression.StepCount(), 5);
    EXPECT_EQ(mPlug->Engine().mPlayer.StartPosition(), 12);
    // Both moved: the host's lanes follow.
    ASSERT_EQ(mHost.mAutomated.size(), 2u);
    EXPECT_EQ(mHost.mAutomated[0].first, kNumStep);
    EXPECT_FLOAT_EQ(mHost.mAutomated[0].second,
                    static_cast<float>(mPlug->GetParam(kNumStep)->Normalised()));
    EXPECT_EQ(mHost.mAutomated[1].first, kStepOne);
    EXPECT_EQ(view.mRedrawAlls, 1);
    EXPECT_TRUE(view.mSpans.empty());    // the control shows it already
    mPlug->SetChordSpanFromEditor(3, 5); // nothing moved: nothing told
    EXPECT_EQ(mHost.mAutomated.size(), 2u);

    CheckCapture checks;
    mPlug->SetChordSpanFromEditor(12, 13);
    EXPECT_TRUE(checks.Fired("src/Orlantix", "0 <= beginStep && beginStep < MAX_STEPS"));
    EXPECT_TRUE(checks.Fired("src/Orlantix", "1 <= numSteps && numSteps <= MAX_STEPS"));
    EXPECT_EQ(mPlug->GetParam(kStepOne)->Value(), 12.0);
    EXPECT_EQ(mPlug->GetParam(kNumStep)->Value(), 12.0);
    EXPECT_EQ(mPlug->Engine().mProgression.BeginStep(), 11);
}

TEST_F(HostServices, SpanHandlersOnlyShowTheSpan)
{
    RecordingView view;
    mPlug->SetView(&view);
    Change(*mPlug, kStepOne, 10);
    Change(*mPlug, kNumStep, 5);
    // Steps 9 to 11 are active: the span reaches past the last step, and the control decides
    // what to show; the parameters keep what was set.
    ASSERT_EQ(view.mSpans.size(), 2u);
    EXPECT_EQ(view.mSpans[0], std::make_pair(9, 21));
    EXPECT_EQ(view.mSpans[1], std::make_pair(9, 14));
    EXPECT_EQ(mPlug->GetParam(kStepOne)->Value(), 10.0);
    EXPECT_EQ(mPlug->GetParam(kNumStep)->Value(), 5.0);
    EXPECT_TRUE(mPlug->Engine().mProgression.GetStep(11)->mActive);
    EXPECT_FALSE(mPlug->Engine().mProgression.GetStep(8)->mActive);
    EXPECT_TRUE(mHost.mAutomated.empty());
}

TEST_F(HostServices, ProcessBlockSendsEachMessageOnItsOwn)
{
    vst2::Effect* e = mPlug->GetEffect();
    e->dispatcher(e, vst2::effSetBlockSize, 0, 512, nullptr, 0.0f);
    std::vector<float> a(512), b(512), c(512), d(512);
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {c.data(), d.data()};
    e->processReplacing(e, in, out, 512);
    ASSERT_EQ(mHost.mSent.size(), 1u);
    EXPECT_EQ(mHost.mSent[0].mStatus, 0x90);
    EXPECT_EQ(mHost.mSent[0].mData1, 72);
}
