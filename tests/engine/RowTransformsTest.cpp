#include "RowTransforms.h"

#include "CheckCapture.h"
#include "Transforms.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
struct RowFixture
{
    ChordProgression mProgression;
    RowClipboard mClipboard;
    MwcRandom mRandom;

    void Apply(int row, int code, int amount = 1)
    {
        ApplyRowCommand(mProgression, row, code, amount, mClipboard, mRandom);
    }
    // The 48 playing masks of a row, ring order.
    std::vector<int> Ring(int row)
    {
        std::vector<int> out;
        for (int s = 0; s < MAX_STEPS; ++s)
            for (int q = 0; q < 4; ++q)
                out.push_back(mProgression.GetPitchSet(s, row, q)->mPlayingMask);
        return out;
    }
    // Gives every melody of row 1 a distinct signature in its masks: step s pulse q.
    void Label(int row)
    {
        for (int s = 0; s < MAX_STEPS; ++s)
            for (int q = 0; q < 4; ++q)
            {
                PitchSet& set = *mProgression.GetPitchSet(s, row, q);
                set.mPlayingMask = set.mBaseMask = (s * 4 + q) % 31 + 1;
            }
    }
};

std::vector<int> Rotated(const std::vector<int>& v, int left)
{
    std::vector<int> out(v);
    std::rotate(out.begin(), out.begin() + ((left % 48) + 48) % 48, out.end());
    return out;
}
} // namespace

TEST(RowTransforms, EnableDisableAndClear)
{
    RowFixture f;
    f.mProgression.GetMelody(3, 0)->mRestorePending = true;
    f.Apply(0, kRowDisable);
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        EXPECT_FALSE(f.mProgression.GetMelody(s, 0)->mEnabled);
        EXPECT_FALSE(f.mProgression.GetMelody(s, 0)->mRestorePending);
        EXPECT_TRUE(f.mProgression.GetMelody(s, 1)->mEnabled);
    }
    f.Apply(0, kRowEnable);
    EXPECT_TRUE(f.mProgression.GetMelody(7, 0)->mEnabled);
    f.Apply(0, kRowClear);
    EXPECT_EQ(f.Ring(0), std::vector<int>(48, 0));
    EXPECT_EQ(f.mProgression.GetMelody(0, 0)->mBasePitchSets[0].mPlayingMask, 0);
}

TEST(RowTransforms, CopyAndPasteThroughTheRowClipboard)
{
    RowFixture f;
    EXPECT_TRUE(f.mClipboard.mEmpty);
    f.Label(2);
    const std::vector<int> labelled = f.Ring(2);
    // Nothing copied yet: paste changes nothing.
    f.Apply(2, kRowPaste);
    EXPECT_EQ(f.Ring(2), labelled);
    f.Apply(0, kRowCopy);
    EXPECT_FALSE(f.mClipboard.mEmpty);
    const std::vector<int> factory = f.Ring(0);
    f.Apply(2, kRowPaste);
    EXPECT_EQ(f.Ring(2), factory);
}

TEST(RowTransforms, ReversalsByChordAndByPulse)
{
    RowFixture f;
    f.Label(1);
    const std::vector<int> ring = f.Ring(1);
    f.mProgression.GetMelody(0, 1)->mRepeatCount = 3;
    f.Apply(1, kRowReverseChord);
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(f.Ring(1)[s * 4 + q], ring[(11 - s) * 4 + q]);
    EXPECT_EQ(f.mProgression.GetMelody(11, 1)->mRepeatCount, 3);

    RowFixture g;
    g.Label(1);
    g.Apply(1, kRowReversePulse);
    std::vector<int> reversed(ring.rbegin(), ring.rend());
    EXPECT_EQ(g.Ring(1), reversed);
}

TEST(RowTransforms, ShiftsByPulseMoveAroundTheWholeRing)
{
    RowFixture f;
    f.Apply(0, kRowClear);
    f.mProgression.GetPitchSet(0, 0, 0)->mPlayingMask = 4;
    f.Apply(0, kRowShiftLeftPulse);
    EXPECT_EQ(f.mProgression.GetPitchSet(11, 0, 3)->mPlayingMask, 4);
    EXPECT_EQ(f.mProgression.GetPitchSet(0, 0, 0)->mPlayingMask, 0);
    f.Apply(0, kRowShiftRightPulse);
    EXPECT_EQ(f.mProgression.GetPitchSet(0, 0, 0)->mPlayingMask, 4);

    RowFixture g;
    g.Label(3);
    const std::vector<int> ring = g.Ring(3);
    for (int n : {1, 5, 13, 47})
    {
        g.Apply(3, kRowShiftLeftPulse, n);
        EXPECT_EQ(g.Ring(3), Rotated(ring, n)) << n;
        g.Apply(3, kRowShiftRightPulse, n);
        EXPECT_EQ(g.Ring(3), ring) << n;
    }
    // Every place of the ring, one step at a time, back to the start.
    for (int i = 1; i <= 48; ++i)
    {
        g.Apply(3, kRowShiftRightPulse);
        ASSERT_EQ(g.Ring(3), Rotated(ring, -i)) << i;
    }
    EXPECT_EQ(g.Ring(3), ring);
}

// With fewer than four pulses a chord, the moves by pulse go around the pulses that play only:
// step 0's first pulse shifted left lands on step 11's last playing pulse, and the hidden
// pitch sets beyond the pulse count stay as they were.
TEST(RowTransforms, MovesByPulseKeepToThePulsesThatPlay)
{
    for (int n = 1; n < kPitchSetsPerMelody; ++n)
    {
        SCOPED_TRACE("pulses " + std::to_string(n));
        RowFixture f;
        f.mProgression.SetPulsesPerChord(n);
        f.Label(2);
        const std::vector<int> before = f.Ring(2);
        std::vector<int> shown, hidden;
        for (int i = 0; i < 48; ++i)
            (i % 4 < n ? shown : hidden).push_back(before[i]);
        // The row as the ring of shown pulses and the hidden rest put back together.
        auto row = [&](const std::vector<int>& ring)
        {
            std::vector<int> out;
            auto s = ring.cbegin();
            auto h = hidden.cbegin();
            for (int i = 0; i < 48; ++i)
                out.push_back(i % 4 < n ? *s++ : *h++);
            return out;
        };
        auto rotated = [&](int left)
        {
            std::vector<int> ring = shown;
            const int size = static_cast<int>(ring.size());
            std::rotate(ring.begin(), ring.begin() + ((left % size) + size) % size, ring.end());
            return row(ring);
        };

        for (int amount : {1, 2, 5, 13, 47})
        {
            f.Apply(2, kRowShiftLeftPulse, amount);
            EXPECT_EQ(f.Ring(2), rotated(amount)) << "left " << amount;
            f.Apply(2, kRowShiftRightPulse, amount);
            EXPECT_EQ(f.Ring(2), before) << "right " << amount;
        }
        f.Apply(2, kRowShiftRightPulse, 1);
        EXPECT_EQ(f.Ring(2), rotated(-1));
        f.Apply(2, kRowShiftLeftPulse, 1);

        // Reversed by pulse: the pulses that play in reverse order; the hidden pitch sets go with
        // their melodies, which trade places as in the reversal by chord.
        f.Apply(2, kRowReversePulse);
        std::vector<int> reversed = row(std::vector<int>(shown.rbegin(), shown.rend()));
        for (int s = 0; s < MAX_STEPS; ++s)
            for (int q = n; q < 4; ++q)
                reversed[s * 4 + q] = before[(MAX_STEPS - 1 - s) * 4 + q];
        EXPECT_EQ(f.Ring(2), reversed);
    }
}

TEST(RowTransforms, ShiftsByChordMoveWholeMelodies)
{
    RowFixture f;
    f.Label(0);
    const std::vector<int> ring = f.Ring(0);
    f.mProgression.GetMelody(2, 0)->mEnabled = false;
    f.Apply(0, kRowShiftLeftChord, 2);
    EXPECT_EQ(f.Ring(0), Rotated(ring, 8));
    EXPECT_FALSE(f.mProgression.GetMelody(0, 0)->mEnabled);
    f.Apply(0, kRowShiftRightChord, 11);
    EXPECT_EQ(f.Ring(0), Rotated(ring, 8 - 44));
}

TEST(RowTransforms, DegreeCommandsOnEveryMaskOfTheRow)
{
    RowFixture f;
    f.Label(2);
    const std::vector<int> ring = f.Ring(2);
    f.Apply(2, kRowShiftUp, 3);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(f.Ring(2)[i], MaskUp(ring[i], 3));
    f.Apply(2, kRowShiftDown, 3);
    EXPECT_EQ(f.Ring(2), ring);
    f.Apply(2, kRowFlipTB);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(f.Ring(2)[i], MaskMirror(ring[i]));
    f.Apply(2, kRowRandomPulse);
    for (int m : f.Ring(2))
        EXPECT_EQ(__builtin_popcount(m), 1) << m;
    // Other rows untouched.
    EXPECT_EQ(f.Ring(1), std::vector<int>(48, 0));
}

TEST(RowTransforms, ScrambleIsAPermutationDrawnFromTheEditorsGenerator)
{
    RowFixture f;
    f.Label(1);
    const std::vector<int> ring = f.Ring(1);
    f.Apply(1, kRowScrambleChord);
    const std::vector<int> scrambled = f.Ring(1);
    // The first draw from the default seed is 3175213120: (r >> 14) mod 12 = 11, so chord
    // step 11 takes the old melody of step 0.
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(scrambled[11 * 4 + q], ring[q]);
    // Every old melody lands in exactly one step.
    std::vector<int> fromStep;
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        int found = -1;
        for (int old = 0; old < MAX_STEPS; ++old)
            if (std::equal(ring.begin() + old * 4, ring.begin() + old * 4 + 4,
                           scrambled.begin() + s * 4))
                found = old;
        ASSERT_GE(found, 0) << s;
        fromStep.push_back(found);
    }
    std::sort(fromStep.begin(), fromStep.end());
    for (int s = 0; s < MAX_STEPS; ++s)
        EXPECT_EQ(fromStep[s], s);

    // The same generator state scrambles the same way.
    MwcRandom a, b;
    int sa[MAX_STEPS], sb[MAX_STEPS];
    ScrambleSlots(a, sa);
    ScrambleSlots(b, sb);
    EXPECT_TRUE(std::equal(sa, sa + MAX_STEPS, sb));
    EXPECT_EQ(sa[11], 0);
    // Two draws per chord step.
    MwcRandom c;
    for (int i = 0; i < 2 * MAX_STEPS; ++i)
        c.Next();
    EXPECT_EQ(a.W(), c.W());
}

TEST(RowTransforms, ARowOutsideTheGridReportsAndChangesNothing)
{
    RowFixture f;
    const std::vector<int> ring = f.Ring(0);
    CheckCapture checks;
    f.Apply(4, kRowShiftLeftPulse);
    f.Apply(-1, kRowClear);
    EXPECT_TRUE(
        checks.Fired("src/Chord", "rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD"));
    EXPECT_EQ(f.Ring(0), ring);
}
