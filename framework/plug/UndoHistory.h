#pragma once
// The history of the editor's edits, for undo and redo. A step holds the name of an edit and
// what it changed in the plug-in's saved state: the runs of bytes that differ, before and after.
// Undoing a step puts its bytes from before back into the current state, redoing puts its bytes
// from after: only what the edit changed moves, so what changed in between for other reasons
// (the host's automation, a modifier made permanent while playing) stays.
//
// Bounded: the newest kMinSteps steps are always kept; older ones go once the bytes held pass
// kBudget (a step holds at most twice a state, so the budget keeps kMinSteps of any size).
// A new step clears the steps that could be redone. [main-thread]; storage grows here, never
// on the audio thread.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

class UndoHistory
{
public:
    static constexpr std::size_t kMinSteps = 100;
    static constexpr std::size_t kBudget = std::size_t{4} << 20;

    // A step named name for the change from before to after; false, recording nothing, when
    // the two are equal.
    bool Record(const std::string& name, std::span<const std::uint8_t> before,
                std::span<const std::uint8_t> after);

    // The name of the step an undo or a redo would take, or null when there is none.
    const char* UndoName() const noexcept;
    const char* RedoName() const noexcept;
    // Turns state into the state before the newest step (Undo) or after the step undone last
    // (Redo), and moves that step to the other side; false when there is none.
    bool Undo(std::vector<std::uint8_t>& state);
    bool Redo(std::vector<std::uint8_t>& state);
    // Puts the step that the last Undo (undone) or Redo moved into state once more: for a state
    // that changed after the one that step was taken from. False when there is no such step.
    bool Reapply(bool undone, std::vector<std::uint8_t>& state) const;

    std::size_t UndoCount() const noexcept { return mUndo.size(); }
    std::size_t RedoCount() const noexcept { return mRedo.size(); }
    // What the steps hold, in bytes (their runs, names and records).
    std::size_t BytesHeld() const noexcept { return mBytes; }
    void Clear() noexcept;

private:
    struct Run
    {
        std::size_t mOffset = 0;
        std::vector<std::uint8_t> mBefore;
        std::vector<std::uint8_t> mAfter;
    };
    struct Step
    {
        std::string mName;
        std::size_t mSizeBefore = 0;
        std::size_t mSizeAfter = 0;
        std::vector<Run> mRuns;
        std::size_t mBytes = 0; // what it holds
    };

    // Puts one side of step into state: its size and its runs' bytes.
    static void Apply(const Step& step, bool after, std::vector<std::uint8_t>& state);
    static std::size_t BytesOf(const Step& step) noexcept;
    void DropOldest();

    std::deque<Step> mUndo; // newest last
    std::deque<Step> mRedo; // the next to redo last
    std::size_t mBytes = 0;
};
