#include "WavWriter.h"

#include <cmath>
#include <vector>

namespace orxrender
{
namespace
{

constexpr int kHeaderBytes = 44;
constexpr int kBytesPerSample = 2;
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - kHeaderBytes; // the RIFF size is 32 bits

void Put16(uint8_t*& p, uint32_t v)
{
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t*& p, uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p, v >> 16);
}

void PutTag(uint8_t*& p, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        *p++ = static_cast<uint8_t>(tag[i]);
}

void MakeHeader(uint8_t (&header)[kHeaderBytes], int channels, int sampleRate, uint32_t dataBytes)
{
    uint8_t* p = header;
    const auto blockAlign = static_cast<uint32_t>(channels * kBytesPerSample);
    PutTag(p, "RIFF");
    Put32(p, dataBytes + kHeaderBytes - 8);
    PutTag(p, "WAVE");
    PutTag(p, "fmt ");
    Put32(p, 16);
    Put16(p, 1); // PCM
    Put16(p, static_cast<uint32_t>(channels));
    Put32(p, static_cast<uint32_t>(sampleRate));
    Put32(p, static_cast<uint32_t>(sampleRate) * blockAlign);
    Put16(p, blockAlign);
    Put16(p, kBytesPerSample * 8);
    PutTag(p, "data");
    Put32(p, dataBytes);
}

int16_t ToPcm(double sample)
{
    // Not a number counts as silence; everything else is clipped to full scale.
    const double x = std::isnan(sample) ? 0.0 : std::fmax(-1.0, std::fmin(1.0, sample));
    return static_cast<int16_t>(std::lround(x * 32767.0));
}

} // namespace

bool WavWriter::Fail(const std::string& reason, std::string& error)
{
    mFailed = true;
    error = reason;
    return false;
}

bool WavWriter::Open(const std::string& path, int channels, int sampleRate, std::string& error)
{
    if (channels < 1 || channels > 64 || sampleRate < 1)
        return Fail("cannot write a WAV file of " + std::to_string(channels) + " channels at " +
                        std::to_string(sampleRate) + " Hz",
                    error);
    mFile = OpenFile(path, "wb");
    if (!mFile)
        return Fail("cannot create " + path, error);
    mPath = path;
    mChannels = channels;
    mFrames = 0;
    mFailed = false;
    uint8_t header[kHeaderBytes];
    MakeHeader(header, channels, sampleRate, 0);
    if (std::fwrite(header, 1, sizeof(header), mFile.get()) != sizeof(header))
        return Fail("cannot write " + path, error);
    mSampleRate = sampleRate;
    return true;
}

bool WavWriter::Append(const float* const* buffers, int frames, std::string& error)
{
    if (!mFile || mFailed)
        return Fail("the WAV file " + mPath + " is not open", error);
    if (frames <= 0)
        return true;
    const uint64_t bytes =
        static_cast<uint64_t>(frames) * static_cast<uint64_t>(mChannels) * kBytesPerSample;
    const uint64_t before =
        static_cast<uint64_t>(mFrames) * static_cast<uint64_t>(mChannels) * kBytesPerSample;
    if (before + bytes > kMaxDataBytes)
        return Fail(mPath + ": a WAV file holds at most 4 GB", error);
    std::vector<float> samples(static_cast<std::size_t>(frames) * mChannels);
    std::size_t i = 0;
    for (int s = 0; s < frames; ++s)
        for (int c = 0; c < mChannels; ++c)
            samples[i++] = buffers[c][s];
    mFrames += frames;
    if (!Normalising())
        return WriteSamples(samples.data(), samples.size(), 1.0f, error);
    for (const float x : samples)
        if (std::isfinite(x))
            mPeak = std::fmax(mPeak, std::fabs(x));
    mKept.insert(mKept.end(), samples.begin(), samples.end());
    return true;
}

bool WavWriter::WriteSamples(const float* interleaved, std::size_t count, float gain,
                             std::string& error)
{
    std::vector<uint8_t> out(count * kBytesPerSample);
    uint8_t* p = out.data();
    for (std::size_t i = 0; i < count; ++i)
        Put16(p, static_cast<uint16_t>(ToPcm(static_cast<double>(interleaved[i]) * gain)));
    if (std::fwrite(out.data(), 1, out.size(), mFile.get()) != out.size())
        return Fail("cannot write " + mPath, error);
    return true;
}

bool WavWriter::Close(std::string& error)
{
    if (!mFile)
        return Fail("the WAV file " + mPath + " is not open", error);
    if (mFailed)
    {
        mFile.reset();
        return Fail("the WAV file " + mPath + " is incomplete", error);
    }
    if (Normalising())
    {
        const double target = std::pow(10.0, mPeakDbfs / 20.0);
        const float gain = mPeak > 0.0f ? static_cast<float>(target / mPeak) : 1.0f;
        const bool written = WriteSamples(mKept.data(), mKept.size(), gain, error);
        mKept.clear();
        mKept.shrink_to_fit();
        if (!written)
        {
            mFile.reset();
            return false;
        }
    }
    const auto dataBytes = static_cast<uint32_t>(
        static_cast<uint64_t>(mFrames) * static_cast<uint64_t>(mChannels) * kBytesPerSample);
    uint8_t header[kHeaderBytes];
    MakeHeader(header, mChannels, mSampleRate, dataBytes);
    const bool patched = std::fseek(mFile.get(), 0, SEEK_SET) == 0 &&
                         std::fwrite(header, 1, sizeof(header), mFile.get()) == sizeof(header);
    const bool closed = std::fclose(mFile.release()) == 0;
    if (!patched || !closed)
        return Fail("cannot finish " + mPath, error);
    return true;
}

} // namespace orxrender
