#pragma once
// What the pattern engine tells the editor while it plays. The engine calls these on the audio
// thread under the instance lock (tags: ThreadTags.h), so an implementation only marks controls
// dirty (or stores a word atomically) and never paints. The defaults do nothing: an engine without
// an editor plays the same.

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
    // [audio-thread] (locked) Redraws the four controls of a variation after its data changed.
    virtual void RedrawVariation(int /*chordStep*/, int /*variation*/) noexcept {}
    // [audio-thread] (locked) Redraws the groove canvas and its step marker.
    virtual void RedrawGroove() noexcept {}
    // [audio-thread] (locked) Puts the play highlight on a modifier pane's step, or takes it off.
    virtual void SetStepHighlight(ModifierPane /*pane*/, int /*step*/, bool /*on*/) noexcept {}
};
