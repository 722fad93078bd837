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
    int mUpdateDisplay = 0;       // the notices that the state changed
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
    case vst2::audioMasterUpdateDisplay:
        ++gHost->mUpdateDisplay;
        return 1;
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

// Every pulse of every melody strikes the chord's first degree.
void StrikeEveryPulse(Orlantix& plug)
{
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
            {
                PitchSet& set = *plug.Engine().mProgression.GetPitchSet(s, v, q);
                set.mPlayingMask = set.mBaseMask = 1;
            }
}

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

TEST_F(HostServices, BoundControllersMoveTheirParameterAndUnboundOnesPassOn)
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
    EXPECT_TRUE(mHost.mSent.empty()); // hosts take output only inside a process call

    // Unbinding, and bindings that cannot exist.
    mPlug->AssignController(7, -1, 0xFFFF);
    EXPECT_EQ(mPlug->Controller(7).mParamIdx, -1);
    mPlug->AssignController(8, kNumOrlantixParams, 1);
    EXPECT_EQ(mPlug->Controller(8).mParamIdx, -1);
    mPlug->AssignController(128, kVel, 1);
    EXPECT_EQ(mPlug->Controller(128).mParamIdx, -1);

    // The two changes that found no binding (before it, and on another channel) go on with
    // the next block; the bound ones were consumed. (Swallowing them all was only the
    // consequence of a map nothing assigned.)
    mPlug->ProcessBlock(nullptr, nullptr, 64);
    std::vector<IMidiMessage> controllers;
    for (const IMidiMessage& m : mHost.mSent)
        if (m.MessageKind() == IMidiMessage::kControlChange)
            controllers.push_back(m);
    ASSERT_EQ(controllers.size(), 2u);
    EXPECT_EQ(controllers[0], Cc(0, 7, 127));
    EXPECT_EQ(controllers[1], Cc(0, 7, 127));
}

TEST_F(HostServices, LearnBindsTheNextControllerAndItsSweepMovesTheNotesFromItsBlockOn)
{
    const unsigned version = mPlug->ControllerMapVersion();
    mPlug->LearnController(kVel);
    EXPECT_EQ(mPlug->LearningParam(), kVel);
    EXPECT_NE(mPlug->ControllerMapVersion(), version);
    EXPECT_FALSE(mPlug->RecordLearnedController());

    // The next control change binds its controller and channel, and moves the parameter.
    mPlug->HandleMidiMessage(Cc(3, 74, 127));
    EXPECT_EQ(mPlug->LearningParam(), -1);
    EXPECT_EQ(mPlug->Controller(74).mParamIdx, kVel);
    EXPECT_EQ(mPlug->Controller(74).mChannelMask, 1u << 3);
    // The editor's next frame makes it a step of the history and tells the host, once.
    const int updates = mHost.mUpdateDisplay;
    EXPECT_TRUE(mPlug->RecordLearnedController());
    EXPECT_FALSE(mPlug->RecordLearnedController());
    mPlug->FlushHostNotices(true); // the host's next idle call
    EXPECT_EQ(mHost.mUpdateDisplay, updates + 1);
    EXPECT_EQ(mPlug->UndoName(), "Learn CC 74 (channel 4)");
    int controller = -1, channel = -1;
    EXPECT_TRUE(mPlug->ControllerOf(kVel, controller, channel));
    EXPECT_EQ(controller, 74);
    EXPECT_EQ(channel, 3);

    // A sweep, one value a block: every note sounds at the value sent before its block.
    StrikeEveryPulse(*mPlug);
    std::vector<int> valueOfBlock;
    std::vector<std::pair<long long, int>> notes; // time, velocity
    for (int b = 0; b < 200; ++b)
    {
        const int value = 127 - (b * 7) % 120;
        valueOfBlock.push_back(value);
        IMidiMessage cc = Cc(3, 74, value);
        cc.mOffset = b % 512;
        mPlug->HandleMidiMessage(cc);
        mHost.mSent.clear();
        mPlug->ProcessBlock(nullptr, nullptr, 512);
        for (const IMidiMessage& m : mHost.mSent)
        {
            EXPECT_NE(m.MessageKind(), IMidiMessage::kControlChange); // consumed
            if (m.MessageKind() == IMidiMessage::kNoteOn)
                notes.emplace_back(b * 512LL + m.mOffset, m.mData2);
        }
    }
    ASSERT_GT(notes.size(), 8u);
    for (const auto& [time, velocity] : notes)
        EXPECT_EQ(velocity, valueOfBlock[static_cast<size_t>(time / 512)]) << time;

    // Learning another controller for the parameter moves the binding; forgetting ends it, and
    // the controller passes on again.
    mPlug->LearnController(kVel);
    mPlug->HandleMidiMessage(Cc(0, 20, 64));
    EXPECT_EQ(mPlug->Controller(74).mParamIdx, -1);
    EXPECT_EQ(mPlug->Controller(20).mParamIdx, kVel);
    mPlug->ForgetController(kVel);
    EXPECT_FALSE(mPlug->ControllerOf(kVel, controller, channel));
    // A learn cancelled binds nothing.
    mPlug->LearnController(kSwing);
    mPlug->LearnController(-1);
    mHost.mSent.clear();
    mPlug->HandleMidiMessage(Cc(0, 20, 1));
    mPlug->ProcessBlock(nullptr, nullptr, 64);
    EXPECT_EQ(mPlug->Controller(20).mParamIdx, -1);
    ASSERT_FALSE(mHost.mSent.empty());
    EXPECT_EQ(mHost.mSent[0], Cc(0, 20, 1));
}

TEST_F(HostServices, LearnAndForgetAreStepsThatUndoAndRedoTakeBackAloneAndTheHostHears)
{
    mPlug->LearnController(kVel);
    mPlug->HandleMidiMessage(Cc(0, 74, 100));
    // A pattern edit between the learn and its frame.
    mPlug->BeginEdit("Swing");
    Change(*mPlug, kSwing, 0.25);
    mPlug->EndEdit();
    ASSERT_TRUE(mPlug->RecordLearnedController());
    EXPECT_EQ(mPlug->UndoName(), "Learn CC 74 (channel 1)");
    EXPECT_TRUE(mPlug->Undo());
    EXPECT_EQ(mPlug->Controller(74).mParamIdx, -1);
    EXPECT_EQ(mPlug->UndoName(), "Swing");
    EXPECT_TRUE(mPlug->Undo()); // the swing alone: the map stays unbound
    EXPECT_EQ(mPlug->Controller(74).mParamIdx, -1);
    EXPECT_TRUE(mPlug->Redo());
    EXPECT_TRUE(mPlug->Redo());
    EXPECT_EQ(mPlug->Controller(74).mParamIdx, kVel);
    EXPECT_EQ(mPlug->Controller(74).mChannelMask, 1u);
    EXPECT_EQ(mPlug->GetParam(kSwing)->Value(), 0.25);

    const int updates = mHost.mUpdateDisplay;
    mPlug->ForgetController(kVel);
    mPlug->FlushHostNotices(true);
    EXPECT_EQ(mHost.mUpdateDisplay, updates + 1);
    EXPECT_EQ(mPlug->UndoName(), "Forget CC 74 (channel 1)");
    EXPECT_EQ(mPlug->Controller(74).mParamIdx, -1);
    // Undone, the controller moves the parameter again and is consumed.
    EXPECT_TRUE(mPlug->Undo());
    mHost.mSent.clear();
    mPlug->HandleMidiMessage(Cc(0, 74, 0));
    mPlug->ProcessBlock(nullptr, nullptr, 64);
    EXPECT_EQ(mPlug->GetParam(kVel)->Normalised(), 0.0);
    for (const IMidiMessage& m : mHost.mSent)
        EXPECT_NE(m.MessageKind(), IMidiMessage::kControlChange);
    // Forgetting what is not bound is no step.
    mPlug->ForgetController(kSwing);
    EXPECT_EQ(mPlug->RedoName(), "Forget CC 74 (channel 1)");
}

TEST_F(HostServices, UnboundControllersPassAtTheirOffsetsAmongTheNotesAndKeysPlayThePattern)
{
    StrikeEveryPulse(*mPlug);
    // 1/32 notes at 120 BPM: pulses every 2756.25 samples; one block of 4096 holds two.
    Change(*mPlug, kTimeUnits, 5);
    Change(*mPlug, kLengthUnits, 5);
    const int offsets[] = {4095, 0, 2756, 100, 2755};
    for (int i = 0; i < 5; ++i)
    {
        IMidiMessage cc = Cc(1, 10 + i, i);
        cc.mOffset = offsets[i];
        mPlug->HandleMidiMessage(cc);
    }
    mPlug->ProcessBlock(nullptr, nullptr, 4096);
    std::string order;
    for (const IMidiMessage& m : mHost.mSent)
        order += std::to_string(m.mOffset) +
                 (m.MessageKind() == IMidiMessage::kControlChange
                      ? ":cc" + std::to_string(m.mData1)
                      : ":" + std::to_string(m.mStatus >> 4)) +
                 " ";
    // At one offset the passed message comes before the note.
    EXPECT_EQ(order, "0:cc11 0:9 100:cc13 2755:cc14 2755:8 2756:cc12 2756:9 4095:cc10 ");

    int first = -1;
    for (const IMidiMessage& m : mHost.mSent)
        if (m.MessageKind() == IMidiMessage::kNoteOn && first < 0)
            first = m.mData1;

    // Transpose: a key from the host is the tonic from its offset on, and never passed on.
    // Without time info every block starts at position 0: the same two pulses, the second
    // after the key and an octave down.
    mPlug->SetKeyPlayMode(KeyPlayMode::kTranspose);
    mHost.mSent.clear();
    IMidiMessage key;
    key.MakeNoteOn(48, 90, 1000, 0);
    mPlug->HandleMidiMessage(key);
    mPlug->ProcessBlock(nullptr, nullptr, 4096);
    std::vector<IMidiMessage> ons;
    for (const IMidiMessage& m : mHost.mSent)
        if (m.MessageKind() == IMidiMessage::kNoteOn)
            ons.push_back(m);
    ASSERT_EQ(ons.size(), 2u);
    EXPECT_EQ(ons[0].mOffset, 0);
    EXPECT_EQ(ons[0].mData1, first);
    EXPECT_EQ(ons[1].mOffset, 2756);
    EXPECT_EQ(ons[1].mData1, first - 12);
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
