#pragma once
// The two modifier sequencer panes under the melody grid: the strike pane on the left, the
// melody pane on the right. Each has a run switch and, per step, a Temp/Perm pin, a button
// showing the step's modifier and a marker that lights while the step plays and turns red
// outside the sequencer's span. Positions and images come from the layout table
// (resources/layout.txt: StrikePane, MelodyPane) and the images' sizes; the melody pane's
// buttons sit one pixel higher than the strike pane's.

#include "PatternView.h"
#include "StepSequencerControl.h"

#include <memory>

class IGraphicsWin;
class Orlantix;
struct EditorModel;

class ModifierPanes
{
public:
    // [main-thread] Builds the strike pane, then the melody pane, into g: the run switch, then
    // per step the modifier button, the pin and the marker.
    static std::unique_ptr<ModifierPanes> Build(IGraphicsWin& g, Orlantix& plug,
                                                EditorModel& model) noexcept;
    ModifierPanes(const ModifierPanes&) = delete;
    ModifierPanes& operator=(const ModifierPanes&) = delete;

    // View operations: [main-thread], also without the lock (a frame applies its work after
    // letting go of it); they touch only the controls.
    // The play highlight of a step on or off; its marker repaints.
    void SetStepHighlight(ModifierPane pane, int step, bool on) noexcept;
    // Every step's marker, pin and button repaint (the span changed: the markers follow).
    void RepaintAll(ModifierPane pane) noexcept;

    // Steps outside 0..7 answer null.
    const StepView* Step(ModifierPane pane, int step) const noexcept;
    ISwitchControl* RunSwitch(ModifierPane pane) const noexcept;

private:
    ModifierPanes() = default;

    StrikeModifierSequencerControl mStrike;
    MelodyModifierSequencerControl mMelody;
    ISwitchControl* mpRunSwitches[2] = {};
    Orlantix* mpPlug = nullptr; // whose lock the view operations run under
};
