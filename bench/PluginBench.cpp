// One process call of the plug-in instance through its effect record, as a host makes it:
// transport queries, the process block and one host callback per outgoing MIDI message.

#include "Orlantix.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

vst2::TimeInfo gTime{};
long long gEvents = 0;

intptr_t ORX_VSTCALL Host(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == vst2::audioMasterGetTime)
        return reinterpret_cast<intptr_t>(&gTime);
    if (opcode == vst2::audioMasterProcessEvents)
        ++gEvents;
    return 0;
}

constexpr int kFrames = 64;

struct Session
{
    explicit Session(double tempo)
    {
        gTime = vst2::TimeInfo{};
        gTime.sampleRate = 44100.0;
        gTime.tempo = tempo;
        gTime.timeSigNumerator = 4;
        gTime.timeSigDenominator = 4;
        gTime.flags = vst2::kTimePlaying | vst2::kTimeTempoValid | vst2::kTimeSigValid;
        mPlug = std::make_unique<Orlantix>(&Host);
        mEffect = mPlug->GetEffect();
        Dispatch(vst2::effOpen, 0);
        mEffect->dispatcher(mEffect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(vst2::effSetBlockSize, kFrames);
        Dispatch(vst2::effMainsChanged, 1);
    }

    void Dispatch(int32_t opcode, intptr_t value)
    {
        mEffect->dispatcher(mEffect, opcode, 0, value, nullptr, 0.0f);
    }

    void Process(double position)
    {
        gTime.samplePos = position;
        mEffect->processReplacing(mEffect, mIn, mOut, kFrames);
    }

    std::unique_ptr<Orlantix> mPlug;
    vst2::Effect* mEffect = nullptr;
    float mBuffers[4][kFrames] = {};
    float* mIn[2] = {mBuffers[0], mBuffers[1]};
    float* mOut[2] = {mBuffers[2], mBuffers[3]};
};

// 120 BPM, "1/1" pulses (88200 samples): blocks between two pulses, after the first pulse's
// note has ended. The position runs on and wraps before the next pulse; the wrap is a seek once
// every 1200 blocks.
void BM_ProcessNoPulse(benchmark::State& state)
{
    Session s(120.0);
    s.mEffect->setParameter(s.mEffect, kTimeUnits, 0.0f);
    constexpr double kFirst = 180 * kFrames; // after the first note's end at 11025
    for (double pos = 0.0; pos < kFirst; pos += kFrames)
        s.Process(pos);
    const long long events = gEvents;
    double pos = kFirst;
    for (auto _ : state)
    {
        s.Process(pos);
        pos += kFrames;
        if (pos > 88200.0 - kFrames)
            pos = kFirst;
    }
    state.counters["events"] = static_cast<double>(gEvents - events);
}
BENCHMARK(BM_ProcessNoPulse);

// "1/32" pulses of exactly 64 samples (5167.97 BPM), every pitch set striking all five
// degrees, notes one pulse long: each block plays one pulse of five notes and ends the five of
// the pulse before, ten host callbacks in all.
void BM_ProcessPulseOfFiveNotes(benchmark::State& state)
{
    Session s(44100.0 * 60.0 / 512.0);
    s.mEffect->setParameter(s.mEffect, kTimeUnits, 5.0f / 16);
    s.mEffect->setParameter(s.mEffect, kLengthUnits, 5.0f / 16);
    for (int step = 0; step < MAX_STEPS; ++step)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int p = 0; p < kPitchSetsPerMelody; ++p)
                s.mPlug->Engine().mProgression.GetPitchSet(step, v, p)->mPlayingMask = 31;
    double pos = 0.0;
    s.Process(pos);
    const long long events = gEvents;
    for (auto _ : state)
    {
        pos += kFrames;
        if (pos > 1.0e9)
            pos = 0.0;
        s.Process(pos);
    }
    state.counters["events_per_call"] = benchmark::Counter(static_cast<double>(gEvents - events),
                                                           benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ProcessPulseOfFiveNotes);

} // namespace
