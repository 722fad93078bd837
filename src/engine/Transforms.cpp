#include "Transforms.h"

#include "Check.h"
#include "Modifiers.h"

#include <utility>

namespace
{
int UpOne(int m) noexcept
{
    return ((m & 15) << 1) | ((m >> 4) & 1);
}

int DownOne(int m) noexcept
{
    return ((m >> 1) & 15) | ((m & 1) << 4);
}

void SwapPitchSets(PitchSet& a, PitchSet& b) noexcept
{
    PitchSet held;
    MovePitchSet(held, a);
    MovePitchSet(a, b);
    MovePitchSet(b, held);
}

// One pulse earlier within the melody's n pulses: 0 <- 1, ..., n - 1 <- old 0.
void RotateLeft(Melody& m, int n) noexcept
{
    PitchSet first;
    MovePitchSet(first, m.mPitchSets[0]);
    for (int p = 0; p + 1 < n; ++p)
        MovePitchSet(m.mPitchSets[p], m.mPitchSets[p + 1]);
    MovePitchSet(m.mPitchSets[n - 1], first);
}

// One pulse later within the melody's n pulses: n - 1 <- n - 2, ..., 0 <- old n - 1.
void RotateRight(Melody& m, int n) noexcept
{
    PitchSet last;
    MovePitchSet(last, m.mPitchSets[n - 1]);
    for (int p = n - 1; p > 0; --p)
        MovePitchSet(m.mPitchSets[p], m.mPitchSets[p - 1]);
    MovePitchSet(m.mPitchSets[0], last);
}
} // namespace

int MaskUp(int mask, int k) noexcept
{
    // Five steps bring every degree back to itself.
    for (int i = 0; i < k % kNumPitchDegrees; ++i)
        mask = UpOne(mask);
    return mask;
}

int MaskDown(int mask, int k) noexcept
{
    for (int i = 0; i < k % kNumPitchDegrees; ++i)
        mask = DownOne(mask);
    return mask;
}

int MaskMirror(int mask) noexcept
{
    ORX_CHECK(kChordTag, mask >= 0 && mask < kMaskLimit, "mPlayingMask >= 0 && mPlayingMask < 32");
    int out = 0;
    for (int i = 0; i < kNumPitchDegrees; ++i)
        if (mask & (1 << i))
            out |= 1 << (kNumPitchDegrees - 1 - i);
    return out;
}

void MovePitchSet(PitchSet& dst, const PitchSet& src) noexcept
{
    dst.mBaseMask = src.mBaseMask;
    dst.mPlayingMask = src.mPlayingMask;
    dst.mSavedMask = src.mSavedMask;
    dst.mRestorePending = src.mRestorePending;
}

void CopyMelody(Melody& dst, const Melody& src) noexcept
{
    if (&dst == &src)
        return;
    dst.mNumPulses = src.mNumPulses;
    for (int p = 0; p < kPitchSetsPerMelody; ++p)
    {
        MovePitchSet(dst.mPitchSets[p], src.mPitchSets[p]);
        dst.mSavedPitchSets[p] = src.mSavedPitchSets[p];
    }
    for (int i = 0; i < 4; ++i)
        dst.mSpare[i] = src.mSpare[i];
    dst.mEnabled = src.mEnabled;
    dst.mMuted = src.mMuted;
    dst.mRepeatCount = src.mRepeatCount;
    dst.mRestorePending = src.mRestorePending;
}

void StrikeTransform(PitchSet& set, int value, bool permanent) noexcept
{
    if (!permanent)
    {
        set.mSavedMask = set.mPlayingMask;
        set.mRestorePending = true;
    }
    switch (value)
    {
    case kStrikeUp1:
    case kStrikeUp2:
    case kStrikeUp3:
    case kStrikeUp4:
        set.mPlayingMask = MaskUp(set.mPlayingMask, value - kStrikeUp1 + 1);
        break;
    case kStrikeDown1:
    case kStrikeDown2:
    case kStrikeDown3:
    case kStrikeDown4:
        set.mPlayingMask = MaskDown(set.mPlayingMask, value - kStrikeDown1 + 1);
        break;
    case kStrikeFlip:
        set.mPlayingMask = MaskMirror(set.mPlayingMask);
        break;
    case kStrikeRand:
        set.mPlayingMask = set.mRandom.NextDegreeMask();
        break;
    case kStrikeNone:
        // Undoes the save above, or makes an earlier temporary change permanent.
        set.mSavedMask = 0;
        set.mRestorePending = false;
        break;
    case kStrikeOrig:
        set.mSavedMask = 0;
        set.mRestorePending = false;
        set.mPlayingMask = set.mBaseMask;
        break;
    default:
        break; // "Mute" and unknown values change nothing
    }
}

void MelodyTransform(Melody& melody, int value, bool permanent) noexcept
{
    if (!permanent)
    {
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            melody.mSavedPitchSets[p] = melody.mPitchSets[p];
        melody.mRestorePending = true;
    }
    PitchSet* sets = melody.mPitchSets;
    // Moves in time stay within the pulses that play: the pitch sets beyond them are hidden,
    // and a note moved there would fall silent (one moved from there would sound unseen).
    const int pulses = ClampPulseCount(melody.mNumPulses);
    switch (value)
    {
    case kMelodyFlipLR:
        for (int p = 0; p < pulses / 2; ++p)
            SwapPitchSets(sets[p], sets[pulses - 1 - p]);
        break;
    case kMelodyFlipTB:
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            sets[p].mPlayingMask = MaskMirror(sets[p].mPlayingMask);
        break;
    case kMelodyLeft1:
    case kMelodyLeft2:
    case kMelodyLeft3:
        for (int k = 0; k <= value - kMelodyLeft1; ++k)
            RotateLeft(melody, pulses);
        break;
    case kMelodyRight1:
    case kMelodyRight2:
    case kMelodyRight3:
        for (int k = 0; k <= value - kMelodyRight1; ++k)
            RotateRight(melody, pulses);
        break;
    case kMelodyUp1:
    case kMelodyUp2:
    case kMelodyUp3:
    case kMelodyUp4:
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            sets[p].mPlayingMask = MaskUp(sets[p].mPlayingMask, value - kMelodyUp1 + 1);
        break;
    case kMelodyDown1:
    case kMelodyDown2:
    case kMelodyDown3:
    case kMelodyDown4:
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            sets[p].mPlayingMask = MaskDown(sets[p].mPlayingMask, value - kMelodyDown1 + 1);
        break;
    case kMelodyNone:
        melody.mRestorePending = false;
        break;
    case kMelodyRand:
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            sets[p].mPlayingMask = sets[p].mRandom.NextDegreeMask();
        break;
    case kMelodyOrig:
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            sets[p] = melody.mBasePitchSets[p];
        melody.mRestorePending = false;
        break;
    default:
        break;
    }
}

void ClearMelody(Melody& melody) noexcept
{
    for (int p = 0; p < kPitchSetsPerMelody; ++p)
    {
        PitchSet& set = melody.mPitchSets[p];
        set.mBaseMask = set.mPlayingMask = set.mSavedMask = 0;
        set.mRestorePending = false;
        melody.mBasePitchSets[p] = set;
    }
    melody.mRestorePending = false;
}

void ApplyMelodyCommand(Melody* pMelody, int code, bool permanent, Melody& clipboard) noexcept
{
    ORX_CHECK(kChordTag, pMelody != nullptr, "pMelody != 0");
    if (!pMelody)
        return;
    Melody& m = *pMelody;
    if (code >= 0 && code < kNumMelodyModifiers)
    {
        MelodyTransform(m, code, permanent);
        return;
    }
    switch (code)
    {
    case kMelodyCmdEnable:
        m.mEnabled = true;
        m.mRestorePending = false;
        break;
    case kMelodyCmdDisable:
        m.mEnabled = false;
        m.mRestorePending = false;
        break;
    case kMelodyCmdCopy:
        CopyMelody(clipboard, m);
        break;
    case kMelodyCmdPaste:
        CopyMelody(m, clipboard);
        m.mRestorePending = false;
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            m.mBasePitchSets[p] = m.mPitchSets[p];
        break;
    case kMelodyCmdClear:
        ClearMelody(m);
        break;
    default:
        break;
    }
}
