#pragma once
// The thin bar under a modifier step's button: red when the step lies outside the sequencer's
// span, white while the step plays, grey otherwise. Painted from the editor model's span and
// the step view's current flag.

#include "IColorARGB.h"
#include "IControl.h"
#include "StepSequencerControl.h"

struct EditorModel;

template <class Sequencer>
class StepMarkerCanvas : public IControl
{
public:
    // [main-thread] Bound to no parameter.
    StepMarkerCanvas(IEditorHost* plug, const IRect& rect, const StepView& step,
                     const EditorModel& model);

    bool Paint(IGraphics& graphics) noexcept override;

    // The colour the marker shows now.
    IColorARGB Colour() const noexcept;

private:
    const StepView& mStepView;
    const EditorModel& mModel;
    int mStep;
};

extern template class StepMarkerCanvas<StrikeModifierSequencer>;
extern template class StepMarkerCanvas<MelodyModifierSequencer>;
