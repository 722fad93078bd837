#pragma once
// The melody grid of the editor: 12 chord steps (columns) by 4 variations (rows) of melody
// cells, each a canvas, an enable square, a play marker and a repeat counter; left of each row
// its row control, right of it the row's solo and mute switches. The grid owns the cells'
// records; the graphics context owns the controls.
//
// The controls paint from the editor model. What the user does to them comes here: the grid
// changes the live pattern under the instance lock through OrlantixGui (selection, melody and
// row commands) or the engine's data, refreshes the model under the same lock and marks what
// changed for painting. The view operations are what the editor's view forwards from the
// instance and the engine; they only mark controls or set what they show.

#include "MelodyCell.h"

#include <memory>

class IGraphicsWin;
class ISwitchControl;
class MelodyRowControl;
class Orlantix;
class RowMuteSwitch;
struct EditorModel;

class MelodyGrid
{
public:
    // [main-thread] Adds the 48 cells (canvas, enable square, play marker, repeat counter per
    // cell, chord step by chord step, variations 0 to 3), then per variation row its row control,
    // solo switch and mute switch, to g.
    static std::unique_ptr<MelodyGrid> Build(IGraphicsWin& g, Orlantix& plug,
                                             EditorModel& model) noexcept;
    MelodyGrid(const MelodyGrid&) = delete;
    MelodyGrid& operator=(const MelodyGrid&) = delete;

    // View operations: [main-thread], also without the lock (a frame applies its work after
    // letting go of it); they touch only the controls and the model.
    // The play marker of one melody shows pulse (-1 hides it).
    void ShowPlayMarker(int chordStep, int variation, int pulse) noexcept;
    void RedrawVariation(int chordStep, int variation) noexcept;
    void RedrawColumn(int chordStep) noexcept;
    // Every cell and the row controls; the counters follow the model's repeat counts.
    void RedrawAll() noexcept;
    // The row's switches show solo and mute; the parameters behind them are left alone.
    void ShowRowSwitches(int row, bool solo, bool mute) noexcept;
    // Each counter takes its melody's repeat count from the model (after a preset or state load).
    void SyncRepeatCounters() noexcept;

    // What the controls do. [main-thread] (takes lock)
    // A left or middle press on a canvas: control adds or removes the cell from the selection;
    // otherwise it becomes the only selected cell and, when pulse and degree are both 0 or more,
    // that degree of that pulse is toggled as the canvas shows it (SetDegree: a temporary
    // modifier's change stays temporary).
    void PressCell(const MelodyCell& cell, bool control, int pulse, int degree) noexcept;
    // A melody command of the cell menu on this cell alone, as a permanent edit.
    void ApplyCellCommand(const MelodyCell& cell, int code) noexcept;
    // The enable square: a live melody is disabled, any other enabled.
    void PressEnable(const MelodyCell& cell) noexcept;
    // A press on a row control: control adds or removes the whole row, otherwise the row
    // becomes the selection.
    void PressRow(int row, bool control) noexcept;
    void ApplyRowCommand(int row, int code, int amount) noexcept;
    // The melody's repeat count as it is now [main-thread] (locked), and a new one.
    int LiveRepeatCount(const MelodyCell& cell) noexcept;
    void SetRepeatCount(const MelodyCell& cell, int count) noexcept;
    bool RowClipboardEmpty() noexcept;
    // The model again from the live pattern, for a menu about to open.
    void RefreshModel() noexcept;

    Orlantix& Plug() noexcept { return mPlug; }
    const EditorModel& Model() const noexcept { return mModel; }
    // Cells outside the grid answer null.
    const MelodyCell* Cell(int chordStep, int variation) const noexcept;
    ISwitchControl* SoloSwitch(int row) const noexcept;
    ISwitchControl* MuteSwitch(int row) const noexcept;

private:
    MelodyGrid(Orlantix& plug, EditorModel& model) noexcept;
    // (locked) Marks the cells whose selection changed since the model was taken, then takes
    // the model again.
    void Commit() noexcept;
    // [main-thread]
    void MarkAllCells() noexcept;

    static bool ValidRow(int row) noexcept;

    Orlantix& mPlug;
    EditorModel& mModel;
    MelodyColumn mColumns[MAX_STEPS];
    MelodyRowControl* mpRowControls[MAX_VARIATIONS_PER_CHORD] = {};
    ISwitchControl* mpSoloSwitches[MAX_VARIATIONS_PER_CHORD] = {};
    RowMuteSwitch* mpMuteSwitches[MAX_VARIATIONS_PER_CHORD] = {};
};
