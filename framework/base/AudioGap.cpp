#include "AudioGap.h"

#include <algorithm>

namespace orx
{
namespace
{
constexpr std::int64_t kLongestMargin = 1000000;
// An audio thread not heard from for this many periods has stopped: nothing to keep clear of.
constexpr std::int64_t kStoppedAfter = 4;
// Nobody waits for a gap longer than this many periods.
constexpr std::int64_t kLongestWait = 2;
// Sections go to an audio thread whose period is at most this: 128 frames at 44.1 kHz (2.9 ms)
// with room for a host's jitter, not 256 at 48 kHz (5.3 ms).
constexpr std::int64_t kLongestHandOverPeriod = 4000000;
// A handed section waits this many periods for its block, and at least kShortestHandOverWait.
constexpr std::int64_t kHandOverWait = 4;
constexpr std::int64_t kShortestHandOverWait = 2000000;
} // namespace

std::int64_t GapMargin(std::int64_t period) noexcept
{
    return std::min(period * 3 / 4, kLongestMargin);
}

std::int64_t NextAudioPeriod(const AudioRhythm& before, std::int64_t now) noexcept
{
    // Only an ask that follows a block which ended gives an interval; the first gives none.
    if (before.mAskedAt <= 0 || before.mLeftAt < before.mAskedAt)
        return before.mPeriod;
    const std::int64_t interval = now - before.mAskedAt;
    if (before.mPeriod <= 0 || interval > kStoppedAfter * before.mPeriod)
        return interval;
    // Smoothed, so that one late block does not open the gap wide.
    return (7 * before.mPeriod + interval) / 8;
}

GapAnswer AskForGap(const AudioRhythm& r, std::int64_t now, std::int64_t deadline) noexcept
{
    if (r.mPeriod <= 0 || now >= deadline)
        return {};
    if (r.mAskedAt > r.mLeftAt)
        return {false, 0}; // in: it leaves within its block's work
    const std::int64_t nextAsk = r.mAskedAt + r.mPeriod;
    if (now + GapMargin(r.mPeriod) <= nextAsk || now - r.mLeftAt > kStoppedAfter * r.mPeriod)
        return {};
    // Too close to the next block: that comes about a period after the last one asked.
    return {false, std::max<std::int64_t>(std::min(nextAsk, deadline) - now, 0)};
}

std::int64_t GapDeadline(const AudioRhythm& r, std::int64_t now) noexcept
{
    return now + kLongestWait * r.mPeriod;
}

bool HandOverToAudio(const AudioRhythm& r, std::int64_t now) noexcept
{
    if (r.mPeriod <= 0 || r.mPeriod > kLongestHandOverPeriod)
        return false;
    const std::int64_t heard = std::max(r.mAskedAt, r.mLeftAt);
    return now - heard <= kStoppedAfter * r.mPeriod;
}

std::int64_t HandOverDeadline(const AudioRhythm& r, std::int64_t now) noexcept
{
    return now + std::max(kHandOverWait * r.mPeriod, kShortestHandOverWait);
}
} // namespace orx
