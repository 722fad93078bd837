#pragma once
// The editor's work on the melody grid that does not depend on drawing: which of the 12 x 4
// melody cells are selected, the melody commands on cells, the row commands on variation rows
// with the row clipboard, and the solo and mute of variation rows. The parameter handlers of
// the command triggers and of RowSolo/RowMute come here; the editor's controls add the mouse.
// Every edit of pattern data takes the instance lock, so a pulse never sees half an edit. All
// of it is [main-thread]: the editor and the parameter handlers (locked) call it.

#include "Chord.h"
#include "MwcRandom.h"
#include "RowTransforms.h"

class Orlantix;

class OrlantixGui
{
public:
    static constexpr uint32_t kRandomSeed = 4660;

    // Solo and mute bookkeeping of one variation row.
    struct RowState
    {
        bool mSoloed = false;
        bool mMutedByUser = false;
        bool mMutedBySolo = false; // by another row's solo
    };

    explicit OrlantixGui(Orlantix& plug) noexcept;
    OrlantixGui(const OrlantixGui&) = delete;
    OrlantixGui& operator=(const OrlantixGui&) = delete;

    // Selection. Cells outside the grid are reported and ignored.
    void SelectCell(int chordStep, int variation, bool selected) noexcept;
    bool IsSelected(int chordStep, int variation) const noexcept;
    void SelectRow(int row, bool selected) noexcept;
    // True when all twelve cells of the row are selected.
    bool IsRowSelected(int row) const noexcept;
    void ClearSelection() noexcept;

    // A melody command (transforms 0..18, enable 20, disable 21, copy 22, paste 23, clear 24)
    // on every selected cell, as a permanent edit. (takes lock)
    void ApplyMelodyCommandToSelection(int code) noexcept;
    // The same on one cell, permanent or temporary as given.
    void ApplyMelodyCommand(int chordStep, int variation, int code, bool permanent) noexcept;
    // A strike transform on pitch set `pulse` of one melody.
    void ApplyPitchSetTransform(int pulse, int variation, int chordStep, int code,
                                bool permanent) noexcept;
    // A row command on one variation row, with amount places for the shifts.
    void ApplyRowCommand(int code, int row, int amount) noexcept;
    // A row command, amount 1, on every row whose twelve cells are all selected.
    void ApplyRowCommandToSelectedRows(int code) noexcept;
    bool RowClipboardEmpty() const noexcept { return mRowClipboard.mEmpty; }

    // Solo and mute as the RowSolo and RowMute parameters ask. A soloed row always plays; the
    // others play unless muted by their own switch or by the solo. Solo off on a row that is
    // not soloed and mute off on a row the user did not mute change nothing, so a pass over
    // saved parameter values keeps a saved solo.
    void RowSolo(int row, bool on) noexcept;
    void RowMute(int row, bool on) noexcept;
    // The mute switch's click: as RowMute, except that un-muting a row muted by another row's
    // solo makes it join the solo.
    void RowMuteFromSwitch(int row, bool on) noexcept;
    const RowState& Row(int row) const noexcept;

    // Redraws every cell and the row controls (after a state or preset load).
    void RedrawAll() noexcept;
    void RedrawColumn(int chordStep) noexcept;

private:
    static bool ValidCell(int chordStep, int variation) noexcept;
    static bool ValidRow(int row) noexcept;
    // Writes a row's solo and mute flags into its twelve melodies.
    void ApplyRowState(int row) noexcept;
    void ApplyAllRows() noexcept;
    void ShowRowSwitches() noexcept;
    bool AnyRowSoloed() const noexcept;

    Orlantix& mPlug;
    bool mSelected[MAX_STEPS][MAX_VARIATIONS_PER_CHORD] = {};
    RowState mRows[MAX_VARIATIONS_PER_CHORD];
    MwcRandom mRandom{kRandomSeed, ~kRandomSeed};
    RowClipboard mRowClipboard;
};
