#pragma once
// Helpers of the unit-level tests: an instance built directly (no library, no host unless a
// test gives one), parameter changes as the base makes them, and a view that records what the
// instance shows.

#include "Orlantix.h"
#include "OrlantixGui.h"

#include <memory>
#include <utility>
#include <vector>

// What the instance told its editor.
class RecordingView : public OrlantixView
{
public:
    void SetPlayMarker(int, int, int) noexcept override {}
    void RedrawVariation(int chordStep, int variation) noexcept override
    {
        ++mVariationRedraws;
        mLastVariation = {chordStep, variation};
    }
    void RedrawGroove() noexcept override { ++mGrooveRedraws; }
    void SetStepHighlight(ModifierPane, int, bool) noexcept override {}
    void ShowSpan(int low, int high) noexcept override { mSpans.emplace_back(low, high); }
    void RedrawColumn(int chordStep) noexcept override { mColumns.push_back(chordStep); }
    void RedrawAll() noexcept override { ++mRedrawAlls; }
    void RedrawPane(ModifierPane pane) noexcept override { mPanes.push_back(pane); }
    void ShowRowSwitches(int row, bool solo, bool mute) noexcept override
    {
        mSoloShown[row] = solo;
        mMuteShown[row] = mute;
        ++mSwitchUpdates;
    }

    int mVariationRedraws = 0;
    std::pair<int, int> mLastVariation{-1, -1};
    int mGrooveRedraws = 0;
    std::vector<std::pair<int, int>> mSpans;
    std::vector<int> mColumns;
    int mRedrawAlls = 0;
    std::vector<ModifierPane> mPanes;
    bool mSoloShown[4] = {};
    bool mMuteShown[4] = {};
    int mSwitchUpdates = 0;
};

// Sets a parameter's plain value and runs its handler, as a preset or state load does (no
// clamping: tests may hand values a damaged file could hold).
inline void Change(Orlantix& plug, int idx, double value)
{
    plug.GetParam(idx)->SetValue(value);
    plug.HandleParamChange(idx);
}

// Runs every handler in index order, as the open request and every load do.
inline void AllParameterPass(Orlantix& plug)
{
    for (int i = 0; i < plug.NParams(); ++i)
        plug.HandleParamChange(i);
}

inline std::unique_ptr<Orlantix> MakePlug(vst2::HostCallback host = nullptr)
{
    return std::make_unique<Orlantix>(host);
}
