#include "OrlantixEditor.h"

#include "ChordSequencerSpanControl.h"
#include "IGraphicsWin.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "Orlantix.h"
#include "PresetNameControl.h"
#include "TextUtil.h"
#include "ValueReadOut.h"

#include <new>

namespace
{
uint64_t CellBit(int chordStep, int variation) noexcept
{
    return uint64_t{1} << (chordStep * MAX_VARIATIONS_PER_CHORD + variation);
}
} // namespace

void OrlantixEditor::Create(Orlantix& plug)
{
    std::unique_ptr<OrlantixEditor> editor(new OrlantixEditor(plug));
    editor->Build();
    plug.AdoptView(std::move(editor));
}

OrlantixEditor* OrlantixEditor::Of(Orlantix& plug) noexcept
{
    return dynamic_cast<OrlantixEditor*>(&plug.View());
}

OrlantixEditor::OrlantixEditor(Orlantix& plug) : mPlug(plug)
{
    for (auto& step : mWork.mMarkerPulse)
        for (int& pulse : step)
            pulse = -1;
}

OrlantixEditor::~OrlantixEditor()
{
    // The context outlives this object only when construction finished.
    if (mpGraphics && mPlug.GetGraphics() == mpGraphics)
        mpGraphics->SetFrameHook(nullptr);
}

bool OrlantixEditor::ValidCell(int chordStep, int variation) noexcept
{
    return chordStep >= 0 && chordStep < MAX_STEPS && variation >= 0 &&
           variation < MAX_VARIATIONS_PER_CHORD;
}

void OrlantixEditor::SetPlayMarker(int chordStep, int variation, int pulse) noexcept
{
    if (!ValidCell(chordStep, variation))
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mMarkerPulse[chordStep][variation] = pulse;
    mWork.mMarkersChanged |= CellBit(chordStep, variation);
}

void OrlantixEditor::RedrawVariation(int chordStep, int variation) noexcept
{
    if (!ValidCell(chordStep, variation))
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mVariations |= CellBit(chordStep, variation);
}

void OrlantixEditor::RedrawGroove() noexcept
{
    IMutexLock lock(mPlug.Mutex());
    mWork.mGroove = true;
}

void OrlantixEditor::SetStepHighlight(ModifierPane pane, int step, bool on) noexcept
{
    if (step < 0 || step >= EditorModel::kPaneSteps)
        return;
    const int p = pane == ModifierPane::kStrike ? 0 : 1;
    IMutexLock lock(mPlug.Mutex());
    mWork.mHighlight[p][step] = on;
    mWork.mHighlightsChanged[p] |= 1u << step;
}

void OrlantixEditor::ShowSpan(int low, int high) noexcept
{
    IMutexLock lock(mPlug.Mutex());
    mWork.mSpan = true;
    mWork.mSpanLow = low;
    mWork.mSpanHigh = high;
}

void OrlantixEditor::RedrawColumn(int chordStep) noexcept
{
    if (chordStep < 0 || chordStep >= MAX_STEPS)
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mColumns |= 1u << chordStep;
}

void OrlantixEditor::RedrawAll() noexcept
{
    IMutexLock lock(mPlug.Mutex());
    mWork.mAll = true;
}

void OrlantixEditor::RedrawPane(ModifierPane pane) noexcept
{
    IMutexLock lock(mPlug.Mutex());
    mWork.mPanes[pane == ModifierPane::kStrike ? 0 : 1] = true;
}

void OrlantixEditor::ShowRowSwitches(int row, bool solo, bool mute) noexcept
{
    if (row < 0 || row >= MAX_VARIATIONS_PER_CHORD)
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mRowsChanged[row] = true;
    mWork.mSolo[row] = solo;
    mWork.mMute[row] = mute;
}

void OrlantixEditor::ShowPresetName(const char* name) noexcept
{
    IMutexLock lock(mPlug.Mutex());
    orx::CopyText(mWork.mPresetNameText, sizeof(mWork.mPresetNameText), name ? name : "");
    mWork.mPresetName = true;
}

void OrlantixEditor::OnFrame(IGraphics&) noexcept
{
    CaptureEditorModel(mPlug, mModel);
    Work& w = mWork;
    if (w.mGroove)
    {
        mpGrooveCanvas->MarkDirty(false);
        mpGrooveMarker->MarkDirty(false);
    }
    if (w.mSpan)
        mpSpan->ShowSpan(w.mSpanLow, w.mSpanHigh);
    if (w.mPresetName)
    {
        try
        {
            mpPresetName->SetText(w.mPresetNameText);
        }
        catch (const std::bad_alloc&)
        {
            // The field keeps the old name.
        }
    }
    ApplyGridAndPaneWork();
    w.mGroove = w.mSpan = w.mPresetName = false;
}

void OrlantixEditor::ApplyGridAndPaneWork() noexcept
{
    // The melody grid (built at step 6) and the modifier panes (step 10) take this part:
    //   each cell in mMarkersChanged: MelodyGrid::ShowPlayMarker(step, variation, its pulse);
    //   mAll: MelodyGrid::SyncRepeatCounters() (counters follow loaded repeat counts), then
    //     RedrawAll(); otherwise each chord step in mColumns: RedrawColumn(step), and each cell
    //     in mVariations: RedrawVariation(step, variation);
    //   each row in mRowsChanged: MelodyGrid::ShowRowSwitches(row, mSolo[row], mMute[row]);
    //   each pane in mPanes: ModifierPanes::RepaintAll(pane), and each step in
    //     mHighlightsChanged: SetStepHighlight(pane, step, mHighlight[pane][step]).
    // Until they are built, their part is dropped with the frame.
    Work& w = mWork;
    w.mMarkersChanged = 0;
    w.mVariations = 0;
    w.mColumns = 0;
    w.mAll = false;
    for (int row = 0; row < MAX_VARIATIONS_PER_CHORD; ++row)
        w.mRowsChanged[row] = false;
    for (int pane = 0; pane < 2; ++pane)
    {
        w.mPanes[pane] = false;
        w.mHighlightsChanged[pane] = 0;
    }
}
