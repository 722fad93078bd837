#pragma once
// A melody cell: the four controls that show one Melody of the progression (its canvas, enable
// square, play marker and repeat counter) and where it sits in the grid. A column is one chord
// step's four cells. The cell reads what it shows from the editor model, never from the live
// pattern; edits go through the grid (MelodyGrid.h).

#include "Chord.h"

class CounterControl;
class EnableControl;
class MelodyCanvas;
class MelodyGrid;
class PlayMarkerCanvas;

struct MelodyCell
{
    MelodyGrid* mpGrid = nullptr;
    MelodyCanvas* mpCanvas = nullptr;
    PlayMarkerCanvas* mpPlayMarker = nullptr;
    EnableControl* mpEnable = nullptr;
    CounterControl* mpCounter = nullptr;
    int mChordStep = 0;
    int mVariation = 0;

    // What the cell shows, from the editor model. [main-thread]
    const Melody& ShownMelody() const noexcept;
    bool Live() const noexcept;
    // The chord step lies inside the progression's span.
    bool StepActive() const noexcept;
    bool Selected() const noexcept;

    // [main-thread] The four controls paint on the next frame; the plug-in is not told.
    void MarkDirty() const noexcept;
};

struct MelodyColumn
{
    MelodyCell mCells[MAX_VARIATIONS_PER_CHORD];
};

// A melody is live when it plays in its turn: enabled, and soloed or not muted.
inline bool IsLive(const Melody& melody) noexcept
{
    return melody.mEnabled && (melody.mSolo || !melody.mMuted);
}
