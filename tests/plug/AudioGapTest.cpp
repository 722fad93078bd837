// Other threads' sections under the instance lock start only early in the audio thread's pauses:
// the rule tried on given times, then the lock with real threads, where what matters is that
// nobody is kept waiting for an audio thread that has stopped or waits for the caller.

#include "AudioGap.h"
#include "IMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace
{
constexpr std::int64_t kUs = 1000;
constexpr std::int64_t kMs = 1000 * kUs;

TEST(AudioGapTest, RhythmIsLearntSmoothedAndLearntAgainAfterAStop)
{
    orx::AudioRhythm r;
    // The first ask gives no interval; nor does one while the last block has not ended.
    EXPECT_EQ(orx::NextAudioPeriod(r, 5 * kMs), 0);
    r = {5 * kMs, 5 * kMs + 50 * kUs, 0};
    EXPECT_EQ(orx::NextAudioPeriod(r, 8 * kMs), 3 * kMs);
    r.mPeriod = 3 * kMs;
    r.mLeftAt = r.mAskedAt - 1;
    EXPECT_EQ(orx::NextAudioPeriod(r, 8 * kMs), 3 * kMs);
    // One late block moves the period an eighth of the way.
    r.mLeftAt = r.mAskedAt + 50 * kUs;
    EXPECT_EQ(orx::NextAudioPeriod(r, 5 * kMs + 11 * kMs), (7 * 3 * kMs + 11 * kMs) / 8);
    // A block long after the last: the host stopped; the count starts afresh.
    EXPECT_EQ(orx::NextAudioPeriod(r, 5 * kMs + 13 * kMs), 13 * kMs);
}

TEST(AudioGapTest, SectionsStartEarlyInThePauseOrPastTheDeadline)
{
    // Blocks every 3 ms: a section may start until 1 ms (the longest margin) before the next.
    const orx::AudioRhythm r{10 * kMs, 10 * kMs + 100 * kUs, 3 * kMs};
    const std::int64_t deadline = orx::GapDeadline(r, 11 * kMs);
    EXPECT_EQ(deadline, 17 * kMs);
    EXPECT_TRUE(orx::AskForGap(r, 10 * kMs + 200 * kUs, deadline).mStart);
    EXPECT_TRUE(orx::AskForGap(r, 12 * kMs, deadline).mStart);
    const orx::GapAnswer late = orx::AskForGap(r, 12 * kMs + 100 * kUs, deadline);
    EXPECT_FALSE(late.mStart);
    EXPECT_EQ(late.mPause, 900 * kUs); // until the next block asks
    // While the audio thread asks or holds, the caller lets it go first.
    const orx::AudioRhythm in{13 * kMs, r.mLeftAt, r.mPeriod};
    EXPECT_FALSE(orx::AskForGap(in, 13 * kMs + 10 * kUs, deadline).mStart);
    EXPECT_EQ(orx::AskForGap(in, 13 * kMs + 10 * kUs, deadline).mPause, 0);
    EXPECT_TRUE(orx::AskForGap(in, deadline, deadline).mStart);
    // An audio thread silent for four periods has stopped; none known, nothing to wait for.
    EXPECT_TRUE(orx::AskForGap(r, r.mLeftAt + 12 * kMs + 1, orx::GapDeadline(r, 30 * kMs)).mStart);
    EXPECT_TRUE(orx::AskForGap(orx::AudioRhythm{}, 5 * kMs, 5 * kMs).mStart);
    // Short periods keep a quarter of the pause for starting.
    const orx::AudioRhythm quick{0, 10 * kUs, 200 * kUs};
    EXPECT_EQ(orx::GapMargin(quick.mPeriod), 150 * kUs);
    EXPECT_TRUE(orx::AskForGap(quick, 50 * kUs, kMs).mStart);
    EXPECT_FALSE(orx::AskForGap(quick, 51 * kUs, kMs).mStart);
}

TEST(AudioGapTest, SectionsGoToAnAudioThreadThatPlaysShortBlocks)
{
    const orx::AudioRhythm r{10 * kMs, 10 * kMs + 50 * kUs, kMs};
    EXPECT_TRUE(orx::HandOverToAudio(r, 11 * kMs));
    // Silent for four periods: stopped. Long periods: sections run in the gaps. None known.
    EXPECT_TRUE(orx::HandOverToAudio(r, r.mLeftAt + 4 * kMs));
    EXPECT_FALSE(orx::HandOverToAudio(r, r.mLeftAt + 4 * kMs + 1));
    EXPECT_TRUE(orx::HandOverToAudio({10 * kMs, 10 * kMs + 50 * kUs, 4 * kMs}, 11 * kMs));
    EXPECT_FALSE(orx::HandOverToAudio({10 * kMs, 10 * kMs + 50 * kUs, 4 * kMs + 1}, 11 * kMs));
    EXPECT_FALSE(orx::HandOverToAudio(orx::AudioRhythm{}, 5 * kMs));
    // A caller waits four periods for its section to run, and two milliseconds at least.
    EXPECT_EQ(orx::HandOverDeadline(r, 11 * kMs), 15 * kMs);
    EXPECT_EQ(orx::HandOverDeadline({0, 0, 200 * kUs}, 11 * kMs), 13 * kMs);
}

// An audio thread that plays blocks a millisecond apart, each under the lock.
void PlayBlocks(IMutex& lock, int blocks, int& shared)
{
    for (int i = 0; i < blocks; ++i)
    {
        lock.EnterFirst();
        ++shared;
        lock.Leave();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(AudioGapTest, LockExcludesAndNeverWaitsForAnAudioThreadThatCannotCome)
{
    IMutex lock;
    int shared = 0; // touched only under the lock: ThreadSanitizer sees any slip
    std::thread audio([&] { PlayBlocks(lock, 40, shared); });
    for (int i = 0; i < 200; ++i)
    {
        lock.Enter();
        lock.Enter(); // nested: counted, never waits
        ++shared;
        lock.Leave();
        lock.Leave();
    }
    audio.join();
    // Stopped: sections go on at once, rhythm or not.
    for (int i = 0; i < 1000; ++i)
    {
        lock.Enter();
        ++shared;
        lock.Leave();
    }
    EXPECT_EQ(shared, 40 + 200 + 1000);

    // A host's audio thread waiting for the host's own lock, which the caller holds while it
    // calls the plug-in: the caller waits for the gap a moment at most, then once only.
    std::mutex hostLock;
    std::thread audio2(
        [&]
        {
            PlayBlocks(lock, 20, shared);
            const std::lock_guard host(hostLock);
            PlayBlocks(lock, 1, shared);
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        const std::lock_guard host(hostLock);
        for (int i = 0; i < 100; ++i)
        {
            lock.Enter();
            ++shared;
            lock.Leave();
        }
    }
    audio2.join();
    EXPECT_EQ(shared, 1240 + 21 + 100);
}

// The audio thread tells whether its wait was for another thread: the lock-wait bench tells
// those waits apart from the machine's own stalls by it.
TEST(AudioGapTest, AudioThreadTellsWhetherAnotherThreadHeldTheLock)
{
    IMutex lock;
    std::atomic<bool> alone{false};
    std::atomic<bool> held{false};
    std::atomic<bool> asking{false};
    bool found[3] = {true, false, true};
    // Its own thread: a thread that once played blocks keeps that mark.
    std::thread audio(
        [&]
        {
            lock.EnterFirst();
            found[0] = lock.AudioFoundHeld();
            lock.Leave();
            alone = true;
            while (!held)
                std::this_thread::yield();
            asking = true;
            lock.EnterFirst();
            found[1] = lock.AudioFoundHeld();
            lock.Leave();
            lock.EnterFirst();
            found[2] = lock.AudioFoundHeld();
            lock.Leave();
        });
    while (!alone)
        std::this_thread::yield();
    lock.Enter();
    held = true;
    while (!asking)
        std::this_thread::yield();
    // Long enough for the audio thread to reach the lock after it said it would ask.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    lock.Leave();
    audio.join();
    EXPECT_FALSE(found[0]);
    EXPECT_TRUE(found[1]);
    EXPECT_FALSE(found[2]);
}
} // namespace
