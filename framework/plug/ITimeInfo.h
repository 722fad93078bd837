#pragma once
// The transport as the plug-in base answers it from the host: what the process block reads at
// the start of every block. The defaults are the answers for a host that gives nothing.

struct ITimeInfo
{
    double mSamplePos = -1.0;  // frames since the host's transport start
    double mTempo = 120.0;     // beats per minute
    double mMusicalPos = -1.0; // in quarter notes
    double mBarStartPos = -1.0;
    int mNumerator = 4;
    int mDenominator = 4;
    double mCycleStart = -1.0;
    double mCycleEnd = -1.0;
    bool mPlaying = false;
    bool mCycling = false;
};
