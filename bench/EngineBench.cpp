// The pattern engine's audio-thread work: the parts of one pulse and whole process blocks at
// settings a session would use.

#include "ChordProgressionPlayer.h"
#include "Modifiers.h"
#include "NoteStream.h"
#include "PatternEngine.h"
#include "Scale.h"
#include "StrikeModifierSequencer.h"
#include "ThreadRole.h"

#include <benchmark/benchmark.h>

namespace
{
// 48 kHz, every modifier, jitter and the groove in use, all four melodies filled.
void Realistic(PatternEngine& e, int division)
{
    e.SetSampleRate(48000.0);
    e.SetDivision(division);
    e.SetNoteLengthDivision(division);
    e.SetSwing(0.2);
    e.SetHumanise(0.1);
    e.SetVelocityJitter(0.3);
    e.SetLengthJitter(0.5);
    e.SetIntervalSet(2);
    for (int i = 0; i < kModifierSteps; ++i)
    {
        e.SetModifierValue(ModifierPane::kStrike, i, i % kNumStrikeModifiers);
        e.SetModifierValue(ModifierPane::kMelody, i, (3 * i) % kNumMelodyModifiers);
    }
    e.SetSequencerProbability(ModifierPane::kStrike, 0.7);
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
                e.mProgression.GetPitchSet(s, v, q)->mPlayingMask = 1 + (s * 3 + v + q) % 31;
    for (int i = 0; i < 48; ++i)
        e.mGroove.SetVelocity(i, 64 + i);
}

void ProcessBlocks(benchmark::State& state, PatternEngine& e, TransportState t, int frames)
{
    long long pos = 0;
    long long played = 0;
    long long messages = 0;
    const orx::ProcessCallScope audio; // this thread plays the audio thread's part
    for (auto _ : state)
    {
        t.mSamplePos = static_cast<int>(pos);
        e.ProcessBlock(t, frames);
        messages += e.mMidiOut.Size();
        benchmark::DoNotOptimize(e.mMidiOut.begin());
        pos += frames;
        played += frames;
        if (pos > 1000000000)
            pos = 0; // a jump back, as a host loop would
    }
    const double pulses =
        static_cast<double>(played) / (e.mBeatClock.SamplesPerPulse() + e.mBeatClock.Fraction());
    state.counters["pulses"] = pulses;
    state.counters["messages"] = static_cast<double>(messages);
    state.counters["ns_per_pulse"] =
        benchmark::Counter(pulses, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ProcessBlock(benchmark::State& state)
{
    PatternEngine e;
    Realistic(e, 4); // "1/16"
    TransportState t;
    t.mTempo = 120.0;
    ProcessBlocks(state, e, t, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ProcessBlock)->Arg(64)->Arg(512);

// Dense pulses (1/32 triplets at 300 BPM, 400 samples each) in 4096-frame blocks, so the time
// per pulse dominates: player, sequencer ticks, scale mapping, note stream add and render.
void BM_PulsePath(benchmark::State& state)
{
    PatternEngine e;
    Realistic(e, 16); // "1/32t"
    TransportState t;
    t.mTempo = 300.0;
    ProcessBlocks(state, e, t, 4096);
}
BENCHMARK(BM_PulsePath);

void BM_PlayerNextPulse(benchmark::State& state)
{
    ChordProgression p;
    ChordProgressionPlayer player(p);
    for (auto _ : state)
    {
        player.NextPulse();
        benchmark::DoNotOptimize(player.CurrentVariation());
    }
}
BENCHMARK(BM_PlayerNextPulse);

void BM_StrikeSequencerTick(benchmark::State& state)
{
    StrikeModifierSequencer s;
    s.SetMode(kModeRandom);
    s.SetAllProbabilities(0.5);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.Pulse() && s.ProbabilityTest());
}
BENCHMARK(BM_StrikeSequencerTick);

void BM_ScalePitchOfFiveDegrees(benchmark::State& state)
{
    Scale scale;
    scale.SetScale(4);
    scale.SetIntervalSet(3);
    int chord = 0;
    for (auto _ : state)
    {
        for (int d = 0; d < 5; ++d)
            benchmark::DoNotOptimize(scale.Pitch(2, 48, chord, d));
        chord = (chord + 1) % 7;
    }
}
BENCHMARK(BM_ScalePitchOfFiveDegrees);

// Five notes per pulse over a stream holding a steady load of pending notes.
void BM_NoteStreamAddAndRender(benchmark::State& state)
{
    NoteStream s;
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    int key = 0;
    for (auto _ : state)
    {
        for (int i = 0; i < 5; ++i)
        {
            s.AddNote(100, 0, 36 + key % 60, 100, 2400);
            key += 7;
        }
        out.Clear();
        s.Render(400, out);
        benchmark::DoNotOptimize(out.begin());
    }
    state.counters["pending"] = s.PendingEvents();
}
BENCHMARK(BM_NoteStreamAddAndRender);
} // namespace
