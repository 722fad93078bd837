// The whole render in process, hosting the framework's test plug-in, which sends one note at
// the last frame of every block while the transport plays and keeps its parameter values as
// its state chunk.

#include "Renderer.h"
#include "FileIo.h"
#include "RenderOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace orxrender;

namespace
{

std::string TempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("orx-render-" + name)).string();
}

RenderOptions Options(std::vector<std::string> args)
{
    args.insert(args.begin(), {"--plugin", ORX_TEST_PLUGIN});
    const ParseResult parsed = ParseOptions(args);
    EXPECT_EQ(parsed.mError, "");
    return parsed.mOptions;
}

RenderResult RenderWith(const RenderOptions& options)
{
    RenderResult result;
    std::string error;
    EXPECT_TRUE(Render(options, stdout, result, error)) << error;
    return result;
}

std::string Contents(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(path, bytes, 1 << 24, error)) << error;
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(Renderer, EventsCarryTheBlockPositionPlusTheirOffset)
{
    const std::string listing = TempPath("events.txt");
    const std::string midi = TempPath("events.mid");
    const RenderResult r = RenderWith(Options({"--block", "100", "--seconds", "0.01", "--start",
                                               "1000", "--events", listing, "--midi", midi}));
    EXPECT_EQ(r.mFrames, 441);
    EXPECT_EQ(r.mBlocks, 5);
    ASSERT_EQ(r.mEvents.size(), 5u);
    const int64_t expected[] = {1099, 1199, 1299, 1399, 1440};
    std::string lines;
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(r.mEvents[i].mSample, expected[i]);
        EXPECT_EQ(r.mEvents[i].mTimeline, expected[i]);
        lines += std::to_string(expected[i]) + " 90 60 100\n";
    }
    EXPECT_EQ(Contents(listing), lines);
    EXPECT_EQ(Contents(midi).substr(0, 4), "MThd");
    std::filesystem::remove(listing);
    std::filesystem::remove(midi);
}

TEST(Renderer, NothingPlaysFromTheStopOn)
{
    const RenderResult r =
        RenderWith(Options({"--block", "100", "--seconds", "0.02", "--stop-at", "250"}));
    ASSERT_EQ(r.mEvents.size(), 3u);
    EXPECT_EQ(r.mEvents[0].mSample, 99);
    EXPECT_EQ(r.mEvents[1].mSample, 199);
    EXPECT_EQ(r.mEvents[2].mSample, 249); // the block is cut at the stop
}

TEST(Renderer, ALoopRepeatsPositionsWhileTheTimelineRunsOn)
{
    const RenderResult r =
        RenderWith(Options({"--block", "128", "--seconds", "0.02", "--loop", "100:300"}));
    ASSERT_FALSE(r.mEvents.empty());
    int64_t lastTimeline = -1;
    int wraps = 0;
    for (std::size_t i = 0; i < r.mEvents.size(); ++i)
    {
        const RenderEvent& e = r.mEvents[i];
        EXPECT_LT(e.mSample, 300);
        EXPECT_GT(e.mTimeline, lastTimeline);
        lastTimeline = e.mTimeline;
        if (e.mSample == 299)
            ++wraps;
    }
    // 882 frames: 300 to the first loop end, then 200 a pass.
    EXPECT_EQ(wraps, 3);
    EXPECT_EQ(r.mEvents.back().mTimeline, 881);
}

TEST(Renderer, SavedStateLoadsBackAndParametersAreSetByTheirTexts)
{
    const std::string first = TempPath("state1.bin");
    const std::string second = TempPath("state2.bin");
    const std::string plain = TempPath("state0.bin");
    RenderWith(Options({"--seconds", "0.001", "--save-state", plain}));
    RenderWith(Options({"--seconds", "0.001", "--param", "Gain=1.50", "--param", "Mode=Gamma",
                        "--param", "Transp=-7", "--save-state", first}));
    RenderWith(Options({"--seconds", "0.001", "--load-state", first, "--save-state", second}));
    const std::string a = Contents(first);
    EXPECT_EQ(a.substr(0, 8), std::string("\x74\x66\x66\x70\x00\x00\x01\x00", 8));
    EXPECT_EQ(a, Contents(second));
    EXPECT_NE(a, Contents(plain));
    for (const std::string& path : {first, second, plain})
        std::filesystem::remove(path);
}

TEST(Renderer, StateOptionsNeedAPlugInThatKeepsAChunk)
{
    RenderOptions o = Options({"--seconds", "0.001", "--save-state", TempPath("x.bin")});
    o.mPlugin = ORX_TEST_EFFECT_PLUGIN; // an effect without a state chunk
    RenderResult result;
    std::string error;
    EXPECT_FALSE(Render(o, stdout, result, error));
    EXPECT_EQ(error, "--save-state: the plug-in keeps no state chunk");
    o.mSaveState.clear();
    o.mPreset = TempPath("x.preset");
    EXPECT_FALSE(Render(o, stdout, result, error));
    EXPECT_EQ(error, "--preset: the plug-in keeps no state chunk");
}
