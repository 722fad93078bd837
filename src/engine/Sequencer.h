#pragma once
// The stepping core shared by the chord progression player and the two modifier sequencers: a
// cursor over a span [start, end] of a fixed number of positions, moved in one of five
// direction modes, one step per a given number of pulses; and the eight-step sequencers whose
// steps carry a modifier value, a temporary/permanent choice and a probability.

#include "Check.h"
#include "MwcRandom.h"

inline constexpr const char* kSequencerTag = "src/Sequencer";

enum ESequencerMode
{
    kModeFwd = 0,
    kModeBack = 1,
    kModeFwdBack = 2,
    kModeBackFwd = 3,
    kModeRandom = 4,
    kNumSequencerModes
};

class SequencerBase
{
public:
    explicit SequencerBase(int size) noexcept;
    virtual ~SequencerBase() = default;

    // Slot 0: back to the first position of the direction (the end for "Back" and "BackFwd").
    virtual void Rewind() noexcept;
    // Slot 1: the position an uninterrupted run would have reached after q pulses.
    virtual void SetPosition(int q) noexcept;

    int getSize() const noexcept { return mSize; }
    // Ignored unless 0 <= s < size; a cursor below the new start is raised to it.
    void SetStart(int s) noexcept;
    // Ignored unless 0 < n <= size; a cursor beyond the new end is lowered to it.
    void SetLength(int n) noexcept;
    void SetMode(int mode) noexcept { mMode = mode; }
    // Pulses per step and the countdown both; values below 1 become 1.
    void SetCountPerStep(int count) noexcept;
    // Moves the cursor one position in the current mode.
    void Step() noexcept;

    int Cursor() const noexcept { return mCursor; }
    int StartPosition() const noexcept { return mStartPosition; }
    int EndPosition() const noexcept { return mEndPosition; }
    int Length() const noexcept { return mLength; }
    int Mode() const noexcept { return mMode; }
    bool Forward() const noexcept { return mForward; }
    int CountPerStep() const noexcept { return mCountPerStep; }
    int Countdown() const noexcept { return mCountdown; }

protected:
    int mSize;
    int mStartPosition = 0;
    int mLength;
    int mEndPosition;
    int mCursor = 0;
    bool mForward = true;
    int mMode = kModeFwd;
    MwcRandom mPositionRandom;
    int mCountPerStep = 1;
    int mCountdown = 1;
};

// One step of a modifier sequencer: its value and whether its change is kept.
template <typename E>
struct EnumStep
{
    int mPermanence = 0; // 0 "Temp", 1 "Perm"
    E mValue{};
};

template <typename T, int SIZE>
class StepSequencer : public SequencerBase
{
public:
    StepSequencer() noexcept : SequencerBase(SIZE) {}

    bool Running() const noexcept { return mRunning; }
    void SetRunning(bool running) noexcept { mRunning = running; }

    // An index outside the steps reports and answers the nearest step.
    const T& StepAt(int idx) const noexcept
    {
        ORX_CHECK(kSequencerTag, idx >= 0 && idx < SIZE, "idx >= 0 && idx < SIZE");
        return mSteps[idx < 0 ? 0 : (idx >= SIZE ? SIZE - 1 : idx)];
    }

    // One pulse while running: answers true when the cursor moved, the only pulses that may
    // apply a modifier.
    bool Pulse() noexcept
    {
        if (!mRunning)
            return false;
        if (--mCountdown >= 1)
            return false;
        Step();
        mCountdown = mCountPerStep;
        return true;
    }

protected:
    // Writes of a step report an index outside the steps and change nothing.
    T* WritableStep(int idx) noexcept
    {
        ORX_CHECK(kSequencerTag, 0 <= idx && idx < SIZE, "0 <= idx && idx < SIZE");
        return (idx >= 0 && idx < SIZE) ? &mSteps[idx] : nullptr;
    }

    bool mRunning = true;
    T mSteps[SIZE];
};

template <typename T, int SIZE>
class ProbabilityStepSequencer : public StepSequencer<T, SIZE>
{
public:
    ProbabilityStepSequencer() noexcept { SetAllProbabilities(1.0); }

    void SetAllProbabilities(double p) noexcept
    {
        for (double& q : mProbabilities)
            q = p;
    }
    void SetProbability(int idx, double p) noexcept
    {
        ORX_CHECK(kSequencerTag, 0 <= idx && idx < SIZE, "0 <= idx && idx < SIZE");
        if (idx >= 0 && idx < SIZE)
            mProbabilities[idx] = p;
    }
    double Probability(int idx) const noexcept
    {
        ORX_CHECK(kSequencerTag, idx >= 0 && idx < SIZE, "idx >= 0 && idx < SIZE");
        return mProbabilities[idx < 0 ? 0 : (idx >= SIZE ? SIZE - 1 : idx)];
    }

    // Whether the step at the cursor applies this time: a draw of its own generator at or
    // below the step's probability.
    bool ProbabilityTest() noexcept
    {
        const double u = mProbabilityRandom.NextUnit();
        return u <= Probability(this->mCursor);
    }

protected:
    MwcRandom mProbabilityRandom;
    double mProbabilities[SIZE];
};

template <typename E, int SIZE>
class EnumProbabilityStepSequencer : public ProbabilityStepSequencer<EnumStep<E>, SIZE>
{
public:
    explicit EnumProbabilityStepSequencer(E initial) noexcept
    {
        for (EnumStep<E>& step : this->mSteps)
        {
            step.mPermanence = 0;
            step.mValue = initial;
        }
    }

    // Values come from enumerated parameters, so they lie in the enumeration already.
    void SetStepValue(int idx, int value) noexcept
    {
        if (EnumStep<E>* step = this->WritableStep(idx))
            step->mValue = static_cast<E>(value);
    }
    void SetStepPermanence(int idx, int permanence) noexcept
    {
        if (EnumStep<E>* step = this->WritableStep(idx))
            step->mPermanence = permanence;
    }
};
