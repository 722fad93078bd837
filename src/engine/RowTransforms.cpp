#include "RowTransforms.h"

#include "Check.h"
#include "Modifiers.h"
#include "Transforms.h"

namespace
{
// The pitch sets of a row that play (step 0 pulse 0 ... step 11 pulse n - 1, n pulses a chord)
// form a ring; the hidden ones beyond the pulse count stay where they are.
class PulseRing
{
public:
    PulseRing(ChordProgression& progression, int row) noexcept
        : mProgression(progression), mRow(row),
          mPulses(ClampPulseCount(progression.GetMelody(0, row)->mNumPulses))
    {
    }
    int Size() const noexcept { return MAX_STEPS * mPulses; }
    PitchSet& operator[](int i) const noexcept
    {
        return mProgression.GetMelody(i / mPulses, mRow)->mPitchSets[i % mPulses];
    }

private:
    ChordProgression& mProgression;
    int mRow;
    int mPulses;
};

void ShiftPulses(ChordProgression& progression, int row, int places, bool left) noexcept
{
    const PulseRing ring(progression, row);
    const int size = ring.Size();
    places %= size;
    for (int n = 0; n < places; ++n)
    {
        PitchSet held;
        if (left)
        {
            MovePitchSet(held, ring[0]);
            for (int i = 0; i + 1 < size; ++i)
                MovePitchSet(ring[i], ring[i + 1]);
            MovePitchSet(ring[size - 1], held);
        }
        else
        {
            MovePitchSet(held, ring[size - 1]);
            for (int i = size - 1; i > 0; --i)
                MovePitchSet(ring[i], ring[i - 1]);
            MovePitchSet(ring[0], held);
        }
    }
}

// Every pitch set of the row, hidden ones included: i = 0 .. 47.
PitchSet& RowSlot(ChordProgression& progression, int row, int i) noexcept
{
    return progression.GetMelody(i / kPitchSetsPerMelody, row)->mPitchSets[i % kPitchSetsPerMelody];
}
constexpr int kRowSlots = MAX_STEPS * kPitchSetsPerMelody;

void ShiftChords(ChordProgression& progression, int row, int places, bool left) noexcept
{
    places %= MAX_STEPS;
    for (int n = 0; n < places; ++n)
    {
        Melody held;
        if (left)
        {
            CopyMelody(held, *progression.GetMelody(0, row));
            for (int i = 0; i + 1 < MAX_STEPS; ++i)
                CopyMelody(*progression.GetMelody(i, row), *progression.GetMelody(i + 1, row));
            CopyMelody(*progression.GetMelody(MAX_STEPS - 1, row), held);
        }
        else
        {
            CopyMelody(held, *progression.GetMelody(MAX_STEPS - 1, row));
            for (int i = MAX_STEPS - 1; i > 0; --i)
                CopyMelody(*progression.GetMelody(i, row), *progression.GetMelody(i - 1, row));
            CopyMelody(*progression.GetMelody(0, row), held);
        }
    }
}

void ReverseChords(ChordProgression& progression, int row) noexcept
{
    for (int i = 0; i < MAX_STEPS / 2; ++i)
    {
        Melody held;
        Melody& a = *progression.GetMelody(i, row);
        Melody& b = *progression.GetMelody(MAX_STEPS - 1 - i, row);
        CopyMelody(held, a);
        CopyMelody(a, b);
        CopyMelody(b, held);
    }
}
} // namespace

void ScrambleSlots(MwcRandom& random, int slots[MAX_STEPS]) noexcept
{
    bool taken[MAX_STEPS] = {};
    for (int i = 0; i < MAX_STEPS; ++i)
    {
        int e = static_cast<int>((random.Next() >> 14) % MAX_STEPS);
        random.Next();
        const bool down = (random.W() >> 11) & 1u;
        // Twelve slots for twelve entries: a free one is always found.
        while (taken[e])
            e = down ? (e + MAX_STEPS - 1) % MAX_STEPS : (e + 1) % MAX_STEPS;
        taken[e] = true;
        slots[e] = i;
    }
}

void ApplyRowCommand(ChordProgression& progression, int rowNumber, int code, int amount,
                     RowClipboard& clipboard, MwcRandom& random) noexcept
{
    ORX_CHECK(kChordTag, rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD,
              "rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD");
    if (rowNumber < 0 || rowNumber >= MAX_VARIATIONS_PER_CHORD)
        return;
    const int row = rowNumber;
    if (amount < 0)
        amount = 0;
    switch (code)
    {
    case kRowEnable:
    case kRowDisable:
        for (int i = 0; i < MAX_STEPS; ++i)
        {
            Melody& m = *progression.GetMelody(i, row);
            m.mEnabled = code == kRowEnable;
            m.mRestorePending = false;
        }
        break;
    case kRowCopy:
        for (int i = 0; i < MAX_STEPS; ++i)
            CopyMelody(clipboard.mMelodies[i], *progression.GetMelody(i, row));
        clipboard.mEmpty = false;
        break;
    case kRowPaste:
        if (clipboard.mEmpty)
            break;
        for (int i = 0; i < MAX_STEPS; ++i)
            CopyMelody(*progression.GetMelody(i, row), clipboard.mMelodies[i]);
        break;
    case kRowClear:
        for (int i = 0; i < MAX_STEPS; ++i)
            ClearMelody(*progression.GetMelody(i, row));
        break;
    case kRowReverseChord:
        ReverseChords(progression, row);
        break;
    case kRowReversePulse:
        ReverseChords(progression, row);
        for (int i = 0; i < MAX_STEPS; ++i)
            MelodyTransform(*progression.GetMelody(i, row), kMelodyFlipLR, true);
        break;
    case kRowFlipTB:
        for (int i = 0; i < kRowSlots; ++i)
        {
            PitchSet& set = RowSlot(progression, row, i);
            set.mPlayingMask = MaskMirror(set.mPlayingMask);
        }
        break;
    case kRowShiftLeftPulse:
        ShiftPulses(progression, row, amount, true);
        break;
    case kRowShiftRightPulse:
        ShiftPulses(progression, row, amount, false);
        break;
    case kRowShiftUp:
    case kRowShiftDown:
        for (int i = 0; i < kRowSlots; ++i)
        {
            PitchSet& set = RowSlot(progression, row, i);
            set.mPlayingMask = code == kRowShiftUp ? MaskUp(set.mPlayingMask, amount)
                                                   : MaskDown(set.mPlayingMask, amount);
        }
        break;
    case kRowShiftLeftChord:
        ShiftChords(progression, row, amount, true);
        break;
    case kRowShiftRightChord:
        ShiftChords(progression, row, amount, false);
        break;
    case kRowRandomPulse:
        for (int i = 0; i < kRowSlots; ++i)
        {
            PitchSet& set = RowSlot(progression, row, i);
            set.mPlayingMask = set.mRandom.NextDegreeMask();
        }
        break;
    case kRowScrambleChord:
    {
        int slots[MAX_STEPS];
        ScrambleSlots(random, slots);
        Melody old[MAX_STEPS];
        for (int i = 0; i < MAX_STEPS; ++i)
            CopyMelody(old[i], *progression.GetMelody(i, row));
        for (int j = 0; j < MAX_STEPS; ++j)
            CopyMelody(*progression.GetMelody(j, row), old[slots[j]]);
        break;
    }
    default:
        break;
    }
}
