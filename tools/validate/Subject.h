#pragma once
// What every scenario works with: an instance of the plug-in under test in our host, with the
// stream checker on everything it sends, and a seeded random source that gives the same
// scenario on every platform.

#include "MidiStreamChecker.h"
#include "VstHost.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orxvalidate
{

// SplitMix64: the same sequence everywhere.
class Random
{
public:
    explicit Random(uint64_t seed) noexcept : mState(seed) {}
    uint64_t Next() noexcept;
    // 0 .. n - 1 (0 when n <= 0).
    int Below(int n) noexcept;
    double Unit() noexcept; // [0, 1)

private:
    uint64_t mState;
};

class Subject
{
public:
    explicit Subject(const std::string& path);
    Subject(const Subject&) = delete;
    Subject& operator=(const Subject&) = delete;

    bool Loaded() noexcept { return mHost.IsLoaded(); }
    const std::string& Error() const noexcept { return mHost.Error(); }
    orxhost::VstHost& Host() noexcept { return mHost; }
    vst2::Effect* Effect() noexcept { return mHost.Effect(); }
    MidiStreamChecker& Checker() noexcept { return mChecker; }
    orxhost::Transport& Transport() noexcept { return mHost.GetTransport(); }

    // Open, sample rate, block size, resume.
    void Start(float rate = 44100.0f, int block = 512);
    // One process call; what it sent goes to the checker. The block counts as stopped when the
    // host reports time info with its transport not playing.
    void Play(int frames, orxhost::ProcessEntry entry = orxhost::ProcessEntry::kReplacing);
    void PlayFor(int64_t frames, int block);
    // Stops the transport, plays two blocks and demands that no note sounds.
    void StopAndDrain(int block = 512);
    // Events outside process calls (from dispatcher calls) go to the checker too.
    void CollectOutside();

    int NumParams() noexcept;
    std::vector<float> Params();
    std::vector<uint8_t> State(); // the bank chunk; empty without chunks
    bool HasChunks() noexcept;
    // Every event sent so far as "block offset status data1 data2" lines, or with the frame
    // since the first process call in place of block and offset (comparable across block sizes).
    std::vector<std::string> EventLog();
    std::vector<std::string> TimelineLog(int64_t before = INT64_MAX);
    // Whether the plug-in says it sends MIDI (then a scenario may demand notes).
    bool SendsMidi();

private:
    void Feed(bool stopped, int frames);

    orxhost::VstHost mHost;
    MidiStreamChecker mChecker;
    std::size_t mFed = 0;
    std::vector<int64_t> mBlockStart; // frame of each process call since the first
    int64_t mFrames = 0;
};

} // namespace orxvalidate
