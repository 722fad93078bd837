#include "UndoHistory.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
using State = std::vector<std::uint8_t>;

// An edit as an editor makes them: a few runs of bytes rewritten, now and then the state
// growing or shrinking at its end.
State Edited(State s, std::mt19937& random)
{
    const int runs = 1 + static_cast<int>(random() % 4);
    for (int r = 0; r < runs && !s.empty(); ++r)
    {
        const std::size_t at = random() % s.size();
        const std::size_t n = std::min<std::size_t>(1 + random() % 40, s.size() - at);
        for (std::size_t i = 0; i < n; ++i)
            s[at + i] = static_cast<std::uint8_t>(random());
    }
    if (random() % 10 == 0)
        s.resize(std::max<std::size_t>(16, s.size() + random() % 64 - 32), 0x5A);
    return s;
}
} // namespace

// Undoing every edit gives back the first state byte for byte, redoing every one the last;
// an edit after some undos drops what could be redone.
TEST(UndoHistory, UndoAllAndRedoAllAreExact)
{
    std::mt19937 random(21);
    for (int round = 0; round < 20; ++round)
    {
        UndoHistory history;
        State first(3000 + random() % 3000);
        for (auto& b : first)
            b = static_cast<std::uint8_t>(random());
        std::vector<State> states{first};
        const int edits = 1 + static_cast<int>(random() % 90);
        for (int e = 0; e < edits; ++e)
        {
            State next = Edited(states.back(), random);
            if (history.Record("edit " + std::to_string(e), states.back(), next))
                states.push_back(next);
        }
        State s = states.back();
        for (std::size_t k = states.size() - 1; k > 0; --k)
        {
            ASSERT_TRUE(history.Undo(s));
            ASSERT_EQ(s, states[k - 1]) << "round " << round << " undo to " << k - 1;
        }
        EXPECT_FALSE(history.Undo(s));
        EXPECT_EQ(history.UndoName(), nullptr);
        for (std::size_t k = 1; k < states.size(); ++k)
        {
            ASSERT_TRUE(history.Redo(s));
            ASSERT_EQ(s, states[k]) << "round " << round << " redo to " << k;
        }
        EXPECT_FALSE(history.Redo(s));

        // Some undos, then a new edit: nothing to redo any more, and it undoes to where it began.
        const std::size_t back = std::min<std::size_t>(3, states.size() - 1);
        for (std::size_t k = 0; k < back; ++k)
            history.Undo(s);
        const State branch = s;
        const State edited = Edited(s, random);
        if (history.Record("branch", branch, edited))
        {
            EXPECT_EQ(history.RedoCount(), 0u);
            EXPECT_STREQ(history.UndoName(), "branch");
            State t = edited;
            ASSERT_TRUE(history.Undo(t));
            EXPECT_EQ(t, branch);
        }
    }
}

// Only what the edit changed moves back: a change made in between by someone else (the host,
// the player) at other bytes stays.
TEST(UndoHistory, UndoLeavesWhatOthersChanged)
{
    UndoHistory history;
    State before(100, 1);
    State after = before;
    after[10] = 2;
    after[11] = 3;
    ASSERT_TRUE(history.Record("Scramble (chord)", before, after));
    EXPECT_FALSE(history.Record("nothing", after, after));
    EXPECT_STREQ(history.UndoName(), "Scramble (chord)");

    State now = after;
    now[80] = 9; // the player made a modifier permanent
    ASSERT_TRUE(history.Undo(now));
    EXPECT_EQ(now[10], 1);
    EXPECT_EQ(now[11], 1);
    EXPECT_EQ(now[80], 9);
    EXPECT_STREQ(history.RedoName(), "Scramble (chord)");
    ASSERT_TRUE(history.Redo(now));
    EXPECT_EQ(now[11], 3);
    EXPECT_EQ(now[80], 9);
}

// Over ten thousand edits of every size the history keeps its newest hundred and no more bytes
// than its budget.
TEST(UndoHistory, MemoryStaysWithinItsBound)
{
    std::mt19937 random(7);
    UndoHistory history;
    State s(5684);
    std::size_t most = 0;
    std::size_t recorded = 0;
    for (int e = 0; e < 10000; ++e)
    {
        State next = s;
        // Now and then a whole new state (a preset load), mostly a few bytes.
        const bool whole = random() % 20 == 0;
        for (std::size_t i = 0; i < next.size(); ++i)
            if (whole || random() % 500 == 0)
                next[i] = static_cast<std::uint8_t>(random());
        recorded += history.Record("edit", s, next);
        s = next;
        most = std::max(most, history.BytesHeld());
        ASSERT_GE(history.UndoCount(), std::min(recorded, UndoHistory::kMinSteps));
    }
    EXPECT_LE(most, UndoHistory::kBudget);
    EXPECT_GT(most, UndoHistory::kBudget / 2); // the budget, not the count, bounded it
    EXPECT_GE(history.UndoCount(), UndoHistory::kMinSteps);
}
