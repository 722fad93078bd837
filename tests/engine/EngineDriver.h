#pragma once
// Drives a PatternEngine over a stretch of host time, block by block, the way a host would,
// and collects the produced messages as an absolute-time event stream; with the small helpers
// the engine tests share (an editor stand-in that records what it is told, pattern fillers).

#include "AudioThreadRole.h"
#include "BeatClock.h"
#include "EventStream.h"
#include "PatternEngine.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

inline int DivisionIndex(const std::string& text)
{
    for (int i = 0; i < kNumBeatDivisions; ++i)
        if (text == beatDivisionParamsTable[i].mText)
            return i;
    return -1;
}

// Plays `total` samples from `start`, the block sizes coming from nextSize. When blockStarts
// is given it receives the start of every block.
inline std::vector<StreamEvent> PlayRun(PatternEngine& engine, TransportState t, long long start,
                                        long long total, const std::function<int()>& nextSize,
                                        std::vector<long long>* blockStarts = nullptr)
{
    std::vector<StreamEvent> events;
    long long pos = start;
    while (pos < start + total)
    {
        long long n = nextSize();
        if (pos + n > start + total)
            n = start + total - pos;
        t.mSamplePos = static_cast<int>(pos);
        PlayEngineBlock(engine, t, static_cast<int>(n));
        if (blockStarts)
            blockStarts->push_back(pos);
        AppendBlock(events, pos, engine.mMidiOut);
        pos += n;
    }
    return events;
}

inline std::function<int()> FixedBlocks(int n)
{
    return [n] { return n; };
}

// Remembers what the engine tells the editor.
class RecordingView : public PatternView
{
public:
    void SetPlayMarker(int chordStep, int variation, int pulse) noexcept override
    {
        ++mMarkerCalls;
        if (pulse >= 0)
        {
            mShownChord = chordStep;
            mShownVariation = variation;
            mShownPulse = pulse;
        }
        else
            ++mHides;
    }
    void RedrawVariation(int, int) noexcept override { ++mVariationRedraws; }
    void RedrawGroove() noexcept override { ++mGrooveRedraws; }
    void SetStepHighlight(ModifierPane pane, int step, bool on) noexcept override
    {
        if (pane == ModifierPane::kStrike)
            mStrikeHighlight[step] = on;
        else
            mMelodyHighlight[step] = on;
    }

    int mMarkerCalls = 0;
    int mHides = 0;
    int mShownChord = -1;
    int mShownVariation = -1;
    int mShownPulse = -1;
    int mVariationRedraws = 0;
    int mGrooveRedraws = 0;
    std::map<int, bool> mStrikeHighlight;
    std::map<int, bool> mMelodyHighlight;
};

// Every pulse of every melody strikes the given degrees.
inline void StrikeEveryPulse(PatternEngine& e, int mask)
{
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
            {
                PitchSet& set = *e.mProgression.GetPitchSet(s, v, q);
                set.mPlayingMask = set.mBaseMask = mask;
            }
}

inline std::vector<StreamEvent> NoteOns(const std::vector<StreamEvent>& events)
{
    std::vector<StreamEvent> out;
    for (const StreamEvent& e : events)
        if ((e.mStatus & 0xf0) == 0x90)
            out.push_back(e);
    return out;
}

inline std::vector<long long> Times(const std::vector<StreamEvent>& events)
{
    std::vector<long long> out;
    for (const StreamEvent& e : events)
        out.push_back(e.mTime);
    return out;
}

inline TransportState Playing(double tempo = 120.0)
{
    TransportState t;
    t.mTempo = tempo;
    return t;
}
