#pragma once
// A short text summary of a render for the terminal: how many notes over which range, then a
// compact piano roll of the first bars, one row per key that sounds and one column per
// sixteenth note ("#" where a note begins, "=" while it holds).

#include "RenderEvent.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

struct RollSettings
{
    int64_t mStart = 0;  // timeline sample of the first frame
    int64_t mFrames = 0; // frames rendered
    int mSampleRate = 44100;
    double mTempo = 120.0;
    int mNumerator = 4;
    int mDenominator = 4;
    int mBars = 2; // bars the roll shows, fewer when the render is shorter
};

// The plug-in's own note names: pitch class and note ÷ 12, so 60 is "C5".
std::string NoteName(int note);

std::string RenderSummary(const std::vector<RenderEvent>& events, const RollSettings& settings);

} // namespace orxrender
