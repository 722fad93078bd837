#include "ValueReadOut.h"

#include "IControl.h"
#include "IEditorHost.h"
#include "IGraphics.h"
#include "IParameter.h"
#include "ITextControl.h"
#include "TextUtil.h"
#include "ThreadRole.h"

#include <cstdio>
#include <cstring>

ValueReadOut::ValueReadOut(IEditorHost& plug, IControl& knob, IGraphics& graphics,
                           const IRect& rect, const ITextStyle& style)
    : mKnob(knob), mpText(new ITextControl(&plug, rect, style, "")),
      mpParam(plug.GetParam(knob.ParamIdx()))
{
    ORX_MAIN_THREAD();
    graphics.AddControl(mpText);
    knob.Attach(this);
}

void ValueReadOut::Update(ISubject&) noexcept
{
    ORX_MAIN_THREAD();
    // Only on a change: each call marks the text for two frames.
    if (mpText->IsGreyed() != mKnob.IsGreyed())
        mpText->SetGreyed(mKnob.IsGreyed());
    if (mpText->IsHidden() != mKnob.IsHidden())
        mpText->SetHidden(mKnob.IsHidden());
    if (!mpParam)
        return;
    char text[IParameter::kTextSize];
    Format(*mpParam, mpParam->Value(), text, sizeof(text));
    mpText->SetText(text);
}

void ValueReadOut::Format(const IParameter&, double v, char* out, int size) const noexcept
{
    std::snprintf(out, static_cast<std::size_t>(size), "%.2f", v);
}

void ValueReadOutBool::Format(const IParameter&, double v, char* out, int size) const noexcept
{
    orx::CopyText(out, static_cast<std::size_t>(size), v >= 0.5 ? "true" : "false");
}

void ValueReadOutEnum::Format(const IParameter& param, double v, char* out, int size) const noexcept
{
    const char* text = DisplayTextForKey(param, orx::TruncateToInt(v));
    orx::CopyText(out, static_cast<std::size_t>(size), text ? text : "???");
}

void ValueReadOutInt::Format(const IParameter&, double v, char* out, int size) const noexcept
{
    std::snprintf(out, static_cast<std::size_t>(size), "%d", orx::TruncateToInt(v));
}

std::unique_ptr<ValueReadOut> MakeValueReadOut(IEditorHost& plug, IControl& knob,
                                               IGraphics& graphics, const IRect& rect,
                                               const ITextStyle& style)
{
    ORX_MAIN_THREAD();
    const IParameter* param = plug.GetParam(knob.ParamIdx());
    switch (param ? param->Type() : IParameter::kTypeNone)
    {
    case IParameter::kTypeBool:
        return std::make_unique<ValueReadOutBool>(plug, knob, graphics, rect, style);
    case IParameter::kTypeInt:
        return std::make_unique<ValueReadOutInt>(plug, knob, graphics, rect, style);
    case IParameter::kTypeEnum:
        return std::make_unique<ValueReadOutEnum>(plug, knob, graphics, rect, style);
    default:
        return std::make_unique<ValueReadOut>(plug, knob, graphics, rect, style);
    }
}
