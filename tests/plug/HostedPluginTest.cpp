// The dispatcher table of the binding, seen from a host: identity, capabilities, pins,
// parameters, programs, chunks, MIDI, host identification, lifecycle and re-entrancy.

#include "HostedFixture.h"

#include <cstring>
#include <string>
#include <vector>

using orxhost::CapturedEvent;

namespace
{
const std::vector<uint8_t> kHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
}

class HostedPlugin : public Hosted
{
protected:
    void SetUp() override { Load(ORX_TEST_PLUGIN); }
};

class HostedEffect : public Hosted
{
protected:
    void SetUp() override { Load(ORX_TEST_EFFECT_PLUGIN); }
};

TEST_F(HostedPlugin, EffectRecordAndIdentity)
{
    vst2::Effect* e = mHost.Effect();
    EXPECT_EQ(e->magic, vst2::kEffectMagic);
    EXPECT_EQ(e->numParams, kNumDeclared);
    EXPECT_EQ(e->numPrograms, 3);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, vst2::kFlagCanReplacing | vst2::kFlagCanDoubleReplacing |
                            vst2::kFlagProgramChunks | vst2::kFlagCanMono | vst2::kFlagIsSynth);
    EXPECT_EQ(e->uniqueID, kTestUniqueId);
    EXPECT_EQ(e->version, 10203);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(mHost.Dispatch(vst2::effIdentify), 0x4E764566);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetVstVersion), 2400);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetPlugCategory), vst2::kCategorySynth);
    EXPECT_EQ(mHost.EffectName(), "OrxTestPlugin");
    EXPECT_EQ(mHost.VendorString(), "Orlantix Tests");
    EXPECT_EQ(mHost.ProductString(), "Orlantix Test Plug-in");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetEffectName), 0); // no buffer
    EXPECT_EQ(mHost.Dispatch(vst2::effProcessVarIo), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effCanBeAutomated, 3), 1);
    EXPECT_EQ(mHost.Dispatch(9999), 0);
}

TEST_F(HostedEffect, EffectWithoutMidiOrChunks)
{
    vst2::Effect* e = mHost.Effect();
    EXPECT_EQ(e->flags, vst2::kFlagCanReplacing | vst2::kFlagCanDoubleReplacing);
    EXPECT_EQ(e->numPrograms, 1); // the entry made a "Default" slot
    EXPECT_EQ(mHost.ProgramNameIndexed(0), "Default");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetPlugCategory), vst2::kCategoryEffect);
    char product[64] = "x";
    EXPECT_EQ(mHost.Dispatch(vst2::effGetProductString, 0, 0, product), 1);
    EXPECT_STREQ(product, "");
    EXPECT_EQ(mHost.CanDo("sendVstMidiEvent"), 0);
    EXPECT_EQ(mHost.CanDo("receiveVstEvents"), 0);
    EXPECT_EQ(mHost.CanDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(mHost.CanDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000u));
}

TEST_F(HostedPlugin, CapabilityAnswers)
{
    for (const char* midi :
         {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
        EXPECT_EQ(mHost.CanDo(midi), 1) << midi;
    EXPECT_EQ(mHost.CanDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(mHost.CanDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000u));
    EXPECT_EQ(mHost.CanDo("hasCockosViewAsConfig"), static_cast<intptr_t>(0xBEEF0000u));
    EXPECT_EQ(mHost.CanDo("SendVstEvents"), 0); // exact comparison
    EXPECT_EQ(mHost.CanDo("bypass"), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effCanDo), 0);
}

TEST_F(HostedPlugin, PinProperties)
{
    vst2::PinProperties pin;
    std::memset(&pin, 0x55, sizeof(pin));
    ASSERT_EQ(mHost.Dispatch(vst2::effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, vst2::kPinIsActive | vst2::kPinIsStereo);
    EXPECT_STREQ(pin.label, "Output 1");
    ASSERT_EQ(mHost.Dispatch(vst2::effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, vst2::kPinIsActive);
    EXPECT_STREQ(pin.label, "Output 2");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetOutputProperties, 0, 0, nullptr), 0);
    ASSERT_EQ(mHost.Dispatch(vst2::effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(pin.flags, vst2::kPinIsActive | vst2::kPinIsStereo);
}

TEST_F(HostedPlugin, ParameterNamesLabelsAndDisplays)
{
    const char* names[] = {"Gain", "Transp", "Mode", "Echo", "Curve", "Atten"};
    const char* labels[] = {"x", "st", "", "", "", "dB"};
    const char* displays[] = {"1.00", "12", "Beta", "on", "0.250", "-6.5"};
    const float normalised[] = {0.5f, 0.75f, 0.5f, 1.0f, 0.5f, 6.5f / 60.0f};
    for (int i = 0; i < kNumDeclared; ++i)
    {
        EXPECT_EQ(mHost.ParamName(i), names[i]);
        EXPECT_EQ(mHost.ParamLabel(i), labels[i]);
        EXPECT_EQ(mHost.ParamDisplay(i), displays[i]);
        EXPECT_FLOAT_EQ(mHost.GetParameter(i), normalised[i]);
    }
    mHost.SetParameter(kMode, 1.0f);
    EXPECT_EQ(mHost.ParamDisplay(kMode), "Gamma");
    mHost.SetParameter(kCurve, 0.5f); // shape 2: half way is a quarter
    EXPECT_EQ(mHost.ParamDisplay(kCurve), "0.250");
    mHost.SetParameter(kTransp, 0.0f);
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "-24");
}

TEST_F(HostedPlugin, ParameterIndicesOutsideTheTableAreIgnored)
{
    char text[64] = "untouched";
    for (int32_t opcode : {vst2::effGetParamName, vst2::effGetParamLabel, vst2::effGetParamDisplay})
    {
        EXPECT_EQ(mHost.Dispatch(opcode, 999, 0, text), 0);
        EXPECT_EQ(mHost.Dispatch(opcode, -1, 0, text), 0);
    }
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(mHost.GetParameter(999), 0.0f);
    mHost.SetParameter(999, 1.0f);
    mHost.SetParameter(-5, 1.0f);
    EXPECT_EQ(mHost.ParamDisplay(kGain), "1.00");
}

TEST_F(HostedPlugin, VendorSpecificParameterText)
{
    char text[64] = "untouched";
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kTransp, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "24");
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kMode, text, 0.0f), 0xBEEF);
    EXPECT_STREQ(text, "Alpha");
    std::strcpy(text, "untouched");
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 6, kTransp, text, 1.0f), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kNumParams, text, 1.0f), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, -1, text, 1.0f), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kTransp, nullptr, 1.0f), 0);
    EXPECT_STREQ(text, "untouched");
}

TEST_F(HostedPlugin, ControllerChangesReachTheHostFromTheNextMainThreadEntry)
{
    EXPECT_EQ(mHost.SendMidi(0xB0, kGainController, 127), 1);
    // Nothing reaches the host from the audio thread's request; the next main-thread entry
    // brings it. A controller is no edit of the user's: no gesture.
    EXPECT_TRUE(mHost.Automation().empty());
    mHost.Dispatch(vst2::effIdle);
    ASSERT_EQ(mHost.Automation().size(), 1u);
    EXPECT_EQ(mHost.Automation()[0].mIndex, kGain);
    EXPECT_FLOAT_EQ(mHost.Automation()[0].mValue, 1.0f);
    EXPECT_TRUE(mHost.Gestures().empty());
    EXPECT_EQ(mHost.ParamDisplay(kGain), "2.00");
    EXPECT_TRUE(mHost.Events().empty()); // the controller is consumed, not passed on
}

TEST_F(HostedPlugin, ProgramsDefaultUserPresetsAndNames)
{
    intptr_t answer = -1;
    EXPECT_EQ(mHost.ProgramNameIndexed(0, &answer), "Default");
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(mHost.ProgramNameIndexed(1), "- 2 -");
    EXPECT_EQ(mHost.ProgramNameIndexed(3, &answer), "");
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetProgramNameIndexed, 0, 0, nullptr), 0);
    EXPECT_EQ(mHost.ProgramName(), "Default");

    mHost.SetParameter(kGain, 0.25f);
    mHost.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetProgram), 1);
    EXPECT_EQ(mHost.ProgramName(), "user preset 1");
    char name[] = "Mine";
    mHost.Dispatch(vst2::effSetProgramName, 0, 0, name);
    EXPECT_EQ(mHost.ProgramNameIndexed(1), "Mine");
    mHost.Dispatch(vst2::effSetProgram, 0, 2);
    EXPECT_EQ(mHost.ProgramName(), "user preset 1"); // "Mine" no longer counts
    mHost.Dispatch(vst2::effSetProgram, 0, 0);
    EXPECT_EQ(mHost.ParamDisplay(kGain), "1.00"); // a chunk plug-in does not store on switch
    mHost.Dispatch(vst2::effSetProgram, 0, 7);
    mHost.Dispatch(vst2::effSetProgram, 0, -3);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetProgram), 0);
}

TEST_F(HostedEffect, ProgramSwitchStoresTheCurrentValuesFirst)
{
    mHost.SetParameter(kGain, 0.25f);
    mHost.Dispatch(vst2::effSetProgram, 0, 0);
    EXPECT_EQ(mHost.ParamDisplay(kGain), "0.50");
}

TEST_F(HostedPlugin, ChunksCarryTheHeaderAndStayValid)
{
    const void* bankAddress = nullptr;
    const void* programAddress = nullptr;
    const std::vector<uint8_t> bank = mHost.GetChunk(true, &bankAddress);
    const std::vector<uint8_t> program = mHost.GetChunk(false, &programAddress);
    ASSERT_EQ(bank.size(), 8u + 4u + kNumDeclared * 8u);
    EXPECT_NE(bankAddress, programAddress);
    EXPECT_TRUE(std::equal(kHeader.begin(), kHeader.end(), bank.begin()));
    EXPECT_TRUE(std::equal(kHeader.begin(), kHeader.end(), program.begin()));
    mHost.SetParameter(kGain, 0.0f); // no chunk request: the handed-out bytes stay as they were
    EXPECT_EQ(std::memcmp(bankAddress, bank.data(), bank.size()), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetChunk, 0, 0, nullptr), 0);
}

TEST_F(HostedPlugin, ChunkRoundTrip)
{
    mHost.SetParameter(kTransp, 1.0f);
    const std::vector<uint8_t> bank = mHost.GetChunk(true); // stores the program first
    mHost.SetParameter(kTransp, 0.0f);
    mHost.SetParameter(kMode, 0.0f);
    char name[] = "Low";
    mHost.Dispatch(vst2::effSetProgramName, 0, 0, name); // the program now holds -24
    EXPECT_EQ(mHost.SetChunk(bank, true), 1);
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "24");
    EXPECT_EQ(mHost.ParamDisplay(kMode), "Beta");
    // A bank chunk of the current format leaves the current program alone...
    mHost.Dispatch(vst2::effSetProgram, 0, 1);
    mHost.Dispatch(vst2::effSetProgram, 0, 0);
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "-24");
    // ...a program chunk is stored into it.
    EXPECT_EQ(mHost.SetChunk(bank, false), 1);
    mHost.Dispatch(vst2::effSetProgram, 0, 1);
    mHost.Dispatch(vst2::effSetProgram, 0, 0);
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "24");
}

TEST_F(HostedPlugin, ChunkWithoutHeaderIsReadFromTheStartAndStored)
{
    mHost.SetParameter(kTransp, 0.0f);
    std::vector<uint8_t> bare = mHost.GetChunk(true);
    bare.erase(bare.begin(), bare.begin() + 8);
    mHost.SetParameter(kTransp, 1.0f);
    EXPECT_EQ(mHost.SetChunk(bare, true), 1);
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "-24");
    mHost.SetParameter(kTransp, 1.0f);
    mHost.Dispatch(vst2::effSetProgram, 0, 1);
    mHost.Dispatch(vst2::effSetProgram, 0, 0); // the old format went into the program
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "-24");
}

TEST_F(HostedPlugin, CutChunkSetsTheFirstMissingValueAndFails)
{
    mHost.SetParameter(kGain, 1.0f);
    mHost.SetParameter(kMode, 1.0f);
    mHost.SetParameter(kEcho, 0.0f);
    std::vector<uint8_t> chunk = mHost.GetChunk(false);
    mHost.SetParameter(kGain, 0.5f);
    mHost.SetParameter(kTransp, 0.5f);
    mHost.SetParameter(kEcho, 1.0f);
    chunk.resize(8 + 4 + 2 * 8 + 5); // two values and part of the third
    EXPECT_EQ(mHost.SetChunk(chunk, false), 0);
    EXPECT_EQ(mHost.ParamDisplay(kGain), "2.00");
    EXPECT_EQ(mHost.ParamDisplay(kTransp), "12");
    EXPECT_EQ(mHost.ParamDisplay(kMode), "Alpha"); // 0 clamped into its range
    EXPECT_EQ(mHost.ParamDisplay(kEcho), "on");    // untouched
}

TEST_F(HostedPlugin, ForeignAndEmptyChunksAreRejected)
{
    mHost.SetParameter(kGain, 0.0f);
    std::vector<uint8_t> foreign = kHeader;
    for (char b : std::string("JUCE12345678"))
        foreign.push_back(static_cast<uint8_t>(b));
    EXPECT_EQ(mHost.SetChunk(foreign, true), 0);
    EXPECT_EQ(mHost.SetChunk(kHeader, true), 0);
    EXPECT_EQ(mHost.SetChunk({0x74, 0x66}, true), 0);
    EXPECT_EQ(mHost.SetChunk({}, true), 0);
    uint8_t byte = 0;
    EXPECT_EQ(mHost.Dispatch(vst2::effSetChunk, 0, -8, &byte), 0);
    EXPECT_EQ(mHost.ParamDisplay(kGain), "0");
}

TEST_F(HostedPlugin, NotesAreEchoedTransposedOtherMessagesPassThrough)
{
    EXPECT_EQ(mHost.SendMidi(0x91, 60, 100, 5), 1);
    EXPECT_EQ(mHost.SendMidi(0x81, 60, 0, 9), 1);
    EXPECT_EQ(mHost.SendMidi(0xE0, 0x00, 0x40, 3), 1);
    EXPECT_EQ(mHost.SendMidi(0x91, 120, 100), 1); // transposed beyond 127: clamped
    const std::vector<CapturedEvent>& events = mHost.Events();
    ASSERT_EQ(events.size(), 4u);
    const uint8_t expected[4][3] = {
        {0x91, 72, 100}, {0x81, 72, 0}, {0xE0, 0, 0x40}, {0x91, 127, 100}};
    const int32_t deltas[] = {5, 9, 3, 0};
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        EXPECT_EQ(events[i].mType, vst2::kEventMidi);
        EXPECT_EQ(events[i].mByteSize, 32);
        EXPECT_EQ(events[i].mDeltaFrames, deltas[i]);
        EXPECT_EQ(events[i].mCall, static_cast<int>(i)); // one event per host call
        EXPECT_EQ(events[i].mBlock, -1);
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(events[i].mData[b], expected[i][b]);
    }
    mHost.ClearCaptures();
    mHost.SetParameter(kEcho, 0.0f);
    mHost.SendMidi(0x90, 60, 100);
    EXPECT_TRUE(mHost.Events().empty());
}

TEST_F(HostedPlugin, EventListsOfEveryShape)
{
    char dump[] = {static_cast<char>(0xF0), 0x7D, 0x01, static_cast<char>(0xF7)};
    vst2::SysExEvent sysex{};
    sysex.type = vst2::kEventSysEx;
    sysex.byteSize = sizeof(sysex);
    sysex.deltaFrames = 11;
    sysex.dumpBytes = sizeof(dump);
    sysex.sysexDump = dump;
    vst2::SysExEvent empty = sysex; // nothing to pass on
    empty.dumpBytes = 0;
    vst2::MidiEvent shortNote{};
    shortNote.type = vst2::kEventMidi;
    shortNote.byteSize = 24; // some hosts say 24: not a reason to reject
    shortNote.midiData[0] = static_cast<char>(0x90);
    shortNote.midiData[1] = 10;
    shortNote.midiData[2] = 1;
    auto* sysexEvent = reinterpret_cast<vst2::Event*>(&sysex);
    std::vector<vst2::Event*> list = {sysexEvent, nullptr,
                                      reinterpret_cast<vst2::Event*>(&shortNote),
                                      reinterpret_cast<vst2::Event*>(&empty), sysexEvent};
    EXPECT_EQ(mHost.SendEvents(list), 1);
    const std::vector<CapturedEvent>& events = mHost.Events();
    ASSERT_EQ(events.size(), 3u);
    // The base passes SysEx on at once, bytes and offset unchanged.
    EXPECT_EQ(events[0].mType, vst2::kEventSysEx);
    EXPECT_EQ(events[0].mByteSize, static_cast<int32_t>(sizeof(vst2::SysExEvent)));
    EXPECT_EQ(events[0].mDeltaFrames, 11);
    EXPECT_EQ(events[0].mSysEx, (std::vector<uint8_t>{0xF0, 0x7D, 0x01, 0xF7}));
    EXPECT_EQ(events[1].mData[1], 22);
    EXPECT_EQ(events[2].mType, vst2::kEventSysEx);
    EXPECT_EQ(events[2].mSysEx, events[0].mSysEx);
    EXPECT_EQ(mHost.SendEvents({}), 1);
    EXPECT_EQ(mHost.Dispatch(vst2::effProcessEvents), 0);
}

TEST_F(HostedPlugin, MidiKeyNames)
{
    vst2::MidiKeyName key{};
    key.thisKeyNumber = 61;
    EXPECT_EQ(mHost.Dispatch(vst2::effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "C#4");
    key.thisKeyNumber = 200;
    std::strcpy(key.keyName, "stale");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetMidiKeyName), 0);
}

TEST_F(HostedPlugin, HostIdentifiedFromItsProductString)
{
    const std::pair<const char*, int> cases[] = {
        {"REAPER", 1}, {"Cubase and Reaper", 3}, {"", 0}, {"Orlantix Test Host", 0}};
    for (const auto& [product, id] : cases)
    {
        orxhost::VstHost host;
        host.SetProductString(product);
        host.SetVendorVersion(60210);
        ASSERT_TRUE(host.Load(ORX_TEST_PLUGIN)) << host.Error();
        host.Start();
        EXPECT_EQ(std::stod(host.ParamDisplay(kHostId)), id) << product;
        EXPECT_EQ(host.CallbackCount(vst2::audioMasterGetProductString), 1) << product;
        EXPECT_EQ(host.CallbackCount(vst2::audioMasterGetVendorVersion), product[0] ? 1 : 0);
    }
}

TEST_F(HostedPlugin, LifecycleRunsHandlersInHostOrder)
{
    mHost.Open();
    EXPECT_EQ(Probe(kParamChanges), kNumParams); // every parameter's handler once
    mHost.SetSampleRate(48000.0f);
    mHost.SetBlockSize(256);
    EXPECT_EQ(Probe(kResets), 2);
    EXPECT_EQ(Probe(kActive), -1);
    mHost.Dispatch(vst2::effMainsChanged, 0, 5);
    EXPECT_EQ(Probe(kActive), 1);
    EXPECT_EQ(Probe(kResets), 2);
    mHost.Suspend();
    EXPECT_EQ(Probe(kActive), 0);
    EXPECT_EQ(Probe(kResets), 3);
    mHost.SetSampleRate(0.0f); // ignored: no rate, no reset
    mHost.SetSampleRate(-44100.0f);
    EXPECT_EQ(Probe(kResets), 3);
    mHost.Open(); // some hosts open twice: the set-up runs once, the handlers again
    EXPECT_EQ(Probe(kParamChanges), 2 * kNumParams);
    EXPECT_EQ(mHost.Dispatch(vst2::effEditIdle), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effIdle), 0);
    mHost.Close();
    EXPECT_FALSE(mHost.IsLoaded());
    EXPECT_EQ(mHost.Dispatch(vst2::effGetVstVersion), 0);
    Load(ORX_TEST_PLUGIN); // a closed plug-in can be loaded again
    EXPECT_EQ(mHost.Dispatch(vst2::effGetVstVersion), 2400);
}

TEST_F(HostedPlugin, HostMayCallBackIntoThePlugInFromACallback)
{
    int reentered = 0;
    std::string display;
    mHost.SetCallbackHook(
        [&](orxhost::VstHost& host, int32_t opcode)
        {
            if (opcode == vst2::audioMasterProcessEvents || opcode == vst2::audioMasterGetTime)
            {
                ++reentered;
                display = host.ParamDisplay(kTransp);
                host.SetParameter(kGain, 0.0f);
            }
        });
    mHost.SendMidi(0x90, 60, 100); // echo: a host call from inside the dispatcher
    EXPECT_EQ(reentered, 1);
    EXPECT_EQ(display, "12");
    mHost.Start();
    mHost.Process(64); // transport queries and MIDI out from inside the process call
    EXPECT_GT(reentered, 2);
    EXPECT_EQ(mHost.ParamDisplay(kGain), "0");
}
