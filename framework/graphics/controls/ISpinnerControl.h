#pragma once
// A text control that shows a parameter's value and changes it by dragging or the wheel; the
// value wraps from one end to the other.

#include "ITextControl.h"

class IParameter;

class ISpinnerControl : public ITextControl
{
public:
    enum EDirection
    {
        kVertical = 0,
        kHorizontal = 1,
    };

    // [main-thread] ownParam (not owned) stands in for the plug-in's parameter when the
    // control is bound to none (paramIdx -1). With showValue the text is the parameter's
    // display text, followed by " " and its label with appendLabel.
    ISpinnerControl(IEditorHost* plug, const IRect& rect, int paramIdx, const ITextStyle& style,
                    IParameter* ownParam = nullptr, bool showValue = true, bool appendLabel = false,
                    int direction = kVertical, double gearing = 4.0);

    // Both ignored while greyed.
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept override;
    // One parameter step per notch for stepped parameters; 0.01 (0.001 with shift or control)
    // otherwise.
    void HandleWheel(int x, int y, const IMouseKeys& keys, int notches) noexcept override;
    bool Paint(IGraphics& graphics) noexcept override;

private:
    // The bound parameter, else the own one; may be null.
    IParameter* ShownParam() const noexcept;
    void AddWrapped(double delta) noexcept;

    int mDirection;
    double mGearing;
    bool mShowValue;
    bool mAppendLabel;
    IParameter* mpOwnParam;
};
