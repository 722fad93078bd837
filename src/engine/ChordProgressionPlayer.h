#pragma once
// Walks the active span of the chord progression one pulse at a time, knows which chord step
// and which pulse of it are current, and chooses which of the chord's four melodies plays each
// time the chord is entered.

#include "Chord.h"
#include "Sequencer.h"

// Per chord step: which melody plays and how many passes of the chord it has played.
struct MelodySetCursor
{
    MelodySet* mpMelodySet = nullptr;
    int mPlayCount = 0;
    int mCurrentMelody = 0;
};

class ChordProgressionPlayer : public SequencerBase
{
public:
    static constexpr int kNumPositions = MAX_STEPS * kPitchSetsPerMelody;

    explicit ChordProgressionPlayer(ChordProgression& progression) noexcept;

    // Re-derives the span from the progression's begin step and step count.
    void UpdateSpan() noexcept;
    // Pulses per chord; call UpdateSpan afterwards.
    void SetPositionsPerChord(int k) noexcept;
    void SetPosition(int q) noexcept override;
    // The player's part of a pulse: move on, and choose a melody when a chord is entered.
    void NextPulse() noexcept;

    int CurrentChord() const noexcept { return mCurrentChord; }
    int PulseInChord() const noexcept { return mPulseInChord; }
    int PositionsPerChord() const noexcept { return mPositionsPerChord; }
    // Every pulse asks these several times: they are inline.
    MelodySetCursor& CursorOf(int stepIdx) noexcept { return mCursors[ClampStep(stepIdx)]; }
    const MelodySetCursor& CursorOf(int stepIdx) const noexcept
    {
        return mCursors[ClampStep(stepIdx)];
    }
    // Variation now playing in the current chord step.
    int CurrentVariation() const noexcept { return CursorOf(mCurrentChord).mCurrentMelody; }

private:
    static int ClampStep(int step) noexcept
    {
        return step < 0 ? 0 : (step >= MAX_STEPS ? MAX_STEPS - 1 : step);
    }
    static void AdvanceCursor(MelodySetCursor& cursor) noexcept;

    ChordProgression& mProgression;
    int mCurrentChord = 0;
    int mPulseInChord = 0;
    MelodySetCursor mCursors[MAX_STEPS];
    int mPositionsPerChord = kPitchSetsPerMelody;
};
