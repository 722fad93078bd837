#include "HostNotices.h"
#include "IMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <random>
#include <thread>
#include <vector>

namespace
{
using Kind = HostNotices::Kind;

std::vector<HostNotices::Notice> TakeAll(HostNotices& notices, int batch = 7)
{
    std::vector<HostNotices::Notice> all;
    HostNotices::Notice buffer[HostNotices::kCapacity];
    for (int n; (n = notices.TakeNotices(buffer, batch)) > 0;)
        all.insert(all.end(), buffer, buffer + n);
    return all;
}
} // namespace

// What a host gets is what was recorded, in order, a run of one parameter's values folded into
// the latest, whatever size of batches it is taken in.
TEST(HostNotices, KeepsOrderAndFoldsValueRuns)
{
    HostNotices notices;
    notices.Record(Kind::kBeginEdit, 4);
    notices.Record(Kind::kValue, 4, 0.1);
    notices.Record(Kind::kValue, 4, 0.2);
    notices.Record(Kind::kValue, 5, 0.7); // another parameter: kept apart
    notices.Record(Kind::kValue, 4, 0.3);
    notices.Record(Kind::kEndEdit, 4);
    notices.RecordStateChanged();

    EXPECT_TRUE(notices.Waiting(false));
    const auto all = TakeAll(notices, 2);
    // A flush looks without the lock: nothing but the state change waits now.
    EXPECT_FALSE(notices.Waiting(false));
    EXPECT_TRUE(notices.Waiting(true));
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].mKind, Kind::kBeginEdit);
    EXPECT_DOUBLE_EQ(all[1].mValue, 0.2);
    EXPECT_EQ(all[2].mParamIdx, 5);
    EXPECT_DOUBLE_EQ(all[3].mValue, 0.3);
    EXPECT_EQ(all[4].mKind, Kind::kEndEdit);
    EXPECT_TRUE(notices.Empty());
    EXPECT_TRUE(notices.TakeStateChanged());
    EXPECT_FALSE(notices.TakeStateChanged());
    EXPECT_FALSE(notices.Waiting(true));
}

// However full the queue runs, every begin the host gets is followed by its end and no end
// comes without its begin; what did not fit is counted.
TEST(HostNotices, GesturesStayBalancedWhenFull)
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round)
    {
        HostNotices notices;
        std::map<int, int> open; // parameter -> begins recorded and not yet ended
        std::vector<HostNotices::Notice> sent;
        const int steps = 4000;
        for (int i = 0; i < steps; ++i)
        {
            const int p = static_cast<int>(random() % 4);
            switch (random() % 5)
            {
            case 0:
                if (open[p] == 0)
                {
                    notices.Record(Kind::kBeginEdit, p);
                    ++open[p];
                }
                break;
            case 1:
                if (open[p] > 0)
                {
                    notices.Record(Kind::kEndEdit, p);
                    --open[p];
                }
                break;
            default:
                notices.Record(Kind::kValue, p, random() / double(random.max()));
                break;
            }
            if (random() % 3000 == 0) // the lock is free now and then
            {
                const auto part = TakeAll(notices);
                sent.insert(sent.end(), part.begin(), part.end());
            }
        }
        for (auto& [p, count] : open)
            for (; count > 0; --count)
                notices.Record(Kind::kEndEdit, p);
        const auto rest = TakeAll(notices);
        sent.insert(sent.end(), rest.begin(), rest.end());

        std::map<int, int> depth;
        for (const auto& n : sent)
        {
            if (n.mKind == Kind::kBeginEdit)
            {
                ASSERT_EQ(depth[n.mParamIdx]++, 0) << "round " << round;
            }
            if (n.mKind == Kind::kEndEdit)
            {
                ASSERT_EQ(--depth[n.mParamIdx], 0) << "round " << round;
            }
        }
        for (const auto& [p, d] : depth)
            EXPECT_EQ(d, 0) << "parameter " << p << " left open, round " << round;
        EXPECT_GT(notices.Dropped(), 0u) << "the queue never ran full";
    }
}

// The instance lock knows whether the caller holds it, at any depth, and another thread never
// mistakes itself for the holder.
TEST(HostNotices, LockKnowsItsHolder)
{
    IMutex mutex;
    EXPECT_FALSE(mutex.HeldByCaller());
    {
        IMutexLock outer(mutex);
        IMutexLock inner(mutex);
        EXPECT_TRUE(mutex.HeldByCaller());
        bool otherSaw = true;
        std::thread([&] { otherSaw = mutex.HeldByCaller(); }).join();
        EXPECT_FALSE(otherSaw);
        inner.Release();
        EXPECT_TRUE(mutex.HeldByCaller());
    }
    EXPECT_FALSE(mutex.HeldByCaller());
}

// Two threads count under the lock, each at several depths, one of them sometimes holding it
// long enough that the other stops spinning and sleeps: no increment is lost, and each sees
// itself as the only holder.
TEST(HostNotices, LockKeepsEveryOtherThreadOut)
{
    IMutex mutex;
    long count = 0;
    std::atomic<int> inside{0}, overlaps{0};
    const auto work = [&](int rounds, bool slow)
    {
        for (int round = 0; round < rounds; ++round)
        {
            IMutexLock outer(mutex);
            overlaps += inside.fetch_add(1) != 0;
            for (int depth = 0; depth <= round % 3; ++depth)
            {
                IMutexLock inner(mutex);
                const long seen = count;
                if (slow && round % 500 == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                count = seen + 1;
                overlaps += !mutex.HeldByCaller();
            }
            inside.fetch_sub(1);
        }
    };
    std::thread other(work, 20000, true);
    work(20000, false);
    other.join();
    EXPECT_EQ(count, 2 * (20000 / 3 * 6 + 3)); // 1, 2, 3, 1, 2, 3, ... increments a round
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_FALSE(mutex.HeldByCaller());
}
