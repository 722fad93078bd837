#include "GrooveMaker.h"

#include "CheckCapture.h"

#include <gtest/gtest.h>

#include <vector>

TEST(GrooveMaker, CursorWrapsAtTheActiveCount)
{
    GrooveMaker g;
    g.SetNumStepsActive(3);
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i)
    {
        g.AdvanceCursor();
        seen.push_back(g.Cursor());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1, 2, 0, 1}));
    // A cursor left beyond a lowered count comes back to 0 at the next step.
    g.SetNumStepsActive(16);
    g.SetCursorFromPulse(15);
    g.SetNumStepsActive(4);
    g.AdvanceCursor();
    EXPECT_EQ(g.Cursor(), 0);
    g.SetCursorFromPulse(6);
    EXPECT_EQ(g.Cursor(), 2);
}

TEST(GrooveMaker, NoActiveStepsReportsAndParksTheCursor)
{
    GrooveMaker g;
    g.SetNumStepsActive(0);
    CheckCapture checks;
    g.SetCursorFromPulse(3);
    EXPECT_TRUE(checks.Fired("src/GrooveMaker", "mNumStepsActive > 0"));
    EXPECT_EQ(g.Cursor(), 0);
    g.AdvanceCursor();
    EXPECT_EQ(g.Cursor(), 0);
}

TEST(GrooveMaker, StepsOutsideTheGridReportAndStayInside)
{
    GrooveMaker g;
    CheckCapture checks;
    g.SetVelocity(48, 7);
    EXPECT_TRUE(checks.Fired("src/GrooveMaker", "step >= 0 && step < MAX_STEPS"));
    EXPECT_EQ(g.Velocity(47), 7);
    g.SetMuted(-1, true);
    EXPECT_TRUE(g.Muted(0));
    // Values are kept as given: presets store velocities unclamped.
    g.SetVelocity(5, 300);
    EXPECT_EQ(g.Velocity(5), 300);
}
