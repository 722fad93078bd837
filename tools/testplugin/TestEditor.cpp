#include "TestEditor.h"

#include "IGraphicsWin.h"
#include "IKnobMultiControl.h"
#include "IPlugBase.h"
#include "ISpinnerControl.h"
#include "ISwitchControl.h"
#include "ITextControl.h"

namespace testeditor
{

void AttachTestEditor(IPlugBase& plug, int gainParam, int echoParam, int modeParam, void* library)
{
    auto* graphics = new IGraphicsWin(&plug, kWidth, kHeight, &CreateWindowSystem, plug.UniqueID());
    graphics->SetModule(library);
    graphics->AttachBackground(kBackgroundId, "velta-bg-v1-1.png");
    const IBitmapHandle knob = graphics->LoadBitmap(kKnobId, "silver-knob101.png", 101);
    const IBitmapHandle led = graphics->LoadBitmap(kSwitchId, "on-off-led.png", 2);
    const ITextStyle text("Arial", 14, IColorARGB(255, 230, 230, 230), ITextStyle::kStyleNormal,
                          ITextStyle::kAlignCenter);
    graphics->AddControl(new IKnobMultiControl(&plug, kKnobX, kKnobY, gainParam, knob));
    graphics->AddControl(new ISwitchControl(&plug, kSwitchX, kSwitchY, echoParam, led));
    graphics->AddControl(new ISpinnerControl(
        &plug, IRect(kSpinnerL, kSpinnerT, kSpinnerR, kSpinnerB), modeParam, text));
    graphics->AddControl(new ITextControl(&plug, IRect(kTitleL, kTitleT, kTitleR, kTitleB), text,
                                          "Orlantix test editor"));
    plug.AttachEditor(graphics);
}

} // namespace testeditor
