#include "ISpinnerControl.h"

#include "IParameter.h"

#include <string>

ISpinnerControl::ISpinnerControl(IEditorHost* plug, const IRect& rect, int paramIdx,
                                 const ITextStyle& style, IParameter* ownParam, bool showValue,
                                 bool appendLabel, int direction, double gearing)
    : ITextControl(plug, rect, paramIdx, style), mDirection(direction), mGearing(gearing),
      mShowValue(showValue), mAppendLabel(appendLabel), mpOwnParam(ownParam)
{
}

IParameter* ISpinnerControl::ShownParam() const noexcept
{
    IParameter* bound = GetParam();
    return bound ? bound : mpOwnParam;
}

void ISpinnerControl::AddWrapped(double delta) noexcept
{
    mValue += delta;
    if (mValue < 0.0)
        mValue = 1.0;
    else if (mValue > 1.0)
        mValue = 0.0;
    MarkDirty(true);
}

void ISpinnerControl::HandleMouseDrag(int, int, int dx, int dy, const IMouseKeys&) noexcept
{
    if (IsGreyed())
        return;
    const IRect& r = GetRECT();
    double delta = 0.0;
    if (mDirection == kVertical)
        delta = r.mT == r.mB ? 0.0 : dy / static_cast<double>(r.mT - r.mB) / mGearing;
    else
        delta = r.mL == r.mR ? 0.0 : dx / static_cast<double>(r.mR - r.mL) / mGearing;
    AddWrapped(delta);
}

void ISpinnerControl::HandleWheel(int, int, const IMouseKeys& keys, int notches) noexcept
{
    if (IsGreyed())
        return;
    double step = notches * 0.01;
    const IParameter* param = ShownParam();
    const double range = param ? param->Max() - param->Min() : 0.0;
    const double fraction = (param && range != 0.0) ? param->Step() / range : 0.0;
    if (param && param->Type() != IParameter::kTypeDouble && fraction != 0.0)
        step = notches * fraction;
    else if (keys.mS || keys.mC)
        step = notches * 0.001;
    AddWrapped(step);
}

bool ISpinnerControl::Paint(IGraphics& graphics) noexcept
{
    if (mpOwnParam)
        mpOwnParam->SetNormalised(mValue);
    if (mShowValue)
    {
        if (const IParameter* param = ShownParam())
        {
            char text[IParameter::kTextSize];
            param->DisplayText(param->Value(), false, text, sizeof(text));
            std::string shown = text;
            if (mAppendLabel)
                (shown += ' ') += param->Label();
            mText = shown;
        }
    }
    return ITextControl::Paint(graphics);
}
