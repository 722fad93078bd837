#include "TestPlugs.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// The host and the player may change the state while an undo works out its step on a copy:
// the plug-in's state write runs the given work once, right after the first copy made without
// the instance lock, as if it had happened on another thread at that moment.
class MovingPlug : public BasePlug
{
public:
    bool WriteUndoState(IByteChunk& chunk) override
    {
        const bool ok = IPlugBase::WriteUndoState(chunk);
        if (mAfterCopy && !Mutex().HeldByCaller())
            std::exchange(mAfterCopy, nullptr)();
        return ok;
    }
    double Value(int idx) { return GetParam(idx)->Value(); }
    void Edit(int idx, double normalised)
    {
        BeginEdit("edit");
        SetParameterFromGUI(idx, normalised);
        EndEdit();
    }

    std::function<void()> mAfterCopy;
};
} // namespace

// Automation that lands while an undo or a redo works out its step stays; the edit alone moves.
TEST(PlugBaseUndo, WhatMovesWhileAStepIsWorkedOutStays)
{
    MovingPlug plug;
    plug.Edit(1, 1.0);
    ASSERT_EQ(plug.Value(1), 16);
    const auto automate = [&](double gain)
    {
        return [&plug, gain]
        {
            IMutexLock lock(plug.Mutex());
            plug.GetParam(0)->SetValue(gain);
        };
    };
    plug.mAfterCopy = automate(0.9);
    ASSERT_TRUE(plug.Undo());
    EXPECT_EQ(plug.Value(1), 4);
    EXPECT_DOUBLE_EQ(plug.Value(0), 0.9);
    plug.mAfterCopy = automate(0.2);
    ASSERT_TRUE(plug.Redo());
    EXPECT_EQ(plug.Value(1), 16);
    EXPECT_DOUBLE_EQ(plug.Value(0), 0.2);
    EXPECT_EQ(plug.UndoStepCount(), 1u);
}

// A host load that lands meanwhile and changes the state clears the history: the undo takes
// nothing back from the loaded state, and is not left half done.
TEST(PlugBaseUndo, AHostLoadMeanwhileEndsTheHistory)
{
    MovingPlug plug;
    plug.Edit(2, 1.0);
    plug.Edit(1, 1.0);
    IByteChunk loaded;
    ASSERT_TRUE(loaded.Put(0.25) && loaded.Put(9.0) && loaded.Put(1.0));
    plug.mAfterCopy = [&]
    {
        plug.BeginHostLoad();
        plug.ReadState(loaded, 0);
        plug.EndHostLoad();
    };
    EXPECT_FALSE(plug.Undo());
    EXPECT_DOUBLE_EQ(plug.Value(0), 0.25);
    EXPECT_EQ(plug.Value(1), 9);
    EXPECT_EQ(plug.Value(2), 1);
    EXPECT_EQ(plug.UndoStepCount(), 0u);
    EXPECT_TRUE(plug.RedoName().empty());
}
