#include "Transforms.h"

#include "CheckCapture.h"
#include "Modifiers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
// A melody whose four pulses are told apart: masks 1, 2, 4, 8 (degrees 0..3).
Melody Ladder()
{
    ChordProgression p;
    Melody m = *p.GetMelody(0, 1);
    for (int q = 0; q < 4; ++q)
    {
        m.mPitchSets[q].mPlayingMask = m.mPitchSets[q].mBaseMask = 1 << q;
        m.mBasePitchSets[q] = m.mPitchSets[q];
    }
    return m;
}

std::vector<int> Masks(const Melody& m)
{
    std::vector<int> out;
    for (const PitchSet& s : m.mPitchSets)
        out.push_back(s.mPlayingMask);
    return out;
}
} // namespace

TEST(Transforms, MaskOperationsWrapAroundTheFiveDegrees)
{
    EXPECT_EQ(MaskUp(16, 1), 1);
    EXPECT_EQ(MaskDown(1, 1), 16);
    EXPECT_EQ(MaskUp(3, 2), 12);
    EXPECT_EQ(MaskMirror(3), 24);
    EXPECT_EQ(MaskMirror(4), 4);
    for (int m = 0; m < 32; ++m)
    {
        EXPECT_EQ(MaskUp(m, 4), MaskDown(m, 1)) << m;
        EXPECT_EQ(MaskDown(MaskUp(m, 3), 3), m) << m;
        EXPECT_EQ(MaskUp(m, 5), m) << m;
        EXPECT_EQ(MaskMirror(MaskMirror(m)), m) << m;
        EXPECT_EQ(__builtin_popcount(MaskUp(m, 2)), __builtin_popcount(m)) << m;
    }
}

TEST(Transforms, MirrorOfAnImpossibleMaskReportsAndStaysInRange)
{
    CheckCapture checks;
    const int m = MaskMirror(33);
    EXPECT_TRUE(checks.Fired("src/Chord", "mPlayingMask >= 0 && mPlayingMask < 32"));
    EXPECT_GE(m, 0);
    EXPECT_LT(m, 32);
}

TEST(Transforms, TemporaryStrikeChangesSaveWhatTheyChange)
{
    PitchSet s;
    s.mBaseMask = s.mPlayingMask = 4;
    StrikeTransform(s, kStrikeUp1, false);
    EXPECT_EQ(s.mPlayingMask, 8);
    EXPECT_EQ(s.mSavedMask, 4);
    EXPECT_TRUE(s.mRestorePending);

    // " -- " after an earlier temporary change keeps that change for good.
    StrikeTransform(s, kStrikeNone, false);
    EXPECT_EQ(s.mPlayingMask, 8);
    EXPECT_EQ(s.mSavedMask, 0);
    EXPECT_FALSE(s.mRestorePending);

    StrikeTransform(s, kStrikeDown2, true);
    EXPECT_EQ(s.mPlayingMask, 2);
    EXPECT_FALSE(s.mRestorePending);
    StrikeTransform(s, kStrikeFlip, true);
    EXPECT_EQ(s.mPlayingMask, 8);
    StrikeTransform(s, kStrikeOrig, false);
    EXPECT_EQ(s.mPlayingMask, 4);
    EXPECT_FALSE(s.mRestorePending);
    EXPECT_EQ(s.mSavedMask, 0);

    // "Mute" and unknown values change nothing beyond the temporary save.
    StrikeTransform(s, kStrikeMute, false);
    EXPECT_EQ(s.mPlayingMask, 4);
    EXPECT_TRUE(s.mRestorePending);
    StrikeTransform(s, 99, true);
    EXPECT_EQ(s.mPlayingMask, 4);
}

TEST(Transforms, RandomDegreeDrawsFromThePitchSetsOwnGenerator)
{
    PitchSet s;
    s.mRandom.Seed(77, ~77u);
    MwcRandom twin(77, ~77u);
    for (int i = 0; i < 50; ++i)
    {
        StrikeTransform(s, kStrikeRand, true);
        EXPECT_EQ(s.mPlayingMask, twin.NextDegreeMask());
        EXPECT_EQ(__builtin_popcount(s.mPlayingMask), 1);
    }
}

TEST(Transforms, PulseMovesLeaveEachSlotsGeneratorInPlace)
{
    Melody m = Ladder();
    const uint32_t w0 = m.mPitchSets[0].mRandom.W();
    m.mPitchSets[1].mRestorePending = true;
    m.mPitchSets[1].mSavedMask = 5;
    MelodyTransform(m, kMelodyLeft1, true);
    EXPECT_EQ(m.mPitchSets[0].mRandom.W(), w0);
    EXPECT_TRUE(m.mPitchSets[0].mRestorePending);
    EXPECT_EQ(m.mPitchSets[0].mSavedMask, 5);
    EXPECT_EQ(m.mPitchSets[0].mBaseMask, 2);
}

// Flips and shifts in time reverse or rotate the pulses that play and leave the hidden ones
// (beyond the pulse count) where they are: nothing moves out of sight, nothing into it.
TEST(Transforms, MovesInTimeKeepToTheMelodysPulses)
{
    const int lefts[] = {kMelodyLeft1, kMelodyLeft2, kMelodyLeft3};
    const int rights[] = {kMelodyRight1, kMelodyRight2, kMelodyRight3};
    for (int n = 1; n <= kPitchSetsPerMelody; ++n)
    {
        SCOPED_TRACE("pulses " + std::to_string(n));
        const std::vector<int> ladder = {1, 2, 4, 8};
        auto moved = [&](int value, bool permanent)
        {
            Melody m = Ladder();
            m.mNumPulses = n;
            MelodyTransform(m, value, permanent);
            return Masks(m);
        };
        std::vector<int> expected = ladder;
        std::reverse(expected.begin(), expected.begin() + n);
        EXPECT_EQ(moved(kMelodyFlipLR, true), expected);
        EXPECT_EQ(moved(kMelodyFlipLR, false), expected);
        for (int k = 1; k <= 3; ++k)
        {
            expected = ladder;
            std::rotate(expected.begin(), expected.begin() + k % n, expected.begin() + n);
            EXPECT_EQ(moved(lefts[k - 1], true), expected) << "< " << k;
            expected = ladder;
            std::rotate(expected.begin(), expected.begin() + (n - k % n) % n, expected.begin() + n);
            EXPECT_EQ(moved(rights[k - 1], false), expected) << "> " << k;
        }
    }
}

TEST(Transforms, TemporaryMelodyChangesSaveTheFourPitchSets)
{
    Melody m = Ladder();
    MelodyTransform(m, kMelodyUp2, false);
    EXPECT_TRUE(m.mRestorePending);
    EXPECT_EQ(Masks(m), (std::vector<int>{4, 8, 16, 1}));
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(m.mSavedPitchSets[q].mPlayingMask, 1 << q);
    MelodyTransform(m, kMelodyNone, true);
    EXPECT_FALSE(m.mRestorePending);

    // "Orig" brings back the base pitch sets and ends a pending restore.
    MelodyTransform(m, kMelodyFlipTB, false);
    MelodyTransform(m, kMelodyOrig, true);
    EXPECT_EQ(Masks(m), (std::vector<int>{1, 2, 4, 8}));
    EXPECT_FALSE(m.mRestorePending);

    Melody r = Ladder();
    Melody twin = r;
    MelodyTransform(r, kMelodyRand, true);
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(r.mPitchSets[q].mPlayingMask, twin.mPitchSets[q].mRandom.NextDegreeMask());
}

TEST(Transforms, MelodyCopyLeavesSoloBaseAndGeneratorsBehind)
{
    Melody src = Ladder();
    src.mSolo = true;
    src.mMuted = true;
    src.mEnabled = false;
    src.mRepeatCount = 3;
    src.mNumPulses = 2;
    src.mRestorePending = true;
    src.mSavedPitchSets[2].mPlayingMask = 31;
    src.mBasePitchSets[0].mPlayingMask = 30;
    ChordProgression p;
    Melody dst = *p.GetMelody(5, 3);
    const uint32_t w = dst.mPitchSets[1].mRandom.W();
    CopyMelody(dst, src);
    EXPECT_EQ(Masks(dst), Masks(src));
    EXPECT_TRUE(dst.mMuted);
    EXPECT_FALSE(dst.mEnabled);
    EXPECT_EQ(dst.mRepeatCount, 3);
    EXPECT_EQ(dst.mNumPulses, 2);
    EXPECT_TRUE(dst.mRestorePending);
    EXPECT_EQ(dst.mSavedPitchSets[2].mPlayingMask, 31);
    EXPECT_FALSE(dst.mSolo);
    EXPECT_EQ(dst.mBasePitchSets[0].mPlayingMask, 0);
    EXPECT_EQ(dst.mPitchSets[1].mRandom.W(), w);
}

TEST(Transforms, MelodyCommands)
{
    Melody clipboard;
    Melody m = Ladder();
    m.mRestorePending = true;
    ApplyMelodyCommand(&m, kMelodyCmdDisable, true, clipboard);
    EXPECT_FALSE(m.mEnabled);
    EXPECT_FALSE(m.mRestorePending);
    ApplyMelodyCommand(&m, kMelodyCmdEnable, true, clipboard);
    EXPECT_TRUE(m.mEnabled);

    // Paste without a copy pastes the constructed, empty melody.
    ApplyMelodyCommand(&m, kMelodyCmdPaste, true, clipboard);
    EXPECT_EQ(Masks(m), (std::vector<int>{0, 0, 0, 0}));

    Melody source = Ladder();
    ApplyMelodyCommand(&source, kMelodyCmdCopy, true, clipboard);
    ApplyMelodyCommand(&m, kMelodyCmdPaste, true, clipboard);
    EXPECT_EQ(Masks(m), (std::vector<int>{1, 2, 4, 8}));
    EXPECT_EQ(m.mBasePitchSets[3].mPlayingMask, 8); // the paste is the new edited pattern

    m.mPitchSets[2].mRestorePending = true;
    ApplyMelodyCommand(&m, kMelodyCmdClear, true, clipboard);
    for (int q = 0; q < 4; ++q)
    {
        EXPECT_EQ(m.mPitchSets[q].mPlayingMask | m.mPitchSets[q].mBaseMask |
                      m.mPitchSets[q].mSavedMask | m.mBasePitchSets[q].mPlayingMask,
                  0);
        EXPECT_FALSE(m.mPitchSets[q].mRestorePending);
    }

    // Transforms through the command path, temporary when asked.
    ApplyMelodyCommand(&source, kMelodyRight1, false, clipboard);
    EXPECT_EQ(Masks(source), (std::vector<int>{8, 1, 2, 4}));
    EXPECT_TRUE(source.mRestorePending);

    CheckCapture checks;
    ApplyMelodyCommand(nullptr, kMelodyCmdCopy, true, clipboard);
    EXPECT_TRUE(checks.Fired("src/Chord", "pMelody != 0"));
}
