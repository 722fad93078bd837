#include "Scale.h"

#include "Check.h"

namespace
{
constexpr const char* kTag = "src/Scale";

int Clamp(int v, int lo, int hi) noexcept
{
    return v < lo ? lo : (v > hi ? hi : v);
}
} // namespace

int Scale::Pitch(int mode, int rootNote, int chordDegree, int pitchDegree) const noexcept
{
    ORX_CHECK(kTag, 0 <= mode && mode < 7, "0 <= mode && mode < 7");
    ORX_CHECK(kTag, 0 <= rootNote && rootNote <= 128, "0 <= rootNote && rootNote <= 128");
    ORX_CHECK(kTag, 0 <= pitchDegree && pitchDegree < 5, "0 <= pitchDegree && pitchDegree < 5");
    // After a failed check every index is brought into its table.
    mode = Clamp(mode, 0, kNumModes - 1);
    pitchDegree = Clamp(pitchDegree, 0, 4);
    rootNote = Clamp(rootNote, 0, 128);
    const ScaleDef& scale = kScales[Clamp(mScale, 0, kNumScales - 1)];
    const int numScaleSteps = scale.mNumSteps;
    ORX_CHECK(kTag, 1 <= numScaleSteps && numScaleSteps <= MAX_STEPS_PER_SCALE,
              "1 <= numScaleSteps && numScaleSteps <= MAX_STEPS_PER_SCALE");
    const int d = kIntervalSets[Clamp(mIntervalSet, 0, kNumIntervalSets - 1)].mDegrees[pitchDegree];
    const int h = d + Clamp(chordDegree, 0, kNumModes - 1) + mode - 1;
    return rootNote + 12 * (h / numScaleSteps) + scale.mSemitones[h % numScaleSteps];
}
