#pragma once
// The frame timer of a window layer that has no timers of its own (X11): the host calls in
// when it likes (effEditIdle), and the clock says whether a frame is due by a monotonic time,
// whatever the calling rate. A frame is due once per period; a caller that comes late gets one
// frame, not the ones it missed, and the next is a full period later.

#include <chrono>

class FrameClock
{
public:
    using Clock = std::chrono::steady_clock;

    void Start(int periodMs, Clock::time_point now) noexcept
    {
        mPeriod = std::chrono::milliseconds(periodMs > 0 ? periodMs : 1);
        mNext = now;
        mRunning = true;
    }
    void Stop() noexcept { mRunning = false; }
    bool Running() const noexcept { return mRunning; }

    // Whether a frame is due at now; if so the next one is scheduled.
    bool Due(Clock::time_point now) noexcept
    {
        if (!mRunning || now < mNext)
            return false;
        mNext += mPeriod;
        if (mNext <= now)
            mNext = now + mPeriod;
        return true;
    }

    // Milliseconds until the next frame (0 when due, a large number when stopped).
    int MsUntilDue(Clock::time_point now) const noexcept
    {
        if (!mRunning)
            return 1000;
        if (now >= mNext)
            return 0;
        return static_cast<int>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(mNext - now).count()) +
               1;
    }

private:
    Clock::duration mPeriod{};
    Clock::time_point mNext{};
    bool mRunning = false;
};
