#include "Chord.h"

#include "Check.h"

namespace
{
struct FactoryMasks
{
    int mPulse0;
    int mPulse2;
};

// Melody 0 of every chord step, pitch sets 0 and 2 (bit i = degree i).
constexpr FactoryMasks kFactoryPattern[MAX_STEPS] = {
    {4, 16}, {1, 2},  {16, 8}, {4, 2},  {1, 2},  {4, 8},
    {16, 8}, {4, 16}, {4, 16}, {4, 16}, {4, 16}, {4, 16},
};

// Distinct non-zero seed per pitch set, whose complement is non-zero too.
uint32_t PitchSetSeed(int step, int variation, int pulse) noexcept
{
    const uint32_t index = static_cast<uint32_t>(
        (step * MAX_VARIATIONS_PER_CHORD + variation) * kPitchSetsPerMelody + pulse);
    return 0x2545F491u + index * 0x9E3779B9u;
}

bool ValidStep(int stepIdx) noexcept
{
    return stepIdx >= 0 && stepIdx < MAX_STEPS;
}

bool ValidVariation(int variationIdx) noexcept
{
    return variationIdx >= 0 && variationIdx < MAX_VARIATIONS_PER_CHORD;
}
} // namespace

ChordProgression::ChordProgression() noexcept
{
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        {
            Melody& m = mSteps[s].mMelodies[v];
            for (int p = 0; p < kPitchSetsPerMelody; ++p)
            {
                const uint32_t seed = PitchSetSeed(s, v, p);
                m.mPitchSets[p].mRandom.Seed(seed, ~seed);
            }
        }
        Melody& first = mSteps[s].mMelodies[0];
        first.mPitchSets[0].mBaseMask = first.mPitchSets[0].mPlayingMask =
            kFactoryPattern[s].mPulse0;
        first.mPitchSets[2].mBaseMask = first.mPitchSets[2].mPlayingMask =
            kFactoryPattern[s].mPulse2;
        for (Melody& m : mSteps[s].mMelodies)
            for (int p = 0; p < kPitchSetsPerMelody; ++p)
                m.mBasePitchSets[p] = m.mPitchSets[p];
    }
    UpdateActive();
}

void ChordProgression::UpdateActive() noexcept
{
    // Activity does not wrap: begin 10 with count 5 activates steps 10 and 11 only.
    for (int i = 0; i < MAX_STEPS; ++i)
        mSteps[i].mActive = i >= mBeginStep && i <= mBeginStep + mStepCount - 1;
}

void ChordProgression::SetStepCount(int numSteps) noexcept
{
    ORX_CHECK(kChordTag, 1 <= numSteps && numSteps <= MAX_STEPS,
              "1 <= numSteps && numSteps <= MAX_STEPS");
    if (numSteps < 1)
        numSteps = 1;
    else if (numSteps > MAX_STEPS)
        numSteps = MAX_STEPS;
    mStepCount = numSteps;
    UpdateActive();
}

void ChordProgression::SetBeginStep(int beginStepIdx) noexcept
{
    ORX_CHECK(kChordTag, 0 <= beginStepIdx && beginStepIdx < MAX_STEPS,
              "0 <= beginStepIdx && beginStepIdx < MAX_STEPS");
    if (beginStepIdx < 0)
        beginStepIdx = 0;
    else if (beginStepIdx >= MAX_STEPS)
        beginStepIdx = MAX_STEPS - 1;
    mBeginStep = beginStepIdx;
    UpdateActive();
}

void ChordProgression::Reset() noexcept
{
    mBeginStep = 0;
    mStepCount = MAX_STEPS;
    mFixedCount = kFixedStepCount;
    UpdateActive();
}

void ChordProgression::SetStoredCounts(int stepCount, int fixedCount, int beginStep) noexcept
{
    // A damaged stored form must not leave an impossible span behind; the span handlers that
    // follow every load set the real values.
    mStepCount = stepCount < 1 ? 1 : (stepCount > MAX_STEPS ? MAX_STEPS : stepCount);
    mFixedCount = fixedCount;
    mBeginStep = beginStep < 0 ? 0 : (beginStep >= MAX_STEPS ? MAX_STEPS - 1 : beginStep);
}

void ChordProgression::SetPulsesPerChord(int numPulses) noexcept
{
    numPulses = ClampPulseCount(numPulses);
    for (MelodySet& step : mSteps)
        for (Melody& m : step.mMelodies)
            m.mNumPulses = numPulses;
}

void ChordProgression::SetChordDegree(int stepIdx, int degree) noexcept
{
    if (MelodySet* step = GetStep(stepIdx))
        step->mChordDegree = degree;
}

void ChordProgression::SetRowSolo(int rowNumber, bool solo) noexcept
{
    ORX_CHECK(kChordTag, rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD,
              "rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD");
    if (!ValidVariation(rowNumber))
        return;
    for (MelodySet& step : mSteps)
        step.mMelodies[rowNumber].mSolo = solo;
}

void ChordProgression::SetRowMute(int rowNumber, bool mute) noexcept
{
    ORX_CHECK(kChordTag, rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD,
              "rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD");
    if (!ValidVariation(rowNumber))
        return;
    for (MelodySet& step : mSteps)
        step.mMelodies[rowNumber].mMuted = mute;
}

MelodySet* ChordProgression::GetStep(int stepIdx) noexcept
{
    ORX_CHECK(kChordTag, stepIdx >= 0 && stepIdx < MAX_STEPS,
              "stepIdx >= 0 && stepIdx < MAX_STEPS");
    return ValidStep(stepIdx) ? &mSteps[stepIdx] : nullptr;
}

const MelodySet* ChordProgression::GetStep(int stepIdx) const noexcept
{
    return const_cast<ChordProgression*>(this)->GetStep(stepIdx);
}

Melody* ChordProgression::GetMelody(int stepIdx, int variationIdx) noexcept
{
    MelodySet* step = GetStep(stepIdx);
    ORX_CHECK(kChordTag, variationIdx >= 0 && variationIdx < MAX_VARIATIONS_PER_CHORD,
              "variationIdx >= 0 && variationIdx < MAX_VARIATIONS_PER_CHORD");
    if (!step || !ValidVariation(variationIdx))
        return nullptr;
    return &step->mMelodies[variationIdx];
}

const Melody* ChordProgression::GetMelody(int stepIdx, int variationIdx) const noexcept
{
    return const_cast<ChordProgression*>(this)->GetMelody(stepIdx, variationIdx);
}

PitchSet* ChordProgression::GetPitchSet(int stepIdx, int variationIdx, int pulseIdx) noexcept
{
    Melody* m = GetMelody(stepIdx, variationIdx);
    ORX_CHECK(kChordTag, pulseIdx >= 0 && pulseIdx < kPitchSetsPerMelody,
              "pulseIdx >= 0 && pulseIdx < kPitchSetsPerMelody");
    if (!m || pulseIdx < 0 || pulseIdx >= kPitchSetsPerMelody)
        return nullptr;
    return &m->mPitchSets[pulseIdx];
}

void ToggleDegree(Melody& melody, int pulseIdx, int degree) noexcept
{
    if (pulseIdx < 0 || pulseIdx >= kPitchSetsPerMelody || degree < 0 || degree >= kNumPitchDegrees)
        return;
    PitchSet& set = melody.mPitchSets[pulseIdx];
    const int bit = 1 << degree;
    // Relative to the edited mask, so a degree a temporary modifier moved toggles as drawn.
    if (set.mBaseMask & bit)
        set.mPlayingMask &= ~bit;
    else
        set.mPlayingMask |= bit;
    set.mBaseMask = set.mPlayingMask;
    set.mSavedMask = 0;
    set.mRestorePending = false;
    for (int p = 0; p < kPitchSetsPerMelody; ++p)
        melody.mBasePitchSets[p] = melody.mPitchSets[p];
    melody.mRestorePending = false;
}

int ClampPulseCount(int numPulses) noexcept
{
    if (numPulses < 1)
        return 1;
    return numPulses > kPitchSetsPerMelody ? kPitchSetsPerMelody : numPulses;
}
