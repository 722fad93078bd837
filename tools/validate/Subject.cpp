#include "Subject.h"

#include <cstdio>

namespace orxvalidate
{

uint64_t Random::Next() noexcept
{
    uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::Below(int n) noexcept
{
    return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n));
}

double Random::Unit() noexcept
{
    return static_cast<double>(Next() >> 11) / 9007199254740992.0;
}

Subject::Subject(const std::string& path)
{
    mHost.Load(path);
}

void Subject::Start(float rate, int block)
{
    mHost.Start(rate, block);
}

void Subject::Play(int frames, orxhost::ProcessEntry entry)
{
    // Stopped as a host reports it: time info with the playing bit clear and a position of
    // some kind valid. A record without any is no transport report at all, and plug-ins may
    // run free on it.
    const orxhost::Transport& t = mHost.GetTransport();
    constexpr int32_t kPositionBits = vst2::kTimePpqValid | vst2::kTimeTempoValid |
                                      vst2::kTimeBarsValid | vst2::kTimeCycleValid |
                                      vst2::kTimeSigValid;
    const bool stopped = t.mProvideTimeInfo && !t.mPlaying && (t.mValidFlags & kPositionBits);
    CollectOutside();
    mBlockStart.push_back(mFrames);
    mFrames += frames > 0 ? frames : 0;
    mHost.Process(frames, entry);
    Feed(stopped, frames);
}

void Subject::PlayFor(int64_t frames, int block)
{
    for (int64_t done = 0; done < frames; done += block)
        Play(block);
}

void Subject::StopAndDrain(int block)
{
    mHost.GetTransport().mPlaying = false;
    mHost.GetTransport().mProvideTimeInfo = true;
    Play(block);
    Play(block);
    mChecker.ExpectSilence("after the transport stopped");
}

void Subject::CollectOutside()
{
    for (const orxhost::CapturedEvent& e : mHost.EventsFrom(mFed))
    {
        ++mFed;
        mChecker.Outside(e);
    }
}

void Subject::Feed(bool stopped, int frames)
{
    const int block = mHost.ProcessCalls() - 1;
    std::vector<orxhost::CapturedEvent> inBlock;
    for (const orxhost::CapturedEvent& e : mHost.EventsFrom(mFed))
    {
        ++mFed;
        if (e.mBlock == block)
            inBlock.push_back(e);
        else
            mChecker.Outside(e);
    }
    mChecker.Block(block, frames, stopped, inBlock);
}

int Subject::NumParams() noexcept
{
    return Effect() ? Effect()->numParams : 0;
}

std::vector<float> Subject::Params()
{
    std::vector<float> values;
    for (int i = 0; i < NumParams(); ++i)
        values.push_back(mHost.GetParameter(i));
    return values;
}

bool Subject::HasChunks() noexcept
{
    return Effect() && (Effect()->flags & vst2::kFlagProgramChunks) != 0;
}

std::vector<uint8_t> Subject::State()
{
    return HasChunks() ? mHost.GetChunk(true) : std::vector<uint8_t>{};
}

std::vector<std::string> Subject::EventLog()
{
    std::vector<std::string> lines;
    for (const orxhost::CapturedEvent& e : mHost.EventsFrom(0))
    {
        char line[64];
        std::snprintf(line, sizeof(line), "%d %d %02x %02x %02x", e.mBlock, e.mDeltaFrames,
                      e.mData[0], e.mData[1], e.mData[2]);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Subject::TimelineLog(int64_t before)
{
    std::vector<std::string> lines;
    for (const orxhost::CapturedEvent& e : mHost.EventsFrom(0))
    {
        const int64_t start =
            e.mBlock >= 0 && static_cast<std::size_t>(e.mBlock) < mBlockStart.size()
                ? mBlockStart[static_cast<std::size_t>(e.mBlock)]
                : -1;
        if (start + e.mDeltaFrames >= before)
            continue;
        char line[64];
        std::snprintf(line, sizeof(line), "%lld %02x %02x %02x",
                      static_cast<long long>(start + e.mDeltaFrames), e.mData[0], e.mData[1],
                      e.mData[2]);
        lines.push_back(line);
    }
    return lines;
}

bool Subject::SendsMidi()
{
    return mHost.CanDo("sendVstMidiEvent") > 0 || mHost.CanDo("sendVstEvents") > 0;
}

} // namespace orxvalidate
