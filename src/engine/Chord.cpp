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

namespace
{
int WithBit(int mask, int bit, bool on) noexcept
{
    return on ? mask | bit : mask & ~bit;
}

// Pitch set q as it will stand once the temporary changes pending on it are undone: a melody
// change brings back its saved pitch set, a strike change its saved mask.
PitchSet Lasting(const Melody& melody, int q) noexcept
{
    PitchSet set = melody.mRestorePending ? melody.mSavedPitchSets[q] : melody.mPitchSets[q];
    if (set.mRestorePending)
        set.mPlayingMask = set.mSavedMask;
    set.mSavedMask = 0;
    set.mRestorePending = false;
    set.mRandom = melody.mPitchSets[q].mRandom;
    return set;
}
} // namespace

void SetDegree(Melody& melody, int pulseIdx, int degree, bool on) noexcept
{
    if (pulseIdx < 0 || pulseIdx >= kPitchSetsPerMelody || degree < 0 || degree >= kNumPitchDegrees)
        return;
    const int bit = 1 << degree;
    // What plays now, and every mask a pending restore would bring back, take the click; the
    // pending restores stay, so a temporary change still ends when its time comes.
    PitchSet& set = melody.mPitchSets[pulseIdx];
    set.mPlayingMask = WithBit(set.mPlayingMask, bit, on);
    if (set.mRestorePending)
        set.mSavedMask = WithBit(set.mSavedMask, bit, on);
    PitchSet& saved = melody.mSavedPitchSets[pulseIdx];
    if (melody.mRestorePending)
    {
        saved.mPlayingMask = WithBit(saved.mPlayingMask, bit, on);
        if (saved.mRestorePending)
            saved.mSavedMask = WithBit(saved.mSavedMask, bit, on);
    }
    // The edited pattern becomes the melody as it will play once those changes are undone.
    set.mBaseMask = Lasting(melody, pulseIdx).mPlayingMask;
    if (melody.mRestorePending)
        saved.mBaseMask = set.mBaseMask;
    for (int p = 0; p < kPitchSetsPerMelody; ++p)
        melody.mBasePitchSets[p] = Lasting(melody, p);
}

void ToggleDegree(Melody& melody, int pulseIdx, int degree) noexcept
{
    if (pulseIdx < 0 || pulseIdx >= kPitchSetsPerMelody || degree < 0 || degree >= kNumPitchDegrees)
        return;
    SetDegree(melody, pulseIdx, degree,
              (melody.mPitchSets[pulseIdx].mPlayingMask & (1 << degree)) == 0);
}

int ClampPulseCount(int numPulses) noexcept
{
    if (numPulses < 1)
        return 1;
    return numPulses > kPitchSetsPerMelody ? kPitchSetsPerMelody : numPulses;
}
