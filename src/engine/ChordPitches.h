#pragma once
// The MIDI notes of the five pitch degrees over each chord degree, for the scale settings of the
// moment: the mapping of every note a pulse plays, worked out once rather than for every note.
// A row is computed when it is first asked for after a setting changed, so a change of mode or
// tonic (automation, say) costs what the mapping of one pulse's notes cost anyway.

#include "Chord.h"
#include "Scale.h"

inline constexpr int kNumChordDegrees = kNumModes; // the mapping clamps chord degrees to 0..6

class ChordPitches
{
public:
    // The notes of pitch degrees 0..4 over chordDegree, as Scale::Pitch maps them.
    const int* Row(const Scale& scale, int mode, int tonic, int chordDegree) noexcept
    {
        // The mapping clamps the chord degree the same way.
        const int row = chordDegree < 0 ? 0
                                        : (chordDegree >= kNumChordDegrees ? kNumChordDegrees - 1
                                                                           : chordDegree);
        if (mode != mMode || tonic != mTonic || scale.IntervalSet() != mIntervalSet ||
            scale.ScaleIndex() != mScale || !mValid[row])
            Compute(scale, mode, tonic, row);
        return mNotes[row];
    }

private:
    // Forgets every row when a setting changed, then computes the one asked for.
    void Compute(const Scale& scale, int mode, int tonic, int row) noexcept;

    // The settings the rows were computed for; a row is valid only under them.
    int mMode = -1;
    int mTonic = -1;
    int mIntervalSet = -1;
    int mScale = -1;
    bool mValid[kNumChordDegrees] = {};
    int mNotes[kNumChordDegrees][kNumPitchDegrees] = {};
};
