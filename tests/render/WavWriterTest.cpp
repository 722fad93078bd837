// The WAV file's header and samples, read back byte by byte.

#include "WavWriter.h"
#include "FileIo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

using namespace orxrender;

namespace
{
uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at)
{
    return b[at] | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

int16_t Le16(const std::vector<uint8_t>& b, std::size_t at)
{
    return static_cast<int16_t>(b[at] | b[at + 1] << 8);
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}
} // namespace

TEST(WavWriter, HeaderAndInterleavedSamples)
{
    const std::string path = TempPath("orx-render-test.wav");
    std::string error;
    WavWriter wav;
    ASSERT_TRUE(wav.Open(path, 2, 48000, error)) << error;
    const float left[] = {0.0f, 0.5f, -0.5f, 1.0f, 2.0f, -3.0f};
    const float right[] = {-1.0f, 0.25f, std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f, 0.0f};
    const float* buffers[] = {left, right};
    ASSERT_TRUE(wav.Append(buffers, 3, error)) << error;
    const float* rest[] = {left + 3, right + 3};
    ASSERT_TRUE(wav.Append(rest, 3, error)) << error;
    EXPECT_EQ(wav.FramesWritten(), 6);
    ASSERT_TRUE(wav.Close(error)) << error;

    std::vector<uint8_t> b;
    ASSERT_TRUE(ReadWholeFile(path, b, 1 << 20, error)) << error;
    std::filesystem::remove(path);
    // The sizes are filled in at the end; Python's wave module reads the rest in the
    // end-to-end check.
    ASSERT_EQ(b.size(), 44u + 6 * 2 * 2);
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(Le16(b, 22), 2);
    EXPECT_EQ(Le32(b, 24), 48000u);
    EXPECT_EQ(Le32(b, 40), 24u);
    // Interleaved left, right; clipped to full scale; not a number is silence.
    const int16_t expected[] = {0, -32767, 16384, 8192, -16384, 0, 32767, 0, 32767, 0, -32767, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Le16(b, 44 + 2 * static_cast<std::size_t>(i)), expected[i]) << i;
}

TEST(WavWriter, NormalisingScalesTheWholeFileToItsLoudestSample)
{
    // A quiet signal spread over several blocks, its loudest sample in the last one; and
    // silence, which has no level to scale to.
    const std::string path = TempPath("orx-render-normalised.wav");
    std::string error;
    WavWriter wav;
    wav.NormaliseTo(-6.0);
    ASSERT_TRUE(wav.Open(path, 2, 44100, error)) << error;
    const float a[] = {0.01f, -0.02f, 0.0f, 0.05f};
    const float b[] = {-0.05f, 0.025f, 0.0f, std::numeric_limits<float>::quiet_NaN()};
    const float louder[] = {0.0f, -0.1f};
    const float* first[] = {a, b};
    const float* second[] = {louder, louder};
    ASSERT_TRUE(wav.Append(first, 4, error)) << error;
    ASSERT_TRUE(wav.Append(second, 2, error)) << error;
    ASSERT_TRUE(wav.Close(error)) << error;

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes, 1 << 20, error)) << error;
    ASSERT_EQ(bytes.size(), 44u + 6 * 2 * 2);
    EXPECT_EQ(Le32(bytes, 40), 24u);
    // -6 dBFS is 0.5012 of full scale, reached by -0.1: everything is scaled by 5.012.
    const double gain = std::pow(10.0, -6.0 / 20.0) / 0.1;
    const float left[] = {0.01f, -0.02f, 0.0f, 0.05f, 0.0f, -0.1f};
    const float right[] = {-0.05f, 0.025f, 0.0f, 0.0f, 0.0f, -0.1f};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_NEAR(Le16(bytes, 44 + 4 * static_cast<std::size_t>(i)), left[i] * gain * 32767, 1)
            << i;
        EXPECT_NEAR(Le16(bytes, 46 + 4 * static_cast<std::size_t>(i)), right[i] * gain * 32767, 1)
            << i;
    }

    WavWriter silent;
    silent.NormaliseTo(-1.0);
    ASSERT_TRUE(silent.Open(path, 1, 44100, error)) << error;
    const float zeros[] = {0.0f, 0.0f, 0.0f};
    const float* mono[] = {zeros};
    ASSERT_TRUE(silent.Append(mono, 3, error)) << error;
    ASSERT_TRUE(silent.Close(error)) << error;
    ASSERT_TRUE(ReadWholeFile(path, bytes, 1 << 20, error)) << error;
    std::filesystem::remove(path);
    ASSERT_EQ(bytes.size(), 44u + 3 * 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Le16(bytes, 44 + 2 * static_cast<std::size_t>(i)), 0) << i;
}

TEST(WavWriter, FailuresAreReported)
{
    std::string error;
    WavWriter wav;
    EXPECT_FALSE(wav.Open(TempPath("no-such-dir/x.wav"), 2, 44100, error));
    EXPECT_NE(error.find("x.wav"), std::string::npos);
    WavWriter none;
    EXPECT_FALSE(none.Open(TempPath("orx-zero.wav"), 0, 44100, error));
    const float* buffers[] = {nullptr};
    WavWriter closed;
    EXPECT_FALSE(closed.Append(buffers, 1, error));
    EXPECT_FALSE(closed.Close(error));
}
