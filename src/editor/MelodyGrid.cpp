#include "MelodyGrid.h"

#include "Check.h"
#include "CounterControl.h"
#include "EditorLayout.h"
#include "EditorModel.h"
#include "EnableControl.h"
#include "IGraphicsWin.h"
#include "ISwitchControl.h"
#include "MelodyCanvas.h"
#include "MelodyGridLayout.h"
#include "MelodyRowControl.h"
#include "Orlantix.h"
#include "OrlantixGui.h"
#include "PlayMarkerCanvas.h"
#include "RowMuteSwitch.h"
#include "RowTransforms.h"
#include "ThreadRole.h"

using namespace melody_grid;

namespace
{
constexpr const char* kTag = "src/OrlantixGui";
// The blank parameter after the cell trigger: the row controls carry it for the value prompt.
constexpr int kRowControlParam = kCellTrigger + 1;
} // namespace

MelodyGrid::MelodyGrid(Orlantix& plug, EditorModel& model) noexcept : mPlug(plug), mModel(model) {}

std::unique_ptr<MelodyGrid> MelodyGrid::Build(IGraphicsWin& g, Orlantix& plug,
                                              EditorModel& model) noexcept
{
    ORX_MAIN_THREAD();
    std::unique_ptr<MelodyGrid> grid(new MelodyGrid(plug, model));
    RefreshEditorModel(plug, model);
    for (int k = 0; k < MAX_STEPS; ++k)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        {
            MelodyCell& cell = grid->mColumns[k].mCells[v];
            cell.mpGrid = grid.get();
            cell.mChordStep = k;
            cell.mVariation = v;
            cell.mpCanvas = new MelodyCanvas(&plug, CanvasRect(k, v), kCellTrigger, cell);
            cell.mpCanvas->SetEditName("Note");
            g.AddControl(cell.mpCanvas);
            cell.mpEnable = new EnableControl(&plug, EnableRect(k, v), cell);
            cell.mpEnable->SetEditName("Enable");
            cell.mpEnable->ShowLive(cell.Live());
            g.AddControl(cell.mpEnable);
            cell.mpPlayMarker = new PlayMarkerCanvas(&plug, PlayMarkerRect(k, v), cell);
            g.AddControl(cell.mpPlayMarker);
            cell.mpCounter = new CounterControl(&plug, CounterRect(k, v), cell);
            cell.mpCounter->SetEditName("Repeat count");
            cell.mpCounter->Follow(cell.ShownMelody().mRepeatCount);
            g.AddControl(cell.mpCounter);
        }

    const IBitmapHandle solo = editor_layout::LoadImage(g, kRowSwitches.mImage);
    const IBitmapHandle mute = editor_layout::LoadImage(g, kRowSwitches.mImage2);
    for (int r = 0; r < MAX_VARIATIONS_PER_CHORD; ++r)
    {
        grid->mpRowControls[r] =
            new MelodyRowControl(&plug, RowControlRect(r), kRowControlParam, *grid, r);
        g.AddControl(grid->mpRowControls[r]);
        grid->mpSoloSwitches[r] =
            new ISwitchControl(&plug, kSoloSwitchX, RowSwitchTop(r), kRowSolo1 + r, solo);
        grid->mpSoloSwitches[r]->SetEditName("Solo");
        g.AddControl(grid->mpSoloSwitches[r]);
        grid->mpMuteSwitches[r] =
            new RowMuteSwitch(plug, MuteSwitchX(solo.mW), RowSwitchTop(r), r, mute);
        grid->mpMuteSwitches[r]->SetEditName("Mute");
        grid->mpRowControls[r]->SetEditName("Row");
        g.AddControl(grid->mpMuteSwitches[r]);
    }
    return grid;
}

const MelodyCell* MelodyGrid::Cell(int chordStep, int variation) const noexcept
{
    if (chordStep < 0 || chordStep >= MAX_STEPS || variation < 0 ||
        variation >= MAX_VARIATIONS_PER_CHORD)
        return nullptr;
    return &mColumns[chordStep].mCells[variation];
}

bool MelodyGrid::ValidRow(int row) noexcept
{
    const bool valid = row >= 0 && row < MAX_VARIATIONS_PER_CHORD;
    ORX_CHECK(kTag, valid, "rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD");
    return valid;
}

ISwitchControl* MelodyGrid::SoloSwitch(int row) const noexcept
{
    return ValidRow(row) ? mpSoloSwitches[row] : nullptr;
}

ISwitchControl* MelodyGrid::MuteSwitch(int row) const noexcept
{
    return ValidRow(row) ? mpMuteSwitches[row] : nullptr;
}

// View operations.

void MelodyGrid::ShowPlayMarker(int chordStep, int variation, int pulse) noexcept
{
    ORX_MAIN_THREAD();
    if (const MelodyCell* cell = Cell(chordStep, variation))
        cell->mpPlayMarker->SetPulse(pulse);
}

void MelodyGrid::RedrawVariation(int chordStep, int variation) noexcept
{
    ORX_MAIN_THREAD();
    if (const MelodyCell* cell = Cell(chordStep, variation))
        cell->MarkDirty();
}

void MelodyGrid::RedrawColumn(int chordStep) noexcept
{
    ORX_MAIN_THREAD();
    for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        RedrawVariation(chordStep, v);
}

void MelodyGrid::MarkAllCells() noexcept
{
    ORX_MAIN_THREAD();
    for (const MelodyColumn& column : mColumns)
        for (const MelodyCell& cell : column.mCells)
            cell.MarkDirty();
}

void MelodyGrid::RedrawAll() noexcept
{
    ORX_MAIN_THREAD();
    MarkAllCells();
    // Only repainted: a view operation never writes a parameter.
    for (MelodyRowControl* row : mpRowControls)
        row->MarkDirty(false);
    SyncRepeatCounters();
}

void MelodyGrid::ShowRowSwitches(int row, bool solo, bool mute) noexcept
{
    ORX_MAIN_THREAD();
    if (!ValidRow(row))
        return;
    mpSoloSwitches[row]->SetValueFromHost(solo ? 1.0 : 0.0);
    mpMuteSwitches[row]->SetValueFromHost(mute ? 1.0 : 0.0);
}

void MelodyGrid::SyncRepeatCounters() noexcept
{
    ORX_MAIN_THREAD();
    for (const MelodyColumn& column : mColumns)
        for (const MelodyCell& cell : column.mCells)
            if (cell.mpCounter->Follow(cell.ShownMelody().mRepeatCount))
                cell.mpCounter->MarkDirty(false);
}

// What the controls do.

void MelodyGrid::Commit() noexcept
{
    ORX_LOCKED(mPlug.Mutex());
    const OrlantixGui& gui = mPlug.Gui();
    for (const MelodyColumn& column : mColumns)
        for (const MelodyCell& cell : column.mCells)
            if (gui.IsSelected(cell.mChordStep, cell.mVariation) !=
                mModel.mSelected[cell.mChordStep][cell.mVariation])
                cell.MarkDirty();
    CaptureEditorModel(mPlug, mModel);
}

void MelodyGrid::RefreshModel() noexcept
{
    ORX_MAIN_THREAD();
    RefreshEditorModel(mPlug, mModel);
}

void MelodyGrid::PressCell(const MelodyCell& cell, bool control, int pulse, int degree) noexcept
{
    ORX_MAIN_THREAD();
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            OrlantixGui& gui = mPlug.Gui();
            const int k = cell.mChordStep, v = cell.mVariation;
            if (control)
            {
                gui.SelectCell(k, v, !gui.IsSelected(k, v));
            }
            else
            {
                gui.ClearSelection();
                gui.SelectCell(k, v, true);
                Melody* melody = mPlug.Engine().mProgression.GetMelody(k, v);
                if (melody && pulse >= 0 && pulse < kPitchSetsPerMelody && degree >= 0 &&
                    degree < kNumPitchDegrees)
                {
                    // The degree flips as the canvas shows it (the model of the last frame): the
                    // audio thread may have moved the live mask since.
                    const int shown = cell.ShownMelody().mPitchSets[pulse].mPlayingMask;
                    SetDegree(*melody, pulse, degree, (shown & (1 << degree)) == 0);
                    cell.MarkDirty();
                    mPlug.InformHostOfStateChange();
                }
            }
            cell.mpCanvas->MarkDirty(false);
            Commit();
        });
}

void MelodyGrid::ApplyCellCommand(const MelodyCell& cell, int code) noexcept
{
    ORX_MAIN_THREAD();
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            mPlug.Gui().ApplyMelodyCommand(cell.mChordStep, cell.mVariation, code, true);
            cell.MarkDirty();
            if (code != MelodyCanvas::kCopy)
                mPlug.InformHostOfStateChange();
            Commit();
        });
}

void MelodyGrid::PressEnable(const MelodyCell& cell) noexcept
{
    ORX_MAIN_THREAD();
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            const Melody* melody =
                mPlug.Engine().mProgression.GetMelody(cell.mChordStep, cell.mVariation);
            if (!melody)
                return;
            const bool live = IsLive(*melody);
            cell.mpEnable->ShowLive(!live);
            mPlug.Gui().ApplyMelodyCommand(cell.mChordStep, cell.mVariation,
                                           live ? MelodyCanvas::kDisable : MelodyCanvas::kEnable,
                                           true);
            cell.MarkDirty();
            mPlug.InformHostOfStateChange();
            Commit();
        });
}

void MelodyGrid::PressRow(int row, bool control) noexcept
{
    ORX_MAIN_THREAD();
    if (!ValidRow(row))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            OrlantixGui& gui = mPlug.Gui();
            if (control)
            {
                gui.SelectRow(row, !gui.IsRowSelected(row));
            }
            else
            {
                gui.ClearSelection();
                gui.SelectRow(row, true);
            }
            Commit();
        });
}

void MelodyGrid::ApplyRowCommand(int row, int code, int amount) noexcept
{
    ORX_MAIN_THREAD();
    if (!ValidRow(row))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            mPlug.Gui().ApplyRowCommand(code, row, amount);
            if (code != kRowCopy)
            {
                MarkAllCells();
                mPlug.InformHostOfStateChange();
            }
            Commit();
        });
}

int MelodyGrid::LiveRepeatCount(const MelodyCell& cell) noexcept
{
    ORX_MAIN_THREAD_LOCKED(mPlug.Mutex());
    const Melody* melody = mPlug.Engine().mProgression.GetMelody(cell.mChordStep, cell.mVariation);
    return melody ? melody->mRepeatCount : 1;
}

void MelodyGrid::SetRepeatCount(const MelodyCell& cell, int count) noexcept
{
    ORX_MAIN_THREAD();
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            if (Melody* melody =
                    mPlug.Engine().mProgression.GetMelody(cell.mChordStep, cell.mVariation))
            {
                melody->mRepeatCount = count;
                mPlug.InformHostOfStateChange();
            }
            Commit();
            if (cell.mpCounter->Follow(count))
                cell.mpCounter->MarkDirty(false);
        });
}

bool MelodyGrid::RowClipboardEmpty() noexcept
{
    ORX_MAIN_THREAD();
    bool empty = true;
    mPlug.Mutex().Run([&]() noexcept { empty = mPlug.Gui().RowClipboardEmpty(); });
    return empty;
}
