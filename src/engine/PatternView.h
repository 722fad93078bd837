#pragma once
// What the pattern engine tells the editor while it plays. The engine calls these under the
// instance lock, mostly on the audio thread (tags: ThreadTags.h), so an implementation only marks
// controls dirty (or stores a word atomically) and never paints. The defaults do nothing: an engine
// without an editor plays the same.

enum class ModifierPane
{
    kStrike,
    kMelody
};

class PatternView
{
public:
    virtual ~PatternView() = default;

    // [audio-thread] (locked) Shows the play marker of a variation at a pulse; pulse -1 hides it.
    virtual void SetPlayMarker(int /*chordStep*/, int /*variation*/, int /*pulse*/) noexcept {}
    // [any-thread] (locked) Redraws the four controls of a variation after its data changed:
    // from the process block (a modifier changed it) and from the editor's and the parameter
    // handlers' melody commands.
    virtual void RedrawVariation(int /*chordStep*/, int /*variation*/) noexcept {}
    // [any-thread] (locked) Redraws the groove canvas and its step marker: from the process
    // block when the cursor moves, and from the parameter handlers (a groove step muted, the
    // step count changed).
    virtual void RedrawGroove() noexcept {}
    // [audio-thread] (locked) Puts the play highlight on a modifier pane's step, or takes it off.
    virtual void SetStepHighlight(ModifierPane /*pane*/, int /*step*/, bool /*on*/) noexcept {}
};
