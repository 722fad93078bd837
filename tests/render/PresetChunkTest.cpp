// A text preset handed over as the state chunk must leave the plug-in exactly as reading the
// preset itself does: two instances, one reading the file and one given the renderer's chunk,
// hold the same state and play the same events.

#include "PresetChunk.h"
#include "OrlantixParamIndex.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace orxrender;

namespace
{

// A host with a playing transport that records the MIDI the instance sends; the effect's
// host field leads the callback to it.
struct FakeHost
{
    vst2::TimeInfo mTime{};
    std::vector<std::vector<int>> mEvents; // sample, status, data 1, data 2
    long long mBlockStart = 0;

    static intptr_t ORX_VSTCALL Callback(vst2::Effect* effect, int32_t opcode, int32_t, intptr_t,
                                         void* ptr, float) noexcept
    {
        FakeHost* host = effect ? static_cast<FakeHost*>(effect->resvd1) : nullptr;
        if (opcode == vst2::audioMasterVersion)
            return vst2::kVstVersion;
        if (!host)
            return 0;
        if (opcode == vst2::audioMasterGetTime)
            return reinterpret_cast<intptr_t>(&host->mTime);
        if (opcode == vst2::audioMasterProcessEvents && ptr)
        {
            const auto* list = static_cast<const vst2::Events*>(ptr);
            for (int32_t i = 0; i < list->numEvents; ++i)
            {
                const auto* e = reinterpret_cast<const vst2::MidiEvent*>(list->events[i]);
                host->mEvents.push_back({static_cast<int>(host->mBlockStart + e->deltaFrames),
                                         static_cast<uint8_t>(e->midiData[0]),
                                         static_cast<uint8_t>(e->midiData[1]),
                                         static_cast<uint8_t>(e->midiData[2])});
            }
            return 1;
        }
        return 0;
    }
};

struct Instance
{
    FakeHost mHost;
    std::unique_ptr<Orlantix> mPlug = MakePlug(&FakeHost::Callback);

    vst2::Effect* Effect() { return mPlug->GetEffect(); }
    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt = 0)
    {
        return Effect()->dispatcher(Effect(), opcode, index, value, ptr, opt);
    }

    Instance()
    {
        Effect()->resvd1 = &mHost;
        Dispatch(vst2::effOpen, 0, 0, nullptr);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(vst2::effSetBlockSize, 0, 300, nullptr);
        Dispatch(vst2::effMainsChanged, 0, 1, nullptr);
    }

    std::vector<uint8_t> Chunk()
    {
        void* data = nullptr;
        const intptr_t size = Dispatch(vst2::effGetChunk, 0, 0, &data);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return size > 0 && bytes ? std::vector<uint8_t>(bytes, bytes + size)
                                 : std::vector<uint8_t>();
    }

    // Twenty seconds at 111 BPM in blocks of 300 frames.
    void Play()
    {
        std::vector<float> buffer(300 * 4, 0.0f);
        float* channels[] = {buffer.data(), buffer.data() + 300, buffer.data() + 600,
                             buffer.data() + 900};
        mHost.mTime.sampleRate = 48000.0;
        mHost.mTime.tempo = 111.0;
        mHost.mTime.timeSigNumerator = 4;
        mHost.mTime.timeSigDenominator = 4;
        mHost.mTime.flags = vst2::kTimePlaying | vst2::kTimeTempoValid | vst2::kTimeSigValid |
                            vst2::kTimePpqValid | vst2::kTimeBarsValid;
        for (long long start = 0; start < 48000 * 20; start += 300)
        {
            mHost.mBlockStart = start;
            mHost.mTime.samplePos = static_cast<double>(start);
            mHost.mTime.ppqPos = start / 48000.0 * 111.0 / 60.0;
            Effect()->processReplacing(Effect(), channels, channels + 2, 300);
        }
    }
};

// A preset with busy modifier sequencers, jitter, swing and a filled melody grid, written by
// the plug-in itself.
std::string WriteBusyPreset()
{
    std::unique_ptr<Orlantix> plug = MakePlug();
    Change(*plug, kTimeUnits, 4); // 1/16
    Change(*plug, kSwing, 0.3);
    Change(*plug, kVelJitt, 0.6);
    Change(*plug, kLenJitt, 0.4);
    Change(*plug, kHuman, 0.25);
    Change(*plug, kLifeProb, 0.2);
    Change(*plug, kStepDir, 4);
    for (int i = 0; i < 8; ++i)
    {
        Change(*plug, kStkMod1 + i, (3 * i + 1) % 13);
        Change(*plug, kStkModT1 + i, i % 2);
        Change(*plug, kMelMod1 + i, (5 * i + 2) % 19);
        Change(*plug, kMekModT1 + i, (i + 1) % 2);
    }
    Change(*plug, kStkProb, 0.7);
    Change(*plug, kMelProb, 0.8);
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int p = 0; p < kPitchSetsPerMelody; ++p)
            {
                PitchSet* set = plug->Engine().mProgression.GetPitchSet(s, v, p);
                set->mPlayingMask = set->mBaseMask = 1 + (s * 7 + v * 3 + p * 5) % 31;
            }
    const std::string path =
        (std::filesystem::temp_directory_path() / "orx-render-busy.preset").string();
    EXPECT_TRUE(plug->WritePreset(path.c_str()));
    return path;
}

} // namespace

TEST(PresetChunk, TheChunkLeavesThePlugInAsReadingThePresetItselfDoes)
{
    const std::string path = WriteBusyPreset();
    Instance reader;
    ASSERT_TRUE(reader.mPlug->ReadPreset(path.c_str()));

    std::vector<uint8_t> chunk;
    int32_t id = 0;
    std::string error;
    ASSERT_TRUE(ChunkFromPreset(path, chunk, &id, error)) << error;
    EXPECT_EQ(id, reader.Effect()->uniqueID);
    Instance given;
    EXPECT_EQ(
        given.Dispatch(vst2::effSetChunk, 0, static_cast<intptr_t>(chunk.size()), chunk.data()), 1);

    EXPECT_EQ(given.Chunk(), reader.Chunk());
    reader.Play();
    given.Play();
    EXPECT_GT(reader.mHost.mEvents.size(), 500u);
    EXPECT_EQ(given.mHost.mEvents, reader.mHost.mEvents);
    std::filesystem::remove(path);
}

TEST(PresetChunk, AMissingPresetIsAnError)
{
    std::vector<uint8_t> chunk;
    int32_t id = 0;
    std::string error;
    EXPECT_FALSE(ChunkFromPreset("/nonexistent/x.preset", chunk, &id, error));
    EXPECT_NE(error.find("x.preset"), std::string::npos);
    EXPECT_TRUE(chunk.empty());
}
