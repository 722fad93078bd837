// What Orlantix answers a host: its identity in the effect record, the dispatcher's texts and
// capabilities, pins and programs.

#include "HostedOrlantix.h"

#include "TextUtil.h"

#include <cstdlib>
#include <string>

TEST_F(HostedOrlantix, TheEffectRecordDescribesAnInstrumentWithSixtyParameters)
{
    const vst2::Effect* e = mHost.Effect();
    EXPECT_EQ(e->magic, vst2::kEffectMagic);
    EXPECT_EQ(e->numParams, 60);
    EXPECT_EQ(e->numPrograms, 6);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, orx::FourCC("dhOx"));
    EXPECT_EQ(e->version, 10000);
    EXPECT_EQ(e->initialDelay, 0);
    // Replacing, double replacing, program chunks, mono-capable, synth, and the editor, which
    // is declared even where no display can be reached (as here).
    EXPECT_EQ(e->flags, vst2::kFlagHasEditor | vst2::kFlagCanReplacing |
                            vst2::kFlagCanDoubleReplacing | vst2::kFlagProgramChunks |
                            vst2::kFlagCanMono | vst2::kFlagIsSynth);
    Start();
    EXPECT_EQ(mHost.Effect()->numInputs, 2);
    EXPECT_EQ(mHost.Effect()->numOutputs, 2);

    // Without a display the editor has its size but opens no window.
    const char* display = std::getenv("DISPLAY");
    const std::string kept = display ? display : "";
    unsetenv("DISPLAY");
    int width = 0, height = 0;
    EXPECT_TRUE(mHost.EditorSize(width, height));
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 650);
    int parent = 1; // a window id, had there been a display
    EXPECT_FALSE(mHost.OpenEditor(&parent));
    mHost.EditorIdle();
    EXPECT_TRUE(mHost.CloseEditor()); // closing what did not open is harmless
    if (display)
        setenv("DISPLAY", kept.c_str(), 1);
}

TEST_F(HostedOrlantix, NamesCategoryAndVersion)
{
    Start();
    EXPECT_EQ(mHost.EffectName(), "Orlantix");
    EXPECT_EQ(mHost.VendorString(), "Dravenholm");
    EXPECT_EQ(mHost.ProductString(), "");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetPlugCategory), vst2::kCategorySynth);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetVstVersion), 2400);
    EXPECT_EQ(mHost.Dispatch(vst2::effIdentify), vst2::kIdentifyAnswer);
    EXPECT_EQ(mHost.Dispatch(vst2::effCanBeAutomated, 59), 1);
}

TEST_F(HostedOrlantix, CanDoAnswers)
{
    Start();
    for (const char* midi :
         {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
        EXPECT_EQ(mHost.CanDo(midi), 1) << midi;
    EXPECT_EQ(mHost.CanDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(mHost.CanDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000u));
    EXPECT_EQ(mHost.CanDo("offline"), 0);
    EXPECT_EQ(mHost.CanDo("SendVstEvents"), 0); // exact comparison
}

TEST_F(HostedOrlantix, PinsAreOneStereoPairEachWay)
{
    Start();
    for (int32_t opcode : {vst2::effGetInputProperties, vst2::effGetOutputProperties})
    {
        const std::string prefix = opcode == vst2::effGetInputProperties ? "Input " : "Output ";
        vst2::PinProperties pin{};
        ASSERT_EQ(mHost.Dispatch(opcode, 0, 0, &pin), 1);
        EXPECT_EQ(pin.flags, vst2::kPinIsActive | vst2::kPinIsStereo);
        EXPECT_EQ(std::string(pin.label), prefix + "1");
        ASSERT_EQ(mHost.Dispatch(opcode, 1, 0, &pin), 1);
        EXPECT_EQ(pin.flags, vst2::kPinIsActive);
        EXPECT_EQ(std::string(pin.label), prefix + "2");
        EXPECT_EQ(mHost.Dispatch(opcode, 2, 0, &pin), 0);
        EXPECT_EQ(mHost.Dispatch(opcode, 0, 0, nullptr), 0);
    }
}

TEST_F(HostedOrlantix, ProgramsStartWithDefaultAndFiveNumberedSlots)
{
    Start();
    intptr_t answer = -1;
    EXPECT_EQ(mHost.ProgramNameIndexed(0, &answer), "Default");
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(mHost.ProgramNameIndexed(1), "- 2 -");
    EXPECT_EQ(mHost.ProgramNameIndexed(5), "- 6 -");
    EXPECT_EQ(mHost.ProgramNameIndexed(6, &answer), "");
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(mHost.ProgramName(), "Default");
    EXPECT_EQ(mHost.Dispatch(vst2::effGetProgram), 0);

    // Choosing an empty slot names it as a user preset.
    mHost.Dispatch(vst2::effSetProgram, 0, 2);
    EXPECT_EQ(mHost.Dispatch(vst2::effGetProgram), 2);
    EXPECT_EQ(mHost.ProgramName(), "user preset 1");
}

TEST_F(HostedOrlantix, VendorSpecificDisplaysAParameterAtANormalisedValue)
{
    Start();
    char text[64] = {};
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kTonic, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "G10");
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kTimeUnits, text, 0.25f), 0xBEEF);
    EXPECT_STREQ(text, "1/16");
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kSwing, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "0.50");
    // Beyond the 250 parameters, or another index: not answered.
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 7, kNumOrlantixParams, text, 0.5f), 0);
    EXPECT_EQ(mHost.Dispatch(vst2::effVendorSpecific, 6, kTonic, text, 0.5f), 0);
    // The displayed value is the normalised one, not the parameter's current value.
    EXPECT_EQ(mHost.ParamDisplay(kTonic), "C5");
}

TEST_F(HostedOrlantix, TheChunkPointerGivenOutCanBeHandedStraightBack)
{
    // Some hosts restore a state from the very pointer effGetChunk gave them: the plug-in then
    // reads its own buffer, which must not be copied onto itself (AddressSanitizer watches this
    // in the asan build).
    Start();
    for (int32_t index : {0, 1}) // bank, program
    {
        mHost.SetParameter(kVel, Norm(90, 0, 127));
        void* data = nullptr;
        const intptr_t size = mHost.Dispatch(vst2::effGetChunk, index, 0, &data);
        ASSERT_GT(size, 8);
        const auto* bytes = static_cast<const uint8_t*>(data);
        const std::vector<uint8_t> saved(bytes, bytes + size);

        mHost.SetParameter(kVel, Norm(20, 0, 127));
        EXPECT_EQ(mHost.Dispatch(vst2::effSetChunk, index, size, data), 1) << index;
        EXPECT_EQ(mHost.ParamDisplay(kVel), "90") << index;
        // The buffer stays where it was, holding the same state.
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), bytes)) << index;

        // The state behind the header, from inside the same buffer.
        mHost.SetParameter(kVel, Norm(20, 0, 127));
        EXPECT_EQ(mHost.Dispatch(vst2::effSetChunk, index, size - 8, static_cast<char*>(data) + 8),
                  1)
            << index;
        EXPECT_EQ(mHost.ParamDisplay(kVel), "90") << index;
    }
}
