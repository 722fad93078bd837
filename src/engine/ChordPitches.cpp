#include "ChordPitches.h"

const int* ChordPitches::Row(const Scale& scale, int mode, int tonic, int chordDegree) noexcept
{
    if (mode != mMode || tonic != mTonic || scale.IntervalSet() != mIntervalSet ||
        scale.ScaleIndex() != mScale)
        Invalidate(scale, mode, tonic);
    // The mapping clamps the chord degree the same way.
    const int row = chordDegree < 0
                        ? 0
                        : (chordDegree >= kNumChordDegrees ? kNumChordDegrees - 1 : chordDegree);
    int* notes = mNotes[row];
    if (!mValid[row])
    {
        for (int degree = 0; degree < kNumPitchDegrees; ++degree)
            notes[degree] = scale.Pitch(mode, tonic, row, degree);
        mValid[row] = true;
    }
    return notes;
}

void ChordPitches::Invalidate(const Scale& scale, int mode, int tonic) noexcept
{
    mMode = mode;
    mTonic = tonic;
    mIntervalSet = scale.IntervalSet();
    mScale = scale.ScaleIndex();
    for (bool& valid : mValid)
        valid = false;
}
