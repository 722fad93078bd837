// Sections that other threads hand to the audio thread: the slots on one thread, then the
// instance lock with real threads. Every section runs once, under the lock, and on the audio
// thread as the caller's own work; when the audio thread stops or waits for the caller, the
// caller takes its section back and runs it itself.

#include "HandedSections.h"
#include "IMutex.h"
#include "ThreadRole.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace
{
using orx::HandedSections;

void Count(void* counter) noexcept
{
    ++*static_cast<int*>(counter);
}

TEST(HandedSections, EachSectionRunsOnceOrIsTakenBack)
{
    HandedSections slots;
    int runs[3] = {};
    EXPECT_FALSE(slots.AnyWaiting());
    const int a = slots.Hand(&Count, &runs[0]);
    const int b = slots.Hand(&Count, &runs[1]);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_TRUE(slots.AnyWaiting());
    EXPECT_FALSE(slots.Ran(a));
    EXPECT_TRUE(slots.TakeBack(b)); // not run yet: its caller runs it
    EXPECT_EQ(slots.RunWaiting(), 1);
    EXPECT_FALSE(slots.AnyWaiting());
    EXPECT_FALSE(slots.TakeBack(a)); // ran: too late to take back
    EXPECT_TRUE(slots.Ran(a));
    EXPECT_EQ(runs[0], 1);
    EXPECT_EQ(runs[1], 0);
    // With every slot taken the next one is refused, and all slots are free again after.
    for (int round = 0; round < 2; ++round)
    {
        int slot[HandedSections::kSlots];
        for (int& s : slot)
            EXPECT_GE(s = slots.Hand(&Count, &runs[2]), 0);
        EXPECT_EQ(slots.Hand(&Count, &runs[2]), -1);
        EXPECT_EQ(slots.RunWaiting(), HandedSections::kSlots);
        for (const int s : slot)
            EXPECT_TRUE(slots.Ran(s));
    }
    EXPECT_EQ(runs[2], 2 * HandedSections::kSlots);
}

// What a section saw when it ran.
struct Seen
{
    int mOnAudio = 0;  // ran on the audio thread
    int mOnCaller = 0; // ran on the calling thread
    int mWrong = 0;    // without the lock, or with the other thread's role or mark
};

// Plays blocks about half a millisecond apart inside a process call, until stopped.
class AudioThread
{
public:
    AudioThread(IMutex& lock, int& shared)
        : mThread(
              [this, &lock, &shared]
              {
                  while (!mStop.load())
                  {
                      const orx::ProcessCallScope audio;
                      lock.EnterFirst();
                      ++shared;
                      lock.Leave();
                      std::this_thread::sleep_for(std::chrono::microseconds(500));
                  }
              })
    {
    }
    ~AudioThread() { Stop(); }
    void Stop()
    {
        mStop = true;
        if (mThread.joinable())
            mThread.join();
    }
    std::thread::id Id() const { return mThread.get_id(); }

private:
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

// Runs `count` sections; with `onAudio`, as many as it takes until that many ran on the audio
// thread, for ten seconds at most. Answers how many it ran.
int RunSections(IMutex& lock, int count, int& shared, Seen& seen, int onAudio = 0)
{
    const std::thread::id caller = std::this_thread::get_id();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int i = 0;
    for (; onAudio == 0 ? i < count
                        : seen.mOnAudio < onAudio && std::chrono::steady_clock::now() < end;
         ++i)
        lock.Run(
            [&]() noexcept
            {
                ++shared;
                const bool here = std::this_thread::get_id() == caller;
                (here ? seen.mOnCaller : seen.mOnAudio)++;
                seen.mWrong += !lock.HeldByCaller() || orx::InProcessCall() ||
                               IMutex::RunsHandedWork() == here;
            });
    return i;
}

TEST(HandedSections, TheAudioThreadRunsWhatOthersHandItAsTheirs)
{
    IMutex lock;
    int shared = 0; // plain: ThreadSanitizer sees any slip
    Seen seen;
    {
        AudioThread audio(lock, shared);
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // its rhythm is learnt
        // How many go to the audio thread depends on how the machine runs it: a busy machine
        // delays it past a caller's wait, or long enough to look stopped. Some do, while it
        // plays, and each of them once.
        const int ran = RunSections(lock, 0, shared, seen, 20);
        EXPECT_EQ(seen.mOnAudio + seen.mOnCaller, ran);
    }
    EXPECT_EQ(seen.mOnAudio, 20);
    EXPECT_EQ(seen.mWrong, 0);

    // Stopped: every section still runs, on its caller.
    Seen after;
    RunSections(lock, 20, shared, after);
    EXPECT_EQ(after.mOnCaller, 20);
    EXPECT_EQ(after.mWrong, 0);
}

TEST(HandedSections, ACallerNeverWaitsForAnAudioThreadThatWaitsForIt)
{
    IMutex lock;
    int shared = 0;
    // A host's audio thread that waits for the host's own lock, which the caller holds while it
    // calls the plug-in: the caller takes its sections back and runs them itself.
    std::mutex hostLock;
    std::atomic<bool> blocked{false};
    std::thread audio(
        [&]
        {
            for (int i = 0; i < 20; ++i)
            {
                lock.EnterFirst();
                ++shared;
                lock.Leave();
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            blocked = true;
            const std::lock_guard host(hostLock);
            lock.EnterFirst();
            ++shared;
            lock.Leave();
        });
    Seen seen;
    {
        const std::lock_guard host(hostLock);
        while (!blocked.load())
            std::this_thread::yield();
        RunSections(lock, 5, shared, seen);
    }
    audio.join();
    EXPECT_EQ(seen.mOnCaller, 5);
    EXPECT_EQ(seen.mWrong, 0);
    EXPECT_EQ(shared, 21 + 5);
}
} // namespace
