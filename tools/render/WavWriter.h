#pragma once
// A RIFF WAVE file of 16-bit PCM, written as the audio arrives; the sizes in its header are
// filled in when it is closed. Asked to normalise, it keeps the audio in memory instead and
// writes it on closing, scaled so that its loudest sample reaches the level asked for: scaling
// before the samples are rounded to 16 bits adds no rounding noise.

#include "ToolPlatform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

class WavWriter
{
public:
    // Creates path for channels channels at sampleRate frames per second; false with a reason.
    bool Open(const std::string& path, int channels, int sampleRate, std::string& error);
    // Before Open: the loudest sample of the file will be peakDbfs (at most 0) decibels below
    // full scale. Silence stays silence.
    void NormaliseTo(double peakDbfs) noexcept { mPeakDbfs = peakDbfs; }
    // Appends frames frames, one buffer per channel; samples are clipped to -1..1.
    bool Append(const float* const* buffers, int frames, std::string& error);
    // Writes the sizes and closes the file; false with a reason when anything failed.
    bool Close(std::string& error);
    int64_t FramesWritten() const noexcept { return mFrames; }

private:
    bool Fail(const std::string& reason, std::string& error);
    bool WriteSamples(const float* interleaved, std::size_t count, float gain, std::string& error);
    bool Normalising() const noexcept { return mPeakDbfs <= 0.0; }

    FilePtr mFile;
    std::string mPath;
    int mChannels = 0;
    int mSampleRate = 0;
    int64_t mFrames = 0;
    bool mFailed = false;
    double mPeakDbfs = 1.0;   // above 0: written as it comes
    std::vector<float> mKept; // interleaved, while normalising
    float mPeak = 0.0f;
};

} // namespace orxrender
