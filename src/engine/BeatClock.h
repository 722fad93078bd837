#pragma once
// Turns tempo, sample rate and the chosen beat division into a train of pulses measured in
// whole samples, with swing, carry of the fractional sample and optional humanising.

#include "MwcRandom.h"

#include <cstdint>

struct BeatDivisionParams
{
    int mBase; // 0 whole, 1 half, 2 quarter, 3 eighth, 4 quarter triplet, 5 16th, 6, 7 32nd
    int mKind; // 0 plain, 1 dotted, 2 triplet
    const char* mText;
};

inline constexpr BeatDivisionParams beatDivisionParamsTable[] = {
    {0, 0, "1/1"},   {1, 0, "1/2"},   {2, 0, "1/4"},  {3, 0, "1/8"},  {5, 0, "1/16"},
    {7, 0, "1/32"},  {1, 1, "1/2d"},  {2, 1, "1/4d"}, {3, 1, "1/8d"}, {5, 1, "1/16d"},
    {7, 1, "1/32d"}, {0, 2, "1/1t"},  {1, 2, "1/2t"}, {2, 2, "1/4t"}, {3, 2, "1/8t"},
    {5, 2, "1/16t"}, {7, 2, "1/32t"},
};

inline constexpr int kNumBeatDivisions =
    static_cast<int>(sizeof(beatDivisionParamsTable) / sizeof(beatDivisionParamsTable[0]));

inline constexpr int kDefaultBeatDivision = 3; // "1/8"

// Length of the division in quarter notes; an index outside the table reports a check and
// answers the default division's length.
double BeatDivisionQuarterNotes(int idx) noexcept;

class BeatClock
{
public:
    explicit BeatClock(MwcRandom& random) noexcept;

    // Derives the pulse from tempo, sample rate, division and swing.
    void Recompute() noexcept;

    // Host values of every block: tempo <= 0 becomes 120, a time signature value below 1 makes
    // it 4/4. Recomputes only when something changed; answers whether it did.
    bool UpdateTransport(double tempo, int numerator, int denominator) noexcept;

    void SetSampleRate(double rate) noexcept;
    void SetDivision(int idx) noexcept;
    // Note length in samples from the samples per quarter current now; later tempo changes do
    // not change it.
    int SetNoteLength(int idx) noexcept;
    void SetSwing(double x) noexcept;
    // 0..1 of half a pulse; values outside are held there.
    void SetHumanise(double x) noexcept { mHumanise = x > 1.0 ? 1.0 : (x > 0.0 ? x : 0.0); }

    // Places the next pulse on the first pulse of the grid at or after sample position pos and
    // answers the index of the pulse whose interval contains pos. The grid is the one an
    // uninterrupted run from position 0 produces (swing and fraction carry included, humanising
    // left out), so a jump lands on the same pulses as playing through.
    int Resync(int pos) noexcept;
    void BeginBlock(int length) noexcept;
    // A pulse due exactly at the block's end is taken in this block, with the block length as
    // its offset: a note it cuts short then ends inside this block, one sample before the new
    // note, and the note stream holds the note itself for the next block's first sample.
    bool PulseDue() const noexcept { return mGap <= mBlockRemaining; }
    // Takes the pulse now due and answers its offset in the block (0..block length).
    int NextPulse() noexcept;

    // Sample position of pulse k of the grid described at Resync.
    int64_t PulseTime(int64_t k) const noexcept;

    int SamplesPerPulse() const noexcept { return mSamplesPerPulse; }
    int LongInterval() const noexcept { return mLongInterval; }
    int ShortInterval() const noexcept { return mShortInterval; }
    double SamplesPerQuarter() const noexcept { return mSamplesPerQuarter; }
    double Fraction() const noexcept { return mFraction; }
    double Tempo() const noexcept { return mTempo; }
    int Numerator() const noexcept { return mNumerator; }
    int Denominator() const noexcept { return mDenominator; }
    double SampleRate() const noexcept { return mSampleRate; }
    double DivisionFactor() const noexcept { return mDivisionFactor; }
    double SwingFactor() const noexcept { return mSwingFactor; }
    double Humanise() const noexcept { return mHumanise; }
    int NoteLength() const noexcept { return mNoteLength; }
    int Gap() const noexcept { return mGap; }

private:
    void ApplySwing() noexcept;
    // Extra samples the fraction carry has added over the first k pulses.
    int64_t CarriedSamples(int64_t k) const noexcept;
    // Carry state just before pulse k is taken.
    uint64_t CarryBefore(int64_t k) const noexcept;

    double mSwingFactor = 1.0;
    int mSamplesPerPulse = 0;
    int mLongInterval = 0;
    int mShortInterval = 0;
    int mGap = 0;
    bool mLongNext = true;
    int mBlockRemaining = 0;
    int mPulseOffset = 0;
    double mFraction = 0.0;
    // The fraction and its carry in units of 2^-32 sample: integer sums neither drift over
    // hours nor differ between compilers, and let Resync compute the carry at any pulse.
    uint64_t mFractionStep = 0;
    uint64_t mFractionCarry = 0;
    int mLastJitter = 0; // displacement of the latest pulse from the grid, in samples
    double mHumanise = 0.0;
    MwcRandom& mRandom;
    double mTempo = 120.0;
    int mNumerator = 4;
    int mDenominator = 4;
    double mSampleRate = 44100.0;
    double mSamplesPerQuarter = 22100.0;
    double mDivisionFactor = 1.0;
    int mNoteLength = 0;
};
