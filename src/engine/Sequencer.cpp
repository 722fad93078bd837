#include "Sequencer.h"

SequencerBase::SequencerBase(int size) noexcept
    : mSize(size < 1 ? 1 : size), mLength(mSize), mEndPosition(mSize - 1)
{
}

void SequencerBase::Rewind() noexcept
{
    if (mMode == kModeBack || mMode == kModeBackFwd)
    {
        mForward = false;
        mCursor = mEndPosition;
    }
    else
    {
        mForward = true;
        mCursor = mStartPosition;
    }
    mCountdown = mCountPerStep;
}

void SequencerBase::SetPosition(int q) noexcept
{
    if (q < 0)
        q = 0;
    mCountdown = q % mCountPerStep;
    mCursor = mStartPosition + (q / mCountPerStep) % (mEndPosition - mStartPosition + 1);
}

void SequencerBase::SetStart(int s) noexcept
{
    if (s < 0 || s >= mSize)
        return;
    mStartPosition = s;
    mEndPosition = s + mLength - 1;
    if (mEndPosition > mSize - 1)
        mEndPosition = mSize - 1;
    if (mCursor < s)
        mCursor = s;
}

void SequencerBase::SetLength(int n) noexcept
{
    if (n <= 0 || n > mSize)
        return;
    mLength = n;
    mEndPosition = mStartPosition + n - 1;
    if (mEndPosition > mSize - 1)
        mEndPosition = mSize - 1;
    if (mCursor > mEndPosition)
        mCursor = mEndPosition;
}

void SequencerBase::SetCountPerStep(int count) noexcept
{
    if (count < 1)
        count = 1;
    mCountPerStep = count;
    mCountdown = count;
}

void SequencerBase::Step() noexcept
{
    const int start = mStartPosition;
    const int end = mEndPosition;
    switch (mMode)
    {
    case kModeFwd:
        if (++mCursor > end)
            mCursor = start;
        break;
    case kModeBack:
        if (--mCursor < start)
            mCursor = end;
        break;
    case kModeFwdBack:
    case kModeBackFwd:
        // The ends are played once per sweep: 0 1 2 3 2 1 0 1 ...
        if (mForward)
        {
            if (mCursor == end)
            {
                mForward = false;
                if (--mCursor < start)
                    mCursor = end;
            }
            else if (++mCursor > end)
                mCursor = start;
        }
        else
        {
            if (mCursor == start)
            {
                mForward = true;
                if (++mCursor > end)
                    mCursor = start;
            }
            else if (--mCursor < start)
                mCursor = end;
        }
        break;
    case kModeRandom:
    {
        const int numActivePositions = end - start + 1;
        ORX_CHECK(kSequencerTag, numActivePositions > 0, "numActivePositions > 0");
        if (numActivePositions <= 0)
            break;
        mCursor = mPositionRandom.NextPosition(start, numActivePositions);
        ORX_CHECK(kSequencerTag, (mStartPosition <= mCursor) && (mCursor <= mEndPosition),
                  "(mStartPosition <= mCursor) && (mCursor <= mEndPosition)");
        break;
    }
    default:
        break; // an unknown mode keeps the cursor where it is
    }
}
