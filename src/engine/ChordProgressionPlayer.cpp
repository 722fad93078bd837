#include "ChordProgressionPlayer.h"

namespace
{
bool Playable(const Melody& m) noexcept
{
    return m.mEnabled && !m.mMuted;
}
} // namespace

ChordProgressionPlayer::ChordProgressionPlayer(ChordProgression& progression) noexcept
    : SequencerBase(kNumPositions), mProgression(progression)
{
    for (int i = 0; i < MAX_STEPS; ++i)
        mCursors[i].mpMelodySet = progression.GetStep(i);
}

void ChordProgressionPlayer::UpdateSpan() noexcept
{
    const int k = mPositionsPerChord;
    const int s = k * mProgression.BeginStep();
    if (s >= 0 && s < mSize)
        SetStart(s);
    const int n = k * mProgression.StepCount();
    if (n > 0 && n <= mSize)
        SetLength(n);
}

void ChordProgressionPlayer::SetPositionsPerChord(int k) noexcept
{
    mPositionsPerChord = ClampPulseCount(k);
}

void ChordProgressionPlayer::SetPosition(int q) noexcept
{
    if (q < 0)
        q = 0;
    const int numActiveSteps = mProgression.StepCount();
    const int numPulsesPerChord = mProgression.GetMelody(0, 0)->mNumPulses;
    ORX_CHECK(kSequencerTag, numActiveSteps > 0, "numActiveSteps > 0");
    ORX_CHECK(kSequencerTag, numPulsesPerChord > 0, "numPulsesPerChord > 0");
    const int steps = numActiveSteps > 0 ? numActiveSteps : 1;
    const int k = ClampPulseCount(numPulsesPerChord);
    const int r = q % (steps * k);
    mPulseInChord = r % k;
    // A span reaching past the last chord step is cut there by the base's span; keep the chord
    // inside the progression until the next pulse derives it from the cursor.
    mCurrentChord = ClampStep(mProgression.BeginStep() + r / k);
    SequencerBase::SetPosition(q);
    for (MelodySetCursor& cursor : mCursors)
        cursor.mCurrentMelody = 0;
}

void ChordProgressionPlayer::AdvanceCursor(MelodySetCursor& cursor) noexcept
{
    // The next enabled, unmuted melody; with none among the four, the one after the current.
    const int start = cursor.mCurrentMelody;
    int chosen = (start + 1) % MAX_VARIATIONS_PER_CHORD;
    for (int tries = 1; tries <= MAX_VARIATIONS_PER_CHORD; ++tries)
    {
        const int candidate = (start + tries) % MAX_VARIATIONS_PER_CHORD;
        if (Playable(cursor.mpMelodySet->mMelodies[candidate]))
        {
            chosen = candidate;
            break;
        }
    }
    cursor.mCurrentMelody = chosen;
    cursor.mPlayCount = 0;
}

void ChordProgressionPlayer::NextPulse() noexcept
{
    if (--mCountdown <= 0)
    {
        Step();
        mCountdown = mCountPerStep;
    }
    const int k = mPositionsPerChord;
    const int h = ClampStep(mCursor / k);
    mPulseInChord = mCursor % k;
    const int previous = mCurrentChord;
    mCurrentChord = h;
    if (h == previous)
        return;
    // A chord was entered: its melody moves on after its repeat count, or when it cannot play.
    MelodySetCursor& cursor = mCursors[h];
    const Melody& m = cursor.mpMelodySet->mMelodies[cursor.mCurrentMelody];
    if (cursor.mPlayCount >= m.mRepeatCount || !Playable(m))
        AdvanceCursor(cursor);
    cursor.mPlayCount += 1;
}
