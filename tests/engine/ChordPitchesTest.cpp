#include "ChordPitches.h"

#include <gtest/gtest.h>

#include <random>

// The table answers what the mapping answers, through any order of setting changes: a row
// computed under earlier settings is never served under later ones.
TEST(ChordPitches, EveryRowIsTheMappingOfTheSettingsOfTheMoment)
{
    std::mt19937 random(7u);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    ChordPitches table;
    Scale scale;
    int mode = 0;
    int tonic = 60;
    for (int round = 0; round < 20000; ++round)
    {
        switch (pick(0, 7))
        {
        case 0:
            mode = pick(0, kNumModes - 1);
            break;
        case 1:
            tonic = pick(0, 127);
            break;
        case 2:
            scale.SetIntervalSet(pick(0, kNumIntervalSets - 1));
            break;
        case 3:
            scale.SetScale(pick(0, kNumScales - 1));
            break;
        default:
            break; // most pulses change nothing
        }
        const int chordDegree = pick(-2, kNumChordDegrees + 2); // clamped like the mapping
        const int* row = table.Row(scale, mode, tonic, chordDegree);
        for (int degree = 0; degree < kNumPitchDegrees; ++degree)
            ASSERT_EQ(row[degree], scale.Pitch(mode, tonic, chordDegree, degree))
                << "round " << round << ", degree " << degree;
    }
}
