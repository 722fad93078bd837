#include "ChordPitches.h"

void ChordPitches::Compute(const Scale& scale, int mode, int tonic, int row) noexcept
{
    if (mode != mMode || tonic != mTonic || scale.IntervalSet() != mIntervalSet ||
        scale.ScaleIndex() != mScale)
    {
        mMode = mode;
        mTonic = tonic;
        mIntervalSet = scale.IntervalSet();
        mScale = scale.ScaleIndex();
        for (bool& valid : mValid)
            valid = false;
    }
    for (int degree = 0; degree < kNumPitchDegrees; ++degree)
        mNotes[row][degree] = scale.Pitch(mode, tonic, row, degree);
    mValid[row] = true;
}
