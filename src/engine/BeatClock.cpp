#include "BeatClock.h"

#include "Check.h"

#include <cmath>

namespace
{
constexpr const char* kTag = "src/BeatClock";

// Pulses are counted in whole samples held in 32-bit ints: keep absurd host tempi from
// producing a zero-length pulse (a division by zero when seeking) or an overflow. A swung
// interval (1.5 pulses) that also takes back a full displacement stays below 2^31 this way.
constexpr double kMinPulse = 1.0;
constexpr double kMaxPulse = 268435456.0; // 2^28 samples, over 1.5 hours at 48 kHz
constexpr uint64_t kCarryOne = uint64_t{1} << 32;

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
    case 0:
        base = 4.0;
        break;
    case 1:
        base = 2.0;
        break;
    case 2:
        base = 1.0;
        break;
    case 3:
        base = 0.5;
        break;
    case 4:
        base = 1.0 / 3.0;
        break;
    case 5:
        base = 0.25;
        break;
    case 6:
        base = 1.0 / 6.0;
        break;
    case 7:
        base = 0.125;
        break;
    default:
        base = 0.5;
        break;
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
    mFractionStep = static_cast<uint64_t>(mFraction * 4294967296.0);
    if (mFractionStep >= kCarryOne)
        mFractionStep = kCarryOne - 1;
    mFractionCarry = 0;
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
    // Same bounds as the pulse: an absurd host tempo must not overflow the conversion. A note
    // is at least one sample long: a length of 0 would schedule no note-off, and at absurd
    // rates (a sample rate of 1 Hz) every note would then sound until the transport stops.
    const double length = BeatDivisionQuarterNotes(idx) * mSamplesPerQuarter;
    if (!(length >= 1.0))
        mNoteLength = 1;
    else if (length > kMaxPulse)
        mNoteLength = static_cast<int>(kMaxPulse);
    else
        mNoteLength = static_cast<int>(length);
    return mNoteLength;
}

void BeatClock::SetSwing(double x) noexcept
{
    // Swing runs from 0 to 1: a longer first interval would leave none for the second.
    x = x > 1.0 ? 1.0 : (x > 0.0 ? x : 0.0);
    mSwingFactor = 0.5 * x + 1.0;
    ApplySwing();
}

void BeatClock::ApplySwing() noexcept
{
    mLongInterval = static_cast<int>(mSwingFactor * mSamplesPerPulse);
    mShortInterval = static_cast<int>(2 * static_cast<int64_t>(mSamplesPerPulse) - mLongInterval);
}

int64_t BeatClock::CarriedSamples(int64_t k) const noexcept
{
    // The carry adds a sample when it exceeds one strictly, so a carry that reaches exactly one
    // waits for the next pulse: k pulses add ceil(k * fraction) - 1 samples, or none.
    const uint64_t total = static_cast<uint64_t>(k) * mFractionStep;
    return total == 0 ? 0 : static_cast<int64_t>((total - 1) >> 32);
}

uint64_t BeatClock::CarryBefore(int64_t k) const noexcept
{
    return static_cast<uint64_t>(k) * mFractionStep -
           static_cast<uint64_t>(CarriedSamples(k)) * kCarryOne;
}

int64_t BeatClock::PulseTime(int64_t k) const noexcept
{
    if (k <= 0)
        return 0;
    return (k + 1) / 2 * mLongInterval + k / 2 * mShortInterval + CarriedSamples(k);
}

int BeatClock::Resync(int pos) noexcept
{
    if (pos < 0)
        pos = 0;
    // Estimate from the mean pulse length, then settle on the pulse whose interval holds pos.
    int64_t n = static_cast<int64_t>(pos / (mSamplesPerPulse + mFraction));
    while (n > 0 && PulseTime(n) > pos)
        --n;
    while (PulseTime(n + 1) <= pos)
        ++n;
    const int64_t next = PulseTime(n) == pos ? n : n + 1;
    mLastJitter = 0;
    mBlockRemaining = 0;
    mGap = static_cast<int>(PulseTime(next) - pos);
    // Pulse 0 starts a long interval, so even pulses start the long ones.
    mLongNext = next % 2 == 0;
    mFractionCarry = CarryBefore(next);
    return static_cast<int>(n);
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

    // Take back the previous pulse's displacement, in the whole samples it was applied with:
    // truncated fractions taken back would lose a sample per pulse and drift off the grid.
    int taken = (mLongNext ? mLongInterval : mShortInterval) - mLastJitter;
    mFractionCarry += mFractionStep;
    if (mFractionCarry > kCarryOne)
    {
        mFractionCarry -= kCarryOne;
        taken += 1;
    }
    const double x = mRandom.NextSigned();
    int next = taken + static_cast<int>(x * mHumanise * taken * 0.5);
    // Only a pulse of one or two samples with full humanising can round to zero; never let
    // two pulses share a sample forever.
    if (next < 1)
        next = 1;
    mLastJitter = next - taken;
    mGap = next;
    mLongNext = !mLongNext;
    return mPulseOffset;
}
