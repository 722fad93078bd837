#pragma once
// A RIFF WAVE file of 16-bit PCM, written as the audio arrives; the sizes in its header are
// filled in when it is closed.

#include "ToolPlatform.h"

#include <cstdint>
#include <string>

namespace orxrender
{

class WavWriter
{
public:
    // Creates path for channels channels at sampleRate frames per second; false with a reason.
    bool Open(const std::string& path, int channels, int sampleRate, std::string& error);
    // Appends frames frames, one buffer per channel; samples are clipped to -1..1.
    bool Append(const float* const* buffers, int frames, std::string& error);
    // Writes the sizes and closes the file; false with a reason when anything failed.
    bool Close(std::string& error);
    int64_t FramesWritten() const noexcept { return mFrames; }

private:
    bool Fail(const std::string& reason, std::string& error);

    FilePtr mFile;
    std::string mPath;
    int mChannels = 0;
    int mSampleRate = 0;
    int64_t mFrames = 0;
    bool mFailed = false;
};

} // namespace orxrender
