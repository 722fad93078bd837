// The command line: defaults, every option, and one-line errors for bad values.

#include "RenderOptions.h"

#include <gtest/gtest.h>

using namespace orxrender;

namespace
{
ParseResult Parse(std::vector<std::string> args)
{
    return ParseOptions(args);
}

// The error for a command line, which must be one line that names the culprit.
std::string ErrorOf(std::vector<std::string> args)
{
    const ParseResult r = ParseOptions(args);
    EXPECT_EQ(r.mError.find('\n'), std::string::npos);
    return r.mError;
}
} // namespace

TEST(RenderOptions, DefaultsAreFourBarsAtTheUsualSettings)
{
    const ParseResult r = Parse({});
    ASSERT_EQ(r.mError, "");
    const RenderOptions& o = r.mOptions;
    EXPECT_EQ(o.mSampleRate, 44100);
    EXPECT_EQ(o.mBlock, 512);
    EXPECT_FALSE(o.mRandomBlocks);
    EXPECT_EQ(o.mTempo, 120.0);
    EXPECT_EQ(o.mNumerator, 4);
    EXPECT_EQ(o.mDenominator, 4);
    EXPECT_EQ(o.mStart, 0);
    EXPECT_EQ(o.mHostProduct, "");
    EXPECT_EQ(RenderLength(o), 4 * 88200);
    const TransportPlan plan = MakePlan(o);
    EXPECT_EQ(plan.mLength, 4 * 88200);
    EXPECT_FALSE(plan.HasLoop());
    EXPECT_EQ(plan.mStopAt, -1);
}

TEST(RenderOptions, EveryOptionIsRead)
{
    const ParseResult r = Parse({"--plugin",
                                 "p.so",
                                 "--sample-rate=48000",
                                 "--block",
                                 "random:99",
                                 "--tempo",
                                 "97.5",
                                 "--time-sig",
                                 "7/8",
                                 "--start",
                                 "1000",
                                 "--bars",
                                 "3",
                                 "--stop-at",
                                 "50000",
                                 "--loop",
                                 "2000:90000",
                                 "--param",
                                 "Swing=0.50",
                                 "--param=Tonic=@0.5",
                                 "--preset",
                                 "a.preset",
                                 "--load-state",
                                 "in.bin",
                                 "--save-state",
                                 "out.bin",
                                 "--host-product",
                                 "REAPER",
                                 "--events",
                                 "-",
                                 "--midi",
                                 "m.mid",
                                 "--synth",
                                 "s.so",
                                 "--wav",
                                 "w.wav"});
    ASSERT_EQ(r.mError, "");
    const RenderOptions& o = r.mOptions;
    EXPECT_EQ(o.mPlugin, "p.so");
    EXPECT_EQ(o.mSampleRate, 48000);
    EXPECT_TRUE(o.mRandomBlocks);
    EXPECT_EQ(o.mSeed, 99u);
    EXPECT_EQ(o.mTempo, 97.5);
    EXPECT_EQ(o.mNumerator, 7);
    EXPECT_EQ(o.mDenominator, 8);
    EXPECT_EQ(o.mStart, 1000);
    EXPECT_EQ(o.mStopAt, 50000);
    EXPECT_EQ(o.mLoopStart, 2000);
    EXPECT_EQ(o.mLoopEnd, 90000);
    ASSERT_EQ(o.mParams.size(), 2u);
    EXPECT_EQ(o.mParams[0].mName, "Swing");
    EXPECT_EQ(o.mParams[0].mValue, "0.50");
    EXPECT_EQ(o.mParams[1].mName, "Tonic");
    EXPECT_EQ(o.mParams[1].mValue, "@0.5");
    EXPECT_EQ(o.mPreset, "a.preset");
    EXPECT_EQ(o.mLoadState, "in.bin");
    EXPECT_EQ(o.mSaveState, "out.bin");
    EXPECT_EQ(o.mHostProduct, "REAPER");
    EXPECT_EQ(o.mEvents, "-");
    EXPECT_EQ(o.mMidi, "m.mid");
    EXPECT_EQ(o.mSynth, "s.so");
    EXPECT_EQ(o.mWav, "w.wav");
    // 3 bars of 7/8 at 97.5 BPM: 10.5 quarter notes of 60/97.5 s at 48000 Hz.
    EXPECT_EQ(RenderLength(o), 310154);
    EXPECT_EQ(MakePlan(o).MaxBlock(), TransportPlan::kRandomMaxBlock);
}

TEST(RenderOptions, LengthsInSecondsAndBars)
{
    EXPECT_EQ(RenderLength(Parse({"--seconds", "2.5"}).mOptions), 110250);
    EXPECT_EQ(RenderLength(Parse({"--bars", "16"}).mOptions), 16 * 88200);
    EXPECT_EQ(RenderLength(Parse({"--bars", "1", "--time-sig", "3/4", "--tempo", "90"}).mOptions),
              88200);
    EXPECT_EQ(RenderLength(Parse({"--seconds", "1", "--sample-rate", "96000"}).mOptions), 96000);
}

TEST(RenderOptions, BadValuesAreOneLineErrorsNamingTheOption)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--tempo", "fast"},
        {"--tempo", "0"},
        {"--tempo", "1e2"},
        {"--block", "0"},
        {"--block", "random:"},
        {"--block", "random:-1"},
        {"--block", "65537"},
        {"--time-sig", "4"},
        {"--time-sig", "4/3"},
        {"--time-sig", "0/4"},
        {"--time-sig", "4/128"},
        {"--loop", "10"},
        {"--loop", "10:10"},
        {"--loop", "-1:10"},
        {"--start", "-5"},
        {"--stop-at", "x"},
        {"--sample-rate", "44.1"},
        {"--seconds", "-1"},
        {"--bars", "0"},
        {"--param", "Swing"},
        {"--param", "=1"},
        {"--events", ""},
        {"--host-product", std::string(64, 'x')},
    };
    for (const std::vector<std::string>& args : bad)
    {
        const std::string error = ErrorOf(args);
        EXPECT_NE(error.find(args[0]), std::string::npos) << args[0] << " " << args[1];
    }
    EXPECT_EQ(ErrorOf({"--bars"}), "--bars: expected a value");
    EXPECT_EQ(ErrorOf({"--frobnicate"}), "unknown option \"--frobnicate\" (see --help)");
    EXPECT_EQ(ErrorOf({"bars"}), "unknown option \"bars\" (see --help)");
    EXPECT_EQ(ErrorOf({"--summary=yes"}), "--summary takes no value");
}

TEST(RenderOptions, OptionsThatContradictEachOther)
{
    EXPECT_NE(ErrorOf({"--bars", "2", "--seconds", "2"}), "");
    EXPECT_NE(ErrorOf({"--synth", "s.so"}), "");
    EXPECT_NE(ErrorOf({"--wav", "w.wav"}), "");
    EXPECT_NE(ErrorOf({"--events", "-", "--summary"}), "");
    EXPECT_NE(ErrorOf({"--events", "-", "--midi", "-"}), "");
    // Plug-ins count samples in 32 bits: the render must end before that runs out.
    EXPECT_NE(ErrorOf({"--start", "2147000000", "--seconds", "60"}), "");
    EXPECT_EQ(ErrorOf({"--start", "2147000000", "--seconds", "10"}), "");
    EXPECT_NE(ErrorOf({"--seconds", "0.00001"}), "");
    // --help wins over everything else on the line.
    const ParseResult help = Parse({"--bars", "2", "--seconds", "2", "--help"});
    EXPECT_EQ(help.mError, "");
    EXPECT_TRUE(help.mOptions.mHelp);
}

TEST(RenderOptions, HelpStatesTheOrderOfCalls)
{
    const std::string help = HelpText();
    EXPECT_NE(help.find("VSTPluginMain, open, sample rate, block size, resume"), std::string::npos);
    for (const char* option :
         {"--plugin", "--sample-rate", "--block",      "--tempo",      "--time-sig",
          "--start",  "--seconds",     "--bars",       "--stop-at",    "--loop",
          "--param",  "--preset",      "--load-state", "--save-state", "--host-product",
          "--events", "--midi",        "--synth",      "--wav",        "--summary"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}
