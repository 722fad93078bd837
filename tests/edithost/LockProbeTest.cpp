// The lock probe against a plug-in built straight on the effect record whose getParameter
// waits for a lock the test holds or leaves free, as a plug-in's instance lock.

#include "LockProbe.h"

#include "Vst2Records.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

namespace
{

std::mutex gInstanceLock;
int gEntered = 0;

float ORX_VSTCALL GetParameter(vst2::Effect*, int32_t)
{
    std::lock_guard lock(gInstanceLock);
    ++gEntered;
    return 0.5f;
}

TEST(LockProbe, GetsThroughOnlyWhileThePlugInIsFree)
{
    using namespace std::chrono_literals;
    vst2::Effect effect{};
    effect.getParameter = &GetParameter;
    {
        edithost::LockProbe probe(&effect);
        EXPECT_TRUE(probe.Enters(10s));
        std::unique_lock held(gInstanceLock);
        EXPECT_FALSE(probe.Enters(100ms));
        EXPECT_FALSE(probe.Enters(100ms)); // the call still waiting is not doubled
        held.unlock();
    } // the probe waits for its call to get through
    EXPECT_EQ(gEntered, 2);

    edithost::LockProbe probe(&effect);
    std::unique_lock held(gInstanceLock);
    EXPECT_FALSE(probe.Enters(100ms));
    held.unlock();
    EXPECT_TRUE(probe.Enters(10s)); // the waiting call counts once it gets through
}

} // namespace
