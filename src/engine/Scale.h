#pragma once
// Maps a pitch degree of the current chord to a MIDI note: the interval set spreads the five
// pitch degrees over scale degrees, the scale turns scale degrees into semitones, and the mode
// and the chord's root degree shift the start within the scale.

inline constexpr int MAX_STEPS_PER_SCALE = 12;
inline constexpr int kNumIntervalSets = 10;
inline constexpr int kNumScales = 8;
inline constexpr int kNumModes = 7;

struct IntervalSetDef
{
    const char* mName;
    int mDegrees[5]; // one-based scale degree of pitch degrees 0..4
};

struct ScaleDef
{
    const char* mName;
    int mNumSteps;
    int mSemitones[MAX_STEPS_PER_SCALE];
};

inline constexpr IntervalSetDef kIntervalSets[kNumIntervalSets] = {
    {"Fifths", {1, 5, 8, 12, 15}},  {"Triad", {1, 3, 5, 8, 12}},    {"Triad 7th", {1, 3, 5, 7, 8}},
    {"Triad 9th", {1, 3, 5, 7, 9}}, {"Sus 2nd", {1, 2, 3, 5, 8}},   {"Sus 4th", {1, 3, 4, 5, 8}},
    {"Whole (n)", {1, 2, 3, 4, 5}}, {"Triad 6th", {1, 3, 5, 6, 8}}, {"Triad 6+7", {1, 3, 5, 6, 7}},
    {"1 3 4 5 6", {1, 3, 4, 5, 6}},
};

inline constexpr ScaleDef kScales[kNumScales] = {
    {"Major", 7, {0, 2, 4, 5, 7, 9, 11}}, {"Minor", 7, {0, 2, 3, 5, 7, 9, 10}},
    {"Blues", 5, {0, 3, 5, 7, 10}},       {"Ake Bono", 5, {0, 2, 3, 7, 8}},
    {"Big Bear", 6, {0, 2, 3, 5, 7, 10}}, {"Celtic", 6, {0, 3, 5, 7, 8, 10}},
    {"Maj Pent", 5, {0, 2, 4, 7, 9}},     {"Nat Minor", 7, {0, 2, 3, 5, 7, 8, 10}},
};

// Display texts, in parameter value order, for the parameter table.
inline constexpr const char* kIntervalSetNames[kNumIntervalSets] = {
    kIntervalSets[0].mName, kIntervalSets[1].mName, kIntervalSets[2].mName, kIntervalSets[3].mName,
    kIntervalSets[4].mName, kIntervalSets[5].mName, kIntervalSets[6].mName, kIntervalSets[7].mName,
    kIntervalSets[8].mName, kIntervalSets[9].mName,
};
inline constexpr const char* kScaleNames[kNumScales] = {
    kScales[0].mName, kScales[1].mName, kScales[2].mName, kScales[3].mName,
    kScales[4].mName, kScales[5].mName, kScales[6].mName, kScales[7].mName,
};
inline constexpr const char* kModeNames[kNumModes] = {
    "Ionian", "Dorian", "Phrygian", "Lydian", "Mixolydian", "Aeolian", "Locrian",
};

class Scale
{
public:
    void SetIntervalSet(int idx) noexcept { mIntervalSet = idx; }
    void SetScale(int idx) noexcept { mScale = idx; }
    int IntervalSet() const noexcept { return mIntervalSet; }
    int ScaleIndex() const noexcept { return mScale; }

    // MIDI note of a pitch degree (0..4). The result can lie above 127 (high tonic, wide
    // interval sets, high chord degrees and modes); the caller decides what to do with it.
    int Pitch(int mode, int rootNote, int chordDegree, int pitchDegree) const noexcept;

private:
    int mIntervalSet = 0;
    int mScale = 0;
};
