#include "StepMarkerCanvas.h"

#include "EditorModel.h"
#include "IGraphics.h"

template <class Sequencer>
StepMarkerCanvas<Sequencer>::StepMarkerCanvas(IEditorHost* plug, const IRect& rect,
                                              const StepView& step, const EditorModel& model)
    : IControl(plug, rect), mStepView(step), mModel(model), mStep(step.mStep)
{
}

template <class Sequencer>
IColorARGB StepMarkerCanvas<Sequencer>::Colour() const noexcept
{
    const EditorModel::Pane& pane = mModel.PaneOf(kPaneOf<Sequencer>);
    if (mStep < pane.mStart || mStep > pane.mEnd)
        return {255, 255, 0, 0};
    if (mStepView.mCurrent)
        return {255, 255, 255, 255};
    return {255, 127, 127, 127};
}

template <class Sequencer>
bool StepMarkerCanvas<Sequencer>::Paint(IGraphics& graphics) noexcept
{
    graphics.FillRect(Colour(), GetRECT(), &mBlend);
    return true;
}

template class StepMarkerCanvas<StrikeModifierSequencer>;
template class StepMarkerCanvas<MelodyModifierSequencer>;
