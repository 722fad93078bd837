#pragma once
// The renderer's command line: what it hosts, the transport it plays, what it sets in the
// plug-in and what it writes. Parsing checks every value and answers one line on the first
// bad one.

#include "BlockPlan.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

// One "--param NAME=VALUE"; VALUE is a display text or "@" and a normalised value.
struct ParamSetting
{
    std::string mName;
    std::string mValue;
};

struct RenderOptions
{
    std::string mPlugin; // empty: the plug-in built beside the tool
    int mSampleRate = 44100;
    int mBlock = 512;
    bool mRandomBlocks = false;
    uint64_t mSeed = 0;
    double mTempo = 120.0;
    int mNumerator = 4;
    int mDenominator = 4;
    int64_t mStart = 0;
    double mSeconds = -1.0; // at most one of mSeconds and mBars is set
    double mBars = -1.0;
    int64_t mStopAt = -1;
    int64_t mLoopStart = -1;
    int64_t mLoopEnd = -1;
    std::vector<ParamSetting> mParams;
    std::string mPreset;
    std::string mLoadState;
    std::string mMidiIn; // MIDI fed to the plug-in (MidiInput.h)
    std::string mSaveState;
    std::string mHostProduct;
    std::string mEvents; // "-" is standard output
    std::string mMidi;
    std::string mSynth;
    std::string mWav;
    double mWavPeak = 1.0; // dBFS, at most 0, when the WAV file is normalised
    bool mSummary = false;
    bool mHelp = false;
};

struct ParseResult
{
    RenderOptions mOptions;
    std::string mError; // empty when the command line is good
};

inline constexpr double kDefaultBars = 4.0;
inline constexpr int64_t kMaxPosition = 0x7FFFFFFF; // plug-ins count samples in 32 bits

// args: the arguments after the program name.
ParseResult ParseOptions(const std::vector<std::string>& args);

// Frames the transport plays: --seconds, --bars or the default bars, at least one.
int64_t RenderLength(const RenderOptions& options);
// Quarter notes in one bar of the time signature.
double QuartersPerBar(const RenderOptions& options);
TransportPlan MakePlan(const RenderOptions& options);

std::string HelpText();

} // namespace orxrender
