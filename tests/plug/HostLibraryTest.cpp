// The host library itself: clear errors for libraries it cannot host, a third-party
// synthesiser (Debian's ZynAddSubFX) loaded, opened and played, and the buffer checks that
// catch a plug-in writing where it must not.

#include "VstHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using orxhost::ProcessEntry;
using orxhost::VstHost;

// ZynAddSubFX leaks a little in its own entry point; that is not ours to report.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:ZynAddSubFX.so\n";
}

namespace
{
bool OneLine(const std::string& text)
{
    return !text.empty() && text.find('\n') == std::string::npos;
}
} // namespace

TEST(VstHostLibrary, MissingFileIsAOneLineError)
{
    VstHost host;
    EXPECT_FALSE(host.Load("/nonexistent/NoSuchPlugin.so"));
    EXPECT_TRUE(OneLine(host.Error())) << host.Error();
    EXPECT_NE(host.Error().find("/nonexistent/NoSuchPlugin.so"), std::string::npos);
    EXPECT_FALSE(host.IsLoaded());
    // Everything is a harmless no-op without a plug-in.
    host.Start();
    host.Process(64);
    EXPECT_EQ(host.Dispatch(vst2::effGetVstVersion), 0);
    EXPECT_EQ(host.GetParameter(0), 0.0f);
    EXPECT_TRUE(host.GetChunk(true).empty());
}

TEST(VstHostLibrary, FileThatIsNoLibraryIsAOneLineError)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "orx-not-a-library.so";
    std::ofstream(path) << "not a shared library\n";
    VstHost host;
    EXPECT_FALSE(host.Load(path.string()));
    EXPECT_TRUE(OneLine(host.Error())) << host.Error();
    std::filesystem::remove(path);
}

TEST(VstHostLibrary, LibraryWithoutEntryIsNotAPlugIn)
{
    VstHost host;
    ASSERT_FALSE(host.Load("libm.so.6"));
    EXPECT_TRUE(OneLine(host.Error())) << host.Error();
    EXPECT_NE(host.Error().find("exports neither VSTPluginMain nor main"), std::string::npos)
        << host.Error();
}

TEST(VstHostLibrary, HostsZynAddSubFXAndHearsANote)
{
    const char* path = "/usr/lib/vst/ZynAddSubFX.so";
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << path << " is not installed (package zynaddsubfx-vst)";
    VstHost host;
    ASSERT_TRUE(host.Load(path)) << host.Error();
    vst2::Effect* e = host.Effect();
    EXPECT_EQ(e->numInputs, 0);
    EXPECT_EQ(e->numOutputs, 2);
    host.Start(44100.0f, 256);
    host.SendMidi(0x90, 60, 110); // Zyn answers 0 here: the note still plays
    double energy = 0.0;
    for (int block = 0; block < 100 && energy == 0.0; ++block)
    {
        host.Process(256);
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < 256; ++s)
                energy += std::fabs(host.Output(c)[s]);
    }
    EXPECT_GT(energy, 0.0);
    EXPECT_FALSE(host.BufferOverrun());
    host.SendMidi(0x80, 60, 0);
    host.Suspend();
    host.Close();
}

TEST(VstHostBuffers, ChecksCatchWritesPastTheBlockAndIntoTheInputs)
{
    // Parameter values of the faulty plug-in: behave, past the block, into the input.
    const float modes[] = {0.0f, 0.5f, 1.0f};
    for (ProcessEntry entry : {ProcessEntry::kReplacing, ProcessEntry::kDoubleReplacing})
        for (int m = 0; m < 3; ++m)
            for (bool checks : {true, false})
            {
                VstHost host;
                ASSERT_TRUE(host.Load(ORX_FAULTY_PLUGIN)) << host.Error();
                host.Start(44100.0f, 64);
                host.SetBufferChecks(checks);
                host.SetParameter(0, modes[m]);
                host.Process(40, entry);
                host.Process(64, entry);
                // Without the checks nothing is looked for: that is what they cost.
                EXPECT_EQ(host.BufferOverrun(), checks && m != 0)
                    << "mode " << m << ", checks " << checks << ", entry "
                    << static_cast<int>(entry);
            }
}

TEST(VstHostBuffers, WithoutChecksTheInputsStillHoldWhatTheHostSet)
{
    VstHost host;
    ASSERT_TRUE(host.Load(ORX_TEST_PLUGIN)) << host.Error(); // copies its inputs to its outputs
    host.Start(44100.0f, 256);
    auto expectOutputs = [&](float left, float right, int frames, ProcessEntry entry)
    {
        host.Process(frames, entry);
        for (int s = 0; s < frames; ++s)
        {
            const bool doubles = entry == ProcessEntry::kDoubleReplacing;
            ASSERT_EQ(doubles ? host.OutputDouble(0)[s] : host.Output(0)[s], left) << s;
            ASSERT_EQ(doubles ? host.OutputDouble(1)[s] : host.Output(1)[s], right) << s;
        }
    };
    host.SetBufferChecks(false);
    host.SetInput(0, 0.5f);
    host.SetInput(1, -0.25f);
    expectOutputs(0.5f, -0.25f, 32, ProcessEntry::kReplacing);
    expectOutputs(0.5f, -0.25f, 200, ProcessEntry::kReplacing); // the buffers grew
    host.SetInput(0, 1.0f);
    expectOutputs(1.0f, -0.25f, 200, ProcessEntry::kReplacing);
    expectOutputs(1.0f, -0.25f, 200, ProcessEntry::kDoubleReplacing);
    // A checked call leaves its guard markers after its frames; a longer unchecked call after
    // it must not hand them over as input.
    host.SetBufferChecks(true);
    expectOutputs(1.0f, -0.25f, 16, ProcessEntry::kReplacing);
    host.SetBufferChecks(false);
    expectOutputs(1.0f, -0.25f, 200, ProcessEntry::kReplacing);
    EXPECT_FALSE(host.BufferOverrun());
}
