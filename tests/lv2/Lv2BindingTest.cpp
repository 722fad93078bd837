// The LV2 library as our lilv host drives it, against the VST 2 library driven by our VST 2
// host: the factory presets as lilv applies them hold the VST 2 state, the control ports move
// the same parameters as the VST 2 host's values, and MIDI from the host passes through.

#include "HostParamAccess.h"
#include "Lv2Host.h"
#include "ParamLookup.h"
#include "PresetChunk.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{

constexpr const char* kUri = "urn:dravenholm:orlantix";
constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

std::unique_ptr<orxlv2host::Lv2Host> LoadLv2()
{
    auto host = std::make_unique<orxlv2host::Lv2Host>();
    EXPECT_TRUE(host->Load(ORX_LV2_PATH, kUri, kRate, kBlock)) << host->Error();
    host->Activate();
    return host;
}

// (block, frame, bytes) of every event, for both hosts alike.
using Stream = std::vector<std::tuple<int, int64_t, std::vector<uint8_t>>>;

Stream PlayLv2(orxlv2host::Lv2Host& host, int blocks)
{
    Stream s;
    for (int b = 0; b < blocks; ++b)
    {
        orxlv2host::Position position;
        position.mFrame = int64_t{b} * kBlock;
        position.mBeatsPerMinute = 133.0;
        host.Run(kBlock, b == 0 ? &position : nullptr);
        for (const orxlv2host::Lv2Event& e : host.Events())
            s.emplace_back(b, e.mFrame, e.mBytes);
        host.ClearEvents();
    }
    return s;
}

Stream PlayVst(orxhost::VstHost& host, int blocks)
{
    Stream s;
    host.GetTransport().mTempo = 133.0;
    for (int b = 0; b < blocks; ++b)
    {
        host.Process(kBlock);
        for (const orxhost::CapturedEvent& e : host.Events())
            if (e.mBlock >= 0 && e.mType == vst2::kEventMidi)
                s.emplace_back(b, e.mDeltaFrames,
                               std::vector<uint8_t>{e.mData[0], e.mData[1], e.mData[2]});
        host.ClearEvents();
    }
    return s;
}

} // namespace

TEST(Lv2Binding, FactoryPresetsAppliedByLilvHoldTheVst2State)
{
    auto lv2 = LoadLv2();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ORX_SOURCE_DIR "/presets"))
        files.push_back(entry.path().stem().string());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(lv2->PresetLabels(), files);
    for (const std::string& label : files)
    {
        std::vector<uint8_t> expected;
        int32_t id = 0;
        std::string error;
        ASSERT_TRUE(orxrender::ChunkFromPreset(ORX_SOURCE_DIR "/presets/" + label + ".preset",
                                               expected, &id, error))
            << error;
        ASSERT_TRUE(lv2->ApplyPreset(label)) << label;
        EXPECT_EQ(lv2->SaveState(), expected) << label;
    }
    // A state cut short is refused.
    EXPECT_FALSE(lv2->RestoreState({0x74, 0x66, 0x66, 0x70, 0, 0, 1}));
}

TEST(Lv2Binding, ControlPortsMoveWhatTheVst2HostsValuesMove)
{
    // The same settings through both formats' host-facing controls: ports in their own units,
    // VST 2 values found by the text the plug-in shows.
    const std::vector<std::pair<std::string, std::pair<float, std::string>>> settings = {
        {"Chan", {5.0f, "5"}},
        {"TimeUnits", {5.0f, "1/32"}},
        {"Swing", {0.4f, "0.40"}},
        {"mode", {1.0f, ""}},
    };
    auto lv2 = LoadLv2();
    orxhost::VstHost vst;
    ASSERT_TRUE(vst.Load(ORX_VST2_PLUGIN)) << vst.Error();
    vst.Start(static_cast<float>(kRate), kBlock);
    orxrender::HostParamAccess params(vst);
    for (const auto& [name, values] : settings)
    {
        float* port = lv2->Control(name);
        ASSERT_NE(port, nullptr) << name;
        *port = values.first;
        const int index = orxrender::FindParam(params, name);
        ASSERT_GE(index, 0) << name;
        if (values.second.empty())
        {
            // An enumeration: the port's value is the entry's index, the text its display.
            const std::vector<orxrender::TextSpan> spans =
                orxrender::MapDisplayTexts(params, index);
            ASSERT_GT(spans.size(), 1u);
            vst.SetParameter(index, spans[1].mLow);
        }
        else
        {
            const orxrender::ParamValue v = orxrender::FindParamValue(params, name, values.second);
            ASSERT_TRUE(v.mError.empty()) << v.mError;
            vst.SetParameter(index, v.mNormalised);
        }
    }
    const Stream fromLv2 = PlayLv2(*lv2, 200);
    const Stream fromVst = PlayVst(vst, 200);
    ASSERT_GE(fromVst.size(), 20u);
    EXPECT_EQ(fromLv2, fromVst);
    for (const auto& [block, frame, bytes] : fromLv2)
        EXPECT_EQ(bytes[0] & 0x0F, 4) << "channel 5 is set through the port";
    // The states are not compared: a port carries a float in the parameter's own units, a
    // VST 2 value a normalised float, so a continuous value may differ in its last bits.
}

TEST(Lv2Binding, HostMidiPassesThroughWithTheNextBlock)
{
    auto lv2 = LoadLv2();
    *lv2->Control("Vel") = 0.0f; // the pattern's own notes out of the way of the check
    lv2->QueueMidi(10, {0xE0, 0x00, 0x40});
    lv2->QueueMidi(20, {0xC0, 0x05});
    lv2->QueueMidi(30, {0x90, 60, 100}); // notes from the host are not passed on
    orxlv2host::Position stopped;
    stopped.mRolling = false;
    lv2->Run(kBlock, &stopped);
    lv2->Run(kBlock, nullptr);
    std::vector<std::vector<uint8_t>> passed;
    for (const orxlv2host::Lv2Event& e : lv2->Events())
        passed.push_back(e.mBytes);
    const std::vector<std::vector<uint8_t>> expected = {{0xE0, 0x00, 0x40}, {0xC0, 0x05}};
    EXPECT_EQ(passed, expected);
}
