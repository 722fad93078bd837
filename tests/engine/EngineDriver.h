#pragma once
// Drives a PatternEngine over a stretch of host time, block by block, the way a host would,
// and collects the produced messages as an absolute-time event stream.

#include "BeatClock.h"
#include "EventStream.h"
#include "PatternEngine.h"

#include <functional>
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
        engine.ProcessBlock(t, static_cast<int>(n));
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
