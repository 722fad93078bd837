#pragma once
// The host's transport for one block, as the host answered it. The caller has already put 0 for
// a missing or negative sample position and "running" when the host gives no transport; the
// engine itself replaces a tempo <= 0 by 120 and a time signature value below 1 by 4/4.

struct TransportState
{
    double mTempo = 120.0;
    int mNumerator = 4;
    int mDenominator = 4;
    int mSamplePos = 0; // whole samples since the host's transport start
    bool mRunning = true;
};
