#include "IControl.h"

#include "IEditorHost.h"
#include "IGraphics.h"
#include "IMutex.h"
#include "IParameter.h"
#include "IPopupMenu.h"
#include "ThreadRole.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace
{
// Every 24th item after the first 24 starts a new column, so long lists stay on screen.
constexpr int kMenuItemsPerColumn = 24;
} // namespace

IControl::IControl(IEditorHost* plug, const IRect& rect, int paramIdx,
                   IBlendSpec::EMethod blendMethod, float blendWeight)
    : mBlend{blendMethod, blendWeight}, mpPlug(plug), mRECT(rect), mTargetRECT(rect),
      mParamIdx(paramIdx)
{
    ORX_MAIN_THREAD();
}

void IControl::HandleMouseDown(int, int, const IMouseKeys& keys) noexcept
{
    ORX_MAIN_THREAD();
    if (keys.mR)
        PromptForValue();
}

void IControl::HandleMouseUp(int, int, const IMouseKeys&) noexcept {}

void IControl::HandleMouseDrag(int, int, int, int, const IMouseKeys&) noexcept {}

void IControl::HandleDoubleClick(int, int, const IMouseKeys&) noexcept
{
    ORX_MAIN_THREAD();
    if (mDefaultValue >= 0.0)
    {
        mValue = mDefaultValue;
        MarkDirty(true);
    }
}

void IControl::HandleWheel(int, int, const IMouseKeys& keys, int notches) noexcept
{
    ORX_MAIN_THREAD();
    mValue += notches * ((keys.mS || keys.mC) ? 0.001 : 0.01);
    MarkDirty(true);
}

void IControl::HandleKey(int, int, int) noexcept {}

void IControl::HandleMouseOver(int, int, const IMouseKeys&) noexcept {}

void IControl::HandleMouseOut() noexcept {}

void IControl::SetValueFromHost(double value) noexcept
{
    ORX_MAIN_THREAD();
    if (mDefaultValue < 0.0)
    {
        mDefaultValue = value;
        mValue = value;
    }
    else if (value == mValue)
    {
        return;
    }
    else
    {
        mValue = value;
    }
    MarkDirty(false);
    mRepaintPending = true;
}

void IControl::SetHidden(bool hidden) noexcept
{
    mHide = hidden;
    mRepaintPending = true;
    MarkDirty(false);
}

void IControl::SetGreyed(bool greyed) noexcept
{
    mGrayed = greyed;
    mBlend.mWeight = greyed ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int x, int y) const noexcept
{
    return !mTargetRECT.Empty() && mTargetRECT.Contains(x, y);
}

void IControl::MarkDirty(bool pushToPlug) noexcept
{
    // Written so that a value that is not a number ends at the low end, not in the plug-in.
    mValue = mValue > mClampLo ? std::min(mValue, mClampHi) : mClampLo;
    mDirty = true;
    RaiseChanged();
    if (pushToPlug && mpPlug && mParamIdx >= 0)
        mpPlug->SetParameterFromGUI(mParamIdx, mValue);
}

void IControl::MarkClean() noexcept
{
    mDirty = mRepaintPending;
    mRepaintPending = false;
}

void IControl::RestoreDefault() noexcept
{
    if (mDefaultValue < 0.0)
        return; // no default yet: nothing to restore, rather than pushing the clamp's low end
    mValue = mDefaultValue;
    MarkDirty(true);
    mRepaintPending = true;
}

const char* IControl::EditName() const noexcept
{
    ORX_MAIN_THREAD();
    if (mpEditName)
        return mpEditName;
    const IParameter* param = GetParam();
    return param && param->Name()[0] ? param->Name() : "Edit";
}

std::unique_ptr<IPopupMenu> IControl::BuildParamMenu() noexcept
{
    ORX_MAIN_THREAD();
    const IParameter* param = GetParam();
    if (!param)
        return nullptr;
    const int count = param->NDisplayTexts();
    const bool listed = param->Type() == IParameter::kTypeEnum ||
                        (param->Type() == IParameter::kTypeBool && count > 0);
    if (!listed)
        return nullptr;
    char current[IParameter::kTextSize];
    param->DisplayText(param->Value(), false, current, sizeof(current));
    auto menu = std::make_unique<IPopupMenu>();
    for (int key = 0; key < count; ++key)
    {
        const char* text = DisplayTextForKey(*param, key);
        int flags = 0;
        if (text && std::strcmp(text, current) == 0)
            flags |= IPopupMenu::Item::kChecked;
        if (key >= kMenuItemsPerColumn && key % kMenuItemsPerColumn == 0)
            flags |= IPopupMenu::Item::kBreak;
        menu->AddTextItem(text ? text : "", -1, flags);
    }
    return menu;
}

void IControl::ApplyMenuChoice(IPopupMenu&, int item) noexcept
{
    ORX_MAIN_THREAD();
    const IParameter* param = GetParam();
    if (!param || param->NDisplayTexts() < 1)
        return;
    const double range = param->Max() - param->Min();
    double v = 0.0;
    if (param->Type() != IParameter::kTypeDouble && range > 0.0)
        v = item * param->Step() / range;
    if (v != mValue)
    {
        mValue = v;
        MarkDirty(true);
        mRepaintPending = true;
    }
}

std::string IControl::MenuEditName(const IPopupMenu& menu, int item) const
{
    ORX_MAIN_THREAD();
    const IParameter* param = GetParam();
    // A menu of the parameter's values changes the parameter: it is named after it.
    if (param && param->NDisplayTexts() > 0 && menu.NItems() == param->NDisplayTexts())
        return EditName();
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    if (!chosen || chosen->Text().empty())
        return EditName();
    const std::string parent = menu.ParentTextAt(item);
    if (parent.empty())
        return chosen->Text();
    const std::string& text = chosen->Text();
    const std::size_t last = text.find_last_of(' ');
    return parent + " " + (last == std::string::npos ? text : text.substr(last + 1));
}

void IControl::SetValueFromUser(double value) noexcept
{
    ORX_MAIN_THREAD();
    if (value == mValue)
        return;
    mValue = value;
    MarkDirty(true);
    mRepaintPending = true;
}

void IControl::PromptForValue() noexcept
{
    ORX_MAIN_THREAD();
    if (mParamIdx < 0 || mDisablePrompt)
        return;
    if (IGraphics* gui = GetGUI())
        gui->PromptUserInput(this, GetParam(), false);
    mRepaintPending = true;
}

bool IControl::MidiLearnable() const noexcept
{
    const IParameter* param = GetParam();
    return param && param->Name()[0] != '\0';
}

void IControl::SetMidiMark(int mark) noexcept
{
    if (mark == mMidiMark)
        return;
    mMidiMark = mark;
    MarkDirty(false);
    mRepaintPending = true;
}

IParameter* IControl::GetParam() const noexcept
{
    return (mpPlug && mParamIdx >= 0) ? mpPlug->GetParam(mParamIdx) : nullptr;
}

void IControl::Clamp(double lo, double hi) noexcept
{
    mClampLo = lo;
    mClampHi = hi;
}

int FrameForValue(double value, int frameCount) noexcept
{
    if (frameCount < 2)
        return 1;
    const double f = 1.0 + (frameCount - 1) * value + 0.5;
    if (!(f >= 1.0))
        return 1; // below 1 (or not a number) would address rows above the image
    return f >= frameCount ? frameCount : static_cast<int>(f);
}

int FrameTop(int height, int frameCount, int frame) noexcept
{
    if (frameCount < 2 || frame < 2)
        return 0;
    return static_cast<int>(static_cast<double>(height) * (frame - 1) / frameCount + 0.5);
}

const char* DisplayTextForKey(const IParameter& param, int key) noexcept
{
    for (int i = 0; i < param.NDisplayTexts(); ++i)
    {
        int k = 0;
        const char* text = param.DisplayTextAt(i, &k);
        if (text && k == key)
            return text;
    }
    return nullptr;
}
