#include "FactoryPresets.h"
#include "AudioThreadRole.h"
#include "CheckCapture.h"
#include "PluginTestSupport.h"
#include "PresetText.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace
{
const std::filesystem::path kPresets = std::filesystem::path(ORX_SOURCE_DIR) / "presets";

std::set<std::string> PresetFiles(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

std::string Contents(const std::filesystem::path& p)
{
    std::string text;
    ReadWholeFile(p.string().c_str(), text);
    return text;
}
} // namespace

TEST(FactoryPresets, TheCodeMakesExactlyTheCommittedFiles)
{
    TempFolder t;
    std::string error;
    const std::vector<std::string> written = WriteFactoryPresets(t.Str(), error);
    ASSERT_FALSE(written.empty()) << error;
    EXPECT_GE(written.size(), 9u);
    EXPECT_EQ(PresetFiles(t.Path()), PresetFiles(kPresets))
        << "run build/linux/tools/presets/make-factory-presets presets";
    for (const std::string& name : PresetFiles(t.Path()))
        EXPECT_EQ(Contents(t.Path() / name), Contents(kPresets / name)) << name;
}

TEST(FactoryPresets, EachLoadsCleanlyAndPlays)
{
    for (const std::string& name : PresetFiles(kPresets))
    {
        auto plug = MakePlug();
        vst2::Effect* e = plug->GetEffect();
        e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
        CheckCapture checks;
        ASSERT_TRUE(plug->ReadPreset((kPresets / name).string().c_str())) << name;
        TransportState t;
        int notes = 0;
        std::set<int> pitches;
        // 16 bars at 120 BPM.
        for (int b = 0; b < 16 * 88200 / 512; ++b)
        {
            t.mSamplePos = b * 512;
            PlayEngineBlock(plug->Engine(), t, 512);
            for (const IMidiMessage& m : plug->Engine().mMidiOut)
                if ((m.mStatus & 0xF0) == 0x90 && m.mData2 > 0)
                {
                    ++notes;
                    pitches.insert(m.mData1);
                }
        }
        EXPECT_TRUE(checks.Empty()) << name << "\n" << checks.Describe();
        EXPECT_GT(notes, 20) << name;
        EXPECT_GE(pitches.size(), 4u) << name;
        EXPECT_STREQ(plug->CurrentPresetName().Name(), name.substr(0, name.size() - 7).c_str());
    }
}
