#pragma once
// The strip under the groove canvas that shows which step plays: 48 cells, the current one
// white, the others black. It paints from the frame's copy of the pattern.

#include "IColorARGB.h"
#include "IControl.h"

struct EditorModel;

class IGrooveMakerStepMarker : public IControl
{
public:
    // [main-thread] Bound to no parameter.
    IGrooveMakerStepMarker(IEditorHost* plug, const IRect& rect, const EditorModel& model);

    bool Paint(IGraphics& graphics) noexcept override;

    static const IColorARGB kCurrent;
    static const IColorARGB kOther;

private:
    const EditorModel& mModel;
};
