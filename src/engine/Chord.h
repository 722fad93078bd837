#pragma once
// The pattern data: a progression of up to twelve chord steps, each with a root degree and four
// alternative melodies (variations); a melody holds one pitch set per pulse of the chord, and a
// pitch set is a 5-bit mask over the five pitch degrees of the chord. Fixed-size records that
// live inside the plug-in instance for its whole life.

#include "MwcRandom.h"

inline constexpr int MAX_STEPS = 12;               // chord steps in a progression
inline constexpr int MAX_VARIATIONS_PER_CHORD = 4; // melodies per chord step
inline constexpr int kPitchSetsPerMelody = 4;      // one per pulse of the chord
inline constexpr int kNumPitchDegrees = 5;         // bits 0..4 of a mask
inline constexpr int kMaskLimit = 1 << kNumPitchDegrees;
inline constexpr int kFixedStepCount = 48; // carried in the stored form only

// Check tag of everything that reads or edits the pattern data.
inline constexpr const char* kChordTag = "src/Chord";

struct PitchSet
{
    int mBaseMask = 0;    // as edited or loaded; the strike modifier "Orig" restores it
    int mPlayingMask = 0; // what is played: bit i strikes pitch degree i
    int mSavedMask = 0;   // playing mask saved before a temporary strike change
    bool mRestorePending = false;
    MwcRandom mRandom; // private source of the "Rand" transforms
};

struct Melody
{
    int mNumPulses = 4; // every melody holds the progression's pulses per chord
    PitchSet mPitchSets[kPitchSetsPerMelody];
    int mSpare[4] = {0, 0, 0, 0};
    // Consecutive passes of its chord this melody plays before the chord moves on; the player
    // plays at least one pass whatever the count, so 1 is the neutral start value.
    int mRepeatCount = 1;
    bool mEnabled = true;
    bool mSolo = false;  // read only by the editor
    bool mMuted = false; // skipped when its chord moves on to another melody
    PitchSet mSavedPitchSets[kPitchSetsPerMelody]; // before a temporary melody change
    bool mRestorePending = false;
    PitchSet mBasePitchSets[kPitchSetsPerMelody]; // as loaded or edited; "Orig" restores them
};

struct MelodySet
{
    int mChordDegree = 0; // 0-based scale degree of the chord's root, 0..6
    bool mActive = true;  // inside the progression's span
    int mSpare = 1;
    Melody mMelodies[MAX_VARIATIONS_PER_CHORD];
};

class ChordProgression
{
public:
    // Construction state: full span, every melody empty except the factory pattern in
    // melody 0 of every chord step, each pitch set's generator seeded on its own.
    ChordProgression() noexcept;

    void SetStepCount(int numSteps) noexcept;
    void SetBeginStep(int beginStepIdx) noexcept;
    // Before a preset text is loaded: full span again; melodies untouched.
    void Reset() noexcept;
    void SetPulsesPerChord(int numPulses) noexcept;
    void SetChordDegree(int stepIdx, int degree) noexcept;
    // Solo and mute flags of melody v in all twelve chord steps.
    void SetRowSolo(int rowNumber, bool solo) noexcept;
    void SetRowMute(int rowNumber, bool mute) noexcept;

    int StepCount() const noexcept { return mStepCount; }
    int BeginStep() const noexcept { return mBeginStep; }
    int FixedCount() const noexcept { return mFixedCount; }
    // Stored forms may set the counts directly; the parameters put them right afterwards.
    void SetStoredCounts(int stepCount, int fixedCount, int beginStep) noexcept;

    // Accessors answer null (after a failed check) for an index outside the progression.
    MelodySet* GetStep(int stepIdx) noexcept;
    const MelodySet* GetStep(int stepIdx) const noexcept;
    Melody* GetMelody(int stepIdx, int variationIdx) noexcept;
    const Melody* GetMelody(int stepIdx, int variationIdx) const noexcept;
    PitchSet* GetPitchSet(int stepIdx, int variationIdx, int pulseIdx) noexcept;

private:
    void UpdateActive() noexcept;

    int mBeginStep = 0;
    int mStepCount = MAX_STEPS;
    int mFixedCount = kFixedStepCount;
    MelodySet mSteps[MAX_STEPS];
};

// The editor's click on a cell: turns degree d of pulse p on or off in the mask that plays and
// in the masks that pending temporary changes will restore, which stay pending: a temporary
// change still ends when its time comes, and the click outlives it. The edited (base) pattern
// becomes the melody as it will play once those changes are undone.
void SetDegree(Melody& melody, int pulseIdx, int degree, bool on) noexcept;
// SetDegree with the degree's bit in the playing mask flipped: the click as the melody plays.
void ToggleDegree(Melody& melody, int pulseIdx, int degree) noexcept;

// A pulse count outside 1..4 (from a damaged stored form) is read as the nearest valid one.
int ClampPulseCount(int numPulses) noexcept;
