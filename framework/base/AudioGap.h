#pragma once
// When a thread other than the audio thread may start a section under the instance lock: only
// early in the pause between two of the audio thread's blocks, so that a section the scheduler
// stretches far beyond its few microseconds still ends before the next block asks for the lock.
// Pure functions of the times they are given (steady clock, nanoseconds), so that the rule can
// be tried without threads or clocks.

#include <cstdint>

namespace orx
{
// What the audio thread's entries tell: when it last asked for the lock, when the last block
// that let it go again had asked (earlier than the first while a block holds or asks), and the
// smoothed time from one ask to the next (0 until known).
struct AudioRhythm
{
    std::int64_t mAskedAt = 0;
    std::int64_t mLeftAt = 0;
    std::int64_t mPeriod = 0;
};

// How long before the audio thread's next block a section may still start: three quarters of a
// period, and no more than a millisecond (hosts' periods are a few milliseconds).
std::int64_t GapMargin(std::int64_t period) noexcept;

// The period after an ask at `now`, given the rhythm before it. A block that comes long after
// the last (the host stopped and started again) starts the count afresh.
std::int64_t NextAudioPeriod(const AudioRhythm& before, std::int64_t now) noexcept;

// Whether a section may start at `now`; when not, how long to let the processor go before
// looking again (0: give it up once, the audio thread is in and leaves soon). Past `deadline`
// a section starts whatever the rhythm, so that a host whose audio thread waits for the caller
// stalls it for a moment only.
struct GapAnswer
{
    bool mStart = true;
    std::int64_t mPause = 0;
};
GapAnswer AskForGap(const AudioRhythm& r, std::int64_t now, std::int64_t deadline) noexcept;

// How long a caller arriving at `now` waits for a gap at most.
std::int64_t GapDeadline(const AudioRhythm& r, std::int64_t now) noexcept;

// Whether a section is handed to the audio thread (IMutex::Run) instead of run in a gap: while
// the audio thread plays at a period short enough that waiting for its next block costs an
// editor nothing it would notice. At longer periods a section in a gap has more than a
// millisecond before the next block, which the machine's stalls rarely reach.
bool HandOverToAudio(const AudioRhythm& r, std::int64_t now) noexcept;

// Until when a caller that handed a section over at `now` waits for the audio thread to run
// it; past that it takes it back and runs it itself (the host stopped, or its audio thread
// waits for the caller).
std::int64_t HandOverDeadline(const AudioRhythm& r, std::int64_t now) noexcept;
} // namespace orx
