#include "BeatClock.h"

#include "Check.h"

#include <cmath>

namespace
{
constexpr const char* kTag = "src/BeatClock";

// Pulses are counted in whole samples held in 32-bit ints: keep absurd host tempi from
// producing a zero-length pulse (a division by zero when seeking) or an overflow.
constexpr double kMinPulse = 1.0;
constexpr double kMaxPulse = 1073741824.0; // 2^30

bool ValidDivision(int idx)
{
    return idx >= 0 && idx < kNumBeatDivisions;
}
} // namespace

double BeatDivisionQuarterNotes(int idx) noexcept
{
    ORX_CHECK(kTag, ValidDivision(idx), "idx >= 0 && idx < NUM_ENTRIES(beatDivisionParamsTable)");
    if (!ValidDivision(idx))
        idx = kDefaultBeatDivision;
    const BeatDivisionParams& p = beatDivisionParamsTable[idx];
    double base;
    switch (p.mBase)
    {
    case 0: base = 4.0; break;
    case 1: base = 2.0; break;
    case 2: base = 1.0; break;
    case 3: base = 0.5; break;
    case 4: base = 1.0 / 3.0; break;
    case 5: base = 0.25; break;
    case 6: base = 1.0 / 6.0; break;
    case 7: base = 0.125; break;
    default: base = 0.5; break;
    }
    double kind = 1.0;
    if (p.mKind == 1)
        kind = 1.5;
    else if (p.mKind == 2)
        kind = 0.3333333333333333;
    return base * kind;
}

BeatClock::BeatClock(MwcRandom& random) noexcept : mRandom(random)
{
    SetSampleRate(44100.0);
}

void BeatClock::Recompute() noexcept
{
    const double whole = mSampleRate * 60.0 / mTempo * 4.0;
    const double bar = whole * mNumerator / mDenominator;
    const double beat = bar / mNumerator;
    mSamplesPerQuarter = beat * mDenominator * 0.25;

    double pulse = mSamplesPerQuarter * mDivisionFactor;
    if (!(pulse >= kMinPulse))
        pulse = kMinPulse;
    else if (pulse > kMaxPulse)
        pulse = kMaxPulse;
    mFraction = pulse - std::floor(pulse);
    mFractionCarry = 0.0;
    mSamplesPerPulse = static_cast<int>(std::floor(pulse));
    ApplySwing();
}

bool BeatClock::UpdateTransport(double tempo, int numerator, int denominator) noexcept
{
    if (!(tempo > 0.0))
        tempo = 120.0;
    if (numerator < 1 || denominator < 1)
    {
        numerator = 4;
        denominator = 4;
    }
    if (tempo == mTempo && numerator == mNumerator && denominator == mDenominator)
        return false;
    mTempo = tempo;
    mNumerator = numerator;
    mDenominator = denominator;
    Recompute();
    return true;
}

void BeatClock::SetSampleRate(double rate) noexcept
{
    mSampleRate = static_cast<double>(static_cast<float>(rate));
    Recompute();
}

void BeatClock::SetDivision(int idx) noexcept
{
    mDivisionFactor = BeatDivisionQuarterNotes(idx);
    Recompute();
}

int BeatClock::SetNoteLength(int idx) noexcept
{
    mNoteLength = static_cast<int>(BeatDivisionQuarterNotes(idx) * mSamplesPerQuarter);
    return mNoteLength;
}

void BeatClock::SetSwing(double x) noexcept
{
    mSwingFactor = 0.5 * x + 1.0;
    ApplySwing();
}

void BeatClock::ApplySwing() noexcept
{
    mLongInterval = static_cast<int>(mSwingFactor * mSamplesPerPulse);
    mShortInterval = 2 * mSamplesPerPulse - mLongInterval;
}

void BeatClock::Resync(int pos) noexcept
{
    const int n = pos / mSamplesPerPulse;
    const int start = static_cast<int>(std::floor(n * mFraction) +
                                       static_cast<double>(mSamplesPerPulse) * n);
    mLastJitter = 0.0;
    mBlockRemaining = 0;
    mGap = (start == pos) ? 0 : mSamplesPerPulse - pos + start;
    mLongNext = (start % 2) == 0;
}

void BeatClock::BeginBlock(int length) noexcept
{
    mGap -= mBlockRemaining;
    mBlockRemaining = length;
    mPulseOffset = 0;
}

int BeatClock::NextPulse() noexcept
{
    mBlockRemaining -= mGap;
    mPulseOffset += mGap;

    int next = mLongNext ? mLongInterval : mShortInterval;
    next = static_cast<int>(next - mLastJitter);
    mFractionCarry += mFraction;
    if (mFractionCarry > 1.0)
    {
        mFractionCarry -= 1.0;
        next += 1;
    }
    const double x = mRandom.NextSigned();
    mLastJitter = x * mHumanise * next * 0.5;
    next = static_cast<int>(next + mLastJitter);
    // Only a pulse of one or two samples with full humanising can round to zero; never let
    // two pulses share a sample forever.
    if (next < 1)
        next = 1;
    mGap = next;
    mLongNext = !mLongNext;
    return mPulseOffset;
}
