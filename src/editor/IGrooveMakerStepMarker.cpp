#include "IGrooveMakerStepMarker.h"

#include "EditorModel.h"
#include "GrooveMaker.h"
#include "IGraphics.h"
#include "IGrooveMakerCanvas.h"

const IColorARGB IGrooveMakerStepMarker::kCurrent{255, 255, 255, 255};
const IColorARGB IGrooveMakerStepMarker::kOther{255, 0, 0, 0};

IGrooveMakerStepMarker::IGrooveMakerStepMarker(IEditorHost* plug, const IRect& rect,
                                               const EditorModel& model)
    : IControl(plug, rect), mModel(model)
{
}

bool IGrooveMakerStepMarker::Paint(IGraphics& graphics) noexcept
{
    const IRect& r = GetRECT();
    bool drawn = true;
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
    {
        const int left = r.mL + IGrooveMakerCanvas::kStepPitch * i;
        const IColorARGB& color = i == mModel.mGrooveCurrentStep ? kCurrent : kOther;
        drawn =
            graphics.FillRect(color, IRect(left, r.mT, left + IGrooveMakerCanvas::kBarWidth, r.mB),
                              &mBlend) &&
            drawn;
    }
    return drawn;
}
