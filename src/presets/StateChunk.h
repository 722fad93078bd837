#pragma once
// The pattern part of the plug-in's state chunk: the chord progression with its melodies and
// the groove, packed little-endian with no gaps. The parameter values follow it (written and
// read by the plug-in base).

#include "Chord.h"
#include "GrooveMaker.h"
#include "IByteChunk.h"

inline constexpr int kMelodyStateSize = 73;
inline constexpr int kChordStepStateSize = 9 + MAX_VARIATIONS_PER_CHORD * kMelodyStateSize;
inline constexpr int kProgressionStateSize = 12 + MAX_STEPS * kChordStepStateSize;
inline constexpr int kGrooveStateSize = 4 + GrooveMaker::MAX_STEPS;

// Appends the progression block and the groove block; false when the chunk cannot grow.
bool WritePatternState(IByteChunk& chunk, const ChordProgression& progression,
                       const GrooveMaker& groove);

// Reads both blocks from position on and answers the position after them, or -1. A field that
// does not fit is not read and leaves its target unchanged, and so does every field after it.
// Values that would break the pattern's invariants are brought into range: masks keep their
// five degree bits, pulse counts lie in 1..4, the groove's active count in 1..48.
int ReadPatternState(const IByteChunk& chunk, int position, ChordProgression& progression,
                     GrooveMaker& groove);

// Both blocks read ahead, with every field brought into range, to be put into the pattern later
// in one go (under the instance lock, without reading the chunk there).
struct PatternImage
{
    struct MelodyFields
    {
        int mNumPulses = 0;
        int mPlaying[kPitchSetsPerMelody] = {};
        int mBase[kPitchSetsPerMelody] = {};
        int mSaved[kPitchSetsPerMelody] = {};
        int mSpare[4] = {};
        bool mEnabled = false;
        int mRepeatCount = 0;
    };
    struct StepFields
    {
        int mDegree = 0;
        bool mActive = false;
        int mSpare = 0;
        MelodyFields mMelodies[MAX_VARIATIONS_PER_CHORD];
    };
    int mStepCount = 0;
    int mFixedCount = 0;
    int mBeginStep = 0;
    StepFields mSteps[MAX_STEPS];
    int mGrooveActive = 0;
    int mVelocities[GrooveMaker::MAX_STEPS] = {};
};

// Reads both blocks whole into image and answers the position after them; -1 when a field does
// not fit (image is then of no use).
int ReadPatternImage(const IByteChunk& chunk, int position, PatternImage& image);

// Puts image into the pattern as ReadPatternState puts the chunk it was read from.
void ApplyPatternImage(const PatternImage& image, ChordProgression& progression,
                       GrooveMaker& groove);
