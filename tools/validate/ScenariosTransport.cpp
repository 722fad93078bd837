// Random transport scripts: stops and starts, loops ending mid-block and on block boundaries
// (cut by the host or left to the plug-in), jumps both ways, the position running backwards.
// The same script twice gives the same events, and playing changes no parameter (the state may
// change: a pattern may evolve as it plays).

#include "Scenario.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace orxvalidate
{
namespace
{

constexpr double kRate = 44100.0;

double Quarters(double samples, double tempo)
{
    return samples / kRate * tempo / 60.0;
}

// Plays one script, chosen by the seed, on a fresh instance.
void PlayScript(Subject& s, uint64_t seed, int segments)
{
    Random rng(seed);
    orxhost::Transport& t = s.Transport();
    const int32_t plainFlags = orxhost::Transport::kDefaultValid;
    for (int seg = 0; seg < segments; ++seg)
    {
        t.mCycling = false;
        t.mValidFlags = plainFlags;
        t.mAdvance = true;
        t.mPlaying = true;
        t.mTempo = 60.0 + rng.Below(180);
        const int block = 1 + rng.Below(1024);
        const int blocks = 1 + rng.Below(40);
        switch (rng.Below(7))
        {
        case 0: // plain play
            for (int b = 0; b < blocks; ++b)
                s.Play(block);
            break;
        case 1: // stopped for a while, the position held
            t.mPlaying = false;
            for (int b = 0; b < blocks; ++b)
                s.Play(block);
            break;
        case 2: // a jump forwards or backwards, anywhere
            t.mSamplePos = std::max(0.0, t.mSamplePos + (rng.Below(2) ? 1 : -1) *
                                                            static_cast<double>(rng.Below(500000)));
            for (int b = 0; b < blocks; ++b)
                s.Play(block);
            break;
        case 3: // a loop the host cuts at its end, which may or may not be a block boundary
        case 4: // a loop the host reports and leaves to the plug-in: the jump falls mid-block
        {
            const bool cut = rng.Below(2) == 0;
            const double start = std::floor(t.mSamplePos);
            const double length = rng.Below(3) == 0 ? double(block) * (1 + rng.Below(8))
                                                    : double(1 + rng.Below(100000));
            t.mCycling = true;
            t.mValidFlags = plainFlags | vst2::kTimeCycleValid;
            t.mCycleStart = Quarters(start, t.mTempo);
            t.mCycleEnd = Quarters(start + length, t.mTempo);
            t.mAdvance = false;
            for (int b = 0; b < blocks * 3; ++b)
            {
                const double left = start + length - t.mSamplePos;
                const int frames = cut ? static_cast<int>(std::min<double>(block, left)) : block;
                s.Play(frames);
                t.mSamplePos += frames;
                if (t.mSamplePos >= start + length)
                    t.mSamplePos = start + std::fmod(t.mSamplePos - start - length, length);
            }
            break;
        }
        case 5: // the position runs backwards
            t.mAdvance = false;
            for (int b = 0; b < blocks; ++b)
            {
                s.Play(block);
                t.mSamplePos = std::max(0.0, t.mSamplePos - block);
            }
            break;
        case 6: // stop and start in alternate blocks, sometimes the position moved meanwhile
            for (int b = 0; b < blocks; ++b)
            {
                t.mPlaying = b % 2 == 0;
                if (!t.mPlaying && rng.Below(3) == 0)
                    t.mSamplePos += rng.Below(44100);
                s.Play(block);
            }
            break;
        }
    }
    t.mCycling = false;
    t.mValidFlags = plainFlags;
    t.mAdvance = true;
    s.StopAndDrain();
}

void TransportScripts(Context& cx)
{
    const int scripts = cx.Rounds(60, 2000);
    const int segments = cx.Rounds(30, 60);
    for (int k = 0; k < scripts && cx.TimeLeft(); ++k)
    {
        const uint64_t seed = cx.Rng().Next();
        auto a = cx.Make();
        if (!a)
            return;
        const std::vector<float> params = a->Params();
        PlayScript(*a, seed, segments);
        const std::string step = "transport script " + std::to_string(k);
        cx.Judge(*a, step);
        cx.ExpectSameParams(params, a->Params(), step);
        // The same script on a fresh instance: the same events (one in four scripts, the
        // rest of the time is better spent on new scripts).
        if (k % 4 == 0)
        {
            auto b = cx.Make();
            PlayScript(*b, seed, segments);
            if (a->EventLog() != b->EventLog())
                cx.Fail(step + ": played twice, it sent different events" +
                        FirstDifference(b->EventLog(), a->EventLog()));
        }
        if (!cx.Findings().empty() && !cx.Long())
            return; // the first script at fault is enough to act on
    }
}

} // namespace

void AddTransportScenarios(std::vector<Scenario>& out)
{
    out.push_back({"transport-scripts",
                   "random scripts of stops, starts, jumps, loops (cut by the host or not, "
                   "ending mid-block or on a boundary) and backwards play; replayed for "
                   "determinism",
                   false, TransportScripts});
}

} // namespace orxvalidate
