#pragma once
// What the plug-in instance, its parameter handlers and OrlantixGui tell the editor, on top of
// what the engine tells it while playing. Every call only marks controls dirty or shows a
// value; none of them writes a parameter or calls back into the instance, so a handler can
// call them freely under the instance lock, also where a bound controller runs it: on the
// audio thread. The defaults do nothing: without an editor the instance behaves the same.

#include "PatternView.h"

class OrlantixView : public PatternView
{
public:
    // [any-thread] (locked) Moves the chord span control's thumbs to first step low and end high
    // (exclusive). Display only: a span that is not valid leaves the thumbs where they are.
    virtual void ShowSpan(int /*low*/, int /*high*/) noexcept {}
    // [any-thread] (locked) Redraws the four cells of a chord step.
    virtual void RedrawColumn(int /*chordStep*/) noexcept {}
    // [any-thread] (locked) Redraws every melody cell and the four row controls.
    virtual void RedrawAll() noexcept {}
    // [any-thread] (locked) Redraws a modifier pane after its span changed.
    virtual void RedrawPane(ModifierPane /*pane*/) noexcept {}
    // [any-thread] (locked) Shows a row's solo and mute state on its switches, without touching
    // the parameters behind them.
    virtual void ShowRowSwitches(int /*row*/, bool /*solo*/, bool /*mute*/) noexcept {}
    // [main-thread] (locked) Shows the current preset's name in the preset field.
    virtual void ShowPresetName(const char* /*name*/) noexcept {}
    // [main-thread] (locked) The preset tree was rebuilt: the preset menu must be built anew.
    virtual void PresetTreeChanged() noexcept {}
};
