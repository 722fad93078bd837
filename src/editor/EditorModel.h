#pragma once
// What the editor paints from: a copy of the pattern as it stood at the start of the frame.
// The audio thread changes melodies, cursors and spans while it plays (modifiers, the player),
// so painting never reads the live pattern. On the editor's thread, once per frame, the editor
// takes the instance lock, copies the pattern into this record and releases the lock; the
// controls then paint from the copy. The copy is a few kilobytes of plain data, so the audio
// thread waits at most a few microseconds for it.
//
// Edits go the other way: a control changes the live pattern under the instance lock (through
// OrlantixGui or the engine's operations) and then refreshes the copy, so the change shows on
// the next paint without waiting for the frame.

#include "Chord.h"
#include "Modifiers.h"
#include "PatternView.h"

#include <cstdint>

class Orlantix;

struct EditorModel
{
    static constexpr int kPaneSteps = kModifierSteps;

    // One modifier sequencer as its pane shows it.
    struct Pane
    {
        int mStart = 0;  // first step of the span, 0-based
        int mEnd = 7;    // last step of the span, inclusive
        int mCursor = 0; // the step the sequencer stands on
        bool mRunning = true;
        int mValues[kPaneSteps] = {};
        int mPermanence[kPaneSteps] = {};
    };

    ChordProgression mProgression; // melodies, flags, repeat counts, active steps, span
    Pane mPanes[2];                // indexed by ModifierPane
    int mGrooveStepsActive = 48;
    int mGrooveCurrentStep = 0;

    // The melody grid: which cells are selected (OrlantixGui keeps the selection; the handlers
    // of the command triggers read it under the lock, so the grid paints from this copy).
    bool mSelected[MAX_STEPS][MAX_VARIATIONS_PER_CHORD] = {};

    const Pane& PaneOf(ModifierPane pane) const noexcept
    {
        return mPanes[pane == ModifierPane::kStrike ? 0 : 1];
    }
};

// [main-thread] (locked) Copies the instance's live pattern into model.
void CaptureEditorModel(Orlantix& plug, EditorModel& model) noexcept;

// [main-thread] (takes lock) The same, for an edit that must show before the next frame.
void RefreshEditorModel(Orlantix& plug, EditorModel& model) noexcept;
