// The command line: defaults, the values that need parsing, and one-line errors for bad ones.

#include "RenderOptions.h"

#include <gtest/gtest.h>

using namespace orxrender;

namespace
{
// The error for a command line, which must be one line.
std::string ErrorOf(std::vector<std::string> args)
{
    const ParseResult r = ParseOptions(args);
    EXPECT_EQ(r.mError.find('\n'), std::string::npos);
    return r.mError;
}
} // namespace

TEST(RenderOptions, DefaultsAndParsedValues)
{
    const ParseResult plain = ParseOptions({});
    ASSERT_EQ(plain.mError, "");
    EXPECT_EQ(RenderLength(plain.mOptions), 4 * 88200); // four bars at 120 BPM, 44100 Hz
    EXPECT_EQ(MakePlan(plain.mOptions).MaxBlock(), 512);
    EXPECT_EQ(plain.mOptions.mHostProduct, "");

    const ParseResult r =
        ParseOptions({"--sample-rate=48000", "--block", "random:99", "--tempo", "97.5",
                      "--time-sig", "7/8", "--bars", "3", "--loop", "2000:90000", "--param",
                      "Swing=0.50", "--param=Tonic=@0.5", "--param", "M L=x=y"});
    ASSERT_EQ(r.mError, "");
    const RenderOptions& o = r.mOptions;
    EXPECT_TRUE(o.mRandomBlocks);
    EXPECT_EQ(o.mSeed, 99u);
    EXPECT_EQ(o.mNumerator * 100 + o.mDenominator, 708);
    EXPECT_EQ(o.mLoopStart, 2000);
    EXPECT_EQ(o.mLoopEnd, 90000);
    ASSERT_EQ(o.mParams.size(), 3u);
    EXPECT_EQ(o.mParams[1].mName + "|" + o.mParams[1].mValue, "Tonic|@0.5");
    EXPECT_EQ(o.mParams[2].mName + "|" + o.mParams[2].mValue, "M L|x=y");
    // 3 bars of 7/8 at 97.5 BPM: 10.5 quarter notes of 60/97.5 s at 48000 Hz.
    EXPECT_EQ(RenderLength(o), 310154);
    EXPECT_EQ(MakePlan(o).MaxBlock(), TransportPlan::kRandomMaxBlock);
    EXPECT_EQ(RenderLength(ParseOptions({"--seconds", "2.5"}).mOptions), 110250);
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
        {"--wav-peak", "0.5"},
        {"--wav-peak", "-97"},
        {"--wav-peak", "loud"},
    };
    for (const std::vector<std::string>& args : bad)
        EXPECT_NE(ErrorOf(args).find(args[0]), std::string::npos) << args[0] << " " << args[1];
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
    EXPECT_NE(ErrorOf({"--wav-peak", "-1"}), "");
    const ParseResult peak =
        ParseOptions({"--synth", "s.so", "--wav", "w.wav", "--wav-peak", "-1.5"});
    EXPECT_EQ(peak.mError, "");
    EXPECT_EQ(peak.mOptions.mWavPeak, -1.5);
    EXPECT_NE(ErrorOf({"--events", "-", "--summary"}), "");
    EXPECT_NE(ErrorOf({"--events", "-", "--midi", "-"}), "");
    // Plug-ins count samples in 32 bits: the render must end before that runs out.
    EXPECT_NE(ErrorOf({"--start", "2147000000", "--seconds", "60"}), "");
    EXPECT_EQ(ErrorOf({"--start", "2147000000", "--seconds", "10"}), "");
    EXPECT_NE(ErrorOf({"--seconds", "0.00001"}), "");
    // --help wins over everything else on the line.
    const ParseResult help = ParseOptions({"--bars", "2", "--seconds", "2", "--help"});
    EXPECT_EQ(help.mError, "");
    EXPECT_TRUE(help.mOptions.mHelp);
}
