#include "OrlantixEditor.h"

#include "ChordSequencerSpanControl.h"
#include "IGraphicsWin.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "MelodyGrid.h"
#include "ModifierPanes.h"
#include "Orlantix.h"
#include "PresetNameControl.h"
#include "TextUtil.h"
#include "ThreadRole.h"
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
    ORX_MAIN_THREAD();
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
    mTaken = mWork;
}

OrlantixEditor::~OrlantixEditor()
{
    ORX_MAIN_THREAD();
    // The context outlives this object only when construction finished.
    if (mpGraphics && mPlug.GetEditor() == mpGraphics)
        mpGraphics->SetFrameHook(nullptr);
}

bool OrlantixEditor::ValidCell(int chordStep, int variation) noexcept
{
    return chordStep >= 0 && chordStep < MAX_STEPS && variation >= 0 &&
           variation < MAX_VARIATIONS_PER_CHORD;
}

void OrlantixEditor::SetPlayMarker(int chordStep, int variation, int pulse) noexcept
{
    ORX_AUDIO_THREAD_LOCKED(mPlug.Mutex());
    if (!ValidCell(chordStep, variation))
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mMarkerPulse[chordStep][variation] = pulse;
    mWork.mMarkersChanged |= CellBit(chordStep, variation);
}

void OrlantixEditor::RedrawVariation(int chordStep, int variation) noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    if (!ValidCell(chordStep, variation))
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mVariations |= CellBit(chordStep, variation);
}

void OrlantixEditor::RedrawGroove() noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    IMutexLock lock(mPlug.Mutex());
    mWork.mGroove = true;
}

void OrlantixEditor::SetStepHighlight(ModifierPane pane, int step, bool on) noexcept
{
    ORX_AUDIO_THREAD_LOCKED(mPlug.Mutex());
    if (step < 0 || step >= EditorModel::kPaneSteps)
        return;
    const int p = pane == ModifierPane::kStrike ? 0 : 1;
    IMutexLock lock(mPlug.Mutex());
    mWork.mHighlight[p][step] = on;
    mWork.mHighlightsChanged[p] |= 1u << step;
}

void OrlantixEditor::ShowSpan(int low, int high) noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    IMutexLock lock(mPlug.Mutex());
    mWork.mSpan = true;
    mWork.mSpanLow = low;
    mWork.mSpanHigh = high;
}

void OrlantixEditor::RedrawColumn(int chordStep) noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    if (chordStep < 0 || chordStep >= MAX_STEPS)
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mColumns |= 1u << chordStep;
}

void OrlantixEditor::RedrawAll() noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    IMutexLock lock(mPlug.Mutex());
    mWork.mAll = true;
}

void OrlantixEditor::RedrawPane(ModifierPane pane) noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    IMutexLock lock(mPlug.Mutex());
    mWork.mPanes[pane == ModifierPane::kStrike ? 0 : 1] = true;
}

void OrlantixEditor::ShowRowSwitches(int row, bool solo, bool mute) noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    if (row < 0 || row >= MAX_VARIATIONS_PER_CHORD)
        return;
    IMutexLock lock(mPlug.Mutex());
    mWork.mRowsChanged[row] = true;
    mWork.mSolo[row] = solo;
    mWork.mMute[row] = mute;
}

void OrlantixEditor::ShowPresetName(const char* name) noexcept
{
    ORX_MAIN_THREAD_LOCKED(mPlug.Mutex());
    IMutexLock lock(mPlug.Mutex());
    orx::CopyText(mWork.mPresetNameText, sizeof(mWork.mPresetNameText), name ? name : "");
    mWork.mPresetName = true;
}

void OrlantixEditor::CaptureFrame(IGraphics&) noexcept
{
    ORX_MAIN_THREAD_LOCKED(mPlug.Mutex());
    CaptureEditorModel(mPlug, mModel);
    // The recorded work moves to the frame's copy; the record starts empty again (the latest
    // pulse per cell stays, only its change bit goes).
    mTaken = mWork;
    Work& w = mWork;
    w.mMarkersChanged = 0;
    w.mVariations = 0;
    w.mColumns = 0;
    w.mAll = w.mGroove = w.mSpan = w.mPresetName = false;
    for (bool& changed : w.mRowsChanged)
        changed = false;
    for (int p = 0; p < 2; ++p)
    {
        w.mPanes[p] = false;
        w.mHighlightsChanged[p] = 0;
    }
}

void OrlantixEditor::OnFrame(IGraphics&) noexcept
{
    ORX_MAIN_THREAD();
    const Work& w = mTaken;
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
    // A controller learnt on the audio thread: a step of the history, and the host hears of
    // the changed state now, from this thread.
    mPlug.RecordLearnedController();
}

void OrlantixEditor::ApplyGridAndPaneWork() noexcept
{
    const Work& w = mTaken;
    for (int step = 0; step < MAX_STEPS; ++step)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            if (w.mMarkersChanged & CellBit(step, v))
                mpGrid->ShowPlayMarker(step, v, w.mMarkerPulse[step][v]);
    if (w.mAll)
    {
        // A preset or state load: the counters follow the loaded repeat counts first.
        mpGrid->SyncRepeatCounters();
        mpGrid->RedrawAll();
    }
    else
    {
        for (int step = 0; step < MAX_STEPS; ++step)
        {
            if (w.mColumns & (1u << step))
                mpGrid->RedrawColumn(step);
            for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
                if (w.mVariations & CellBit(step, v))
                    mpGrid->RedrawVariation(step, v);
        }
    }
    for (int row = 0; row < MAX_VARIATIONS_PER_CHORD; ++row)
        if (w.mRowsChanged[row])
            mpGrid->ShowRowSwitches(row, w.mSolo[row], w.mMute[row]);
    for (int p = 0; p < 2; ++p)
    {
        const ModifierPane pane = p == 0 ? ModifierPane::kStrike : ModifierPane::kMelody;
        if (w.mPanes[p])
            mpPanes->RepaintAll(pane);
        for (int step = 0; step < EditorModel::kPaneSteps; ++step)
            if (w.mHighlightsChanged[p] & (1u << step))
                mpPanes->SetStepHighlight(pane, step, w.mHighlight[p][step]);
    }
}
