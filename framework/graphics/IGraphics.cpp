#include "IGraphics.h"

#include "IBitmapControl.h"
#include "IParameter.h"
#include "IPlugBase.h"

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int fps)
    : mpPlug(plug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : kDefaultFPS)
{
}

void IGraphics::PushParamValue(int paramIdx, double value, bool normalised) noexcept
{
    if (!normalised)
    {
        const IParameter* param = mpPlug ? mpPlug->GetParam(paramIdx) : nullptr;
        if (!param)
            return;
        value = param->ToNormalised(value);
    }
    for (auto& control : mControls)
        if (control->ParamIdx() == paramIdx)
            control->SetValueFromHost(value);
}

void IGraphics::Resize(int width, int height) noexcept
{
    mWidth = width;
    mHeight = height;
    DeleteControls();
    if (mpPlug)
        mpPlug->EditorResized();
}

void IGraphics::AttachBackground(int id, const char* name) noexcept
{
    const IBitmapHandle bitmap = LoadBitmap(id, name, 1);
    auto background =
        std::make_unique<IBitmapControl>(mpPlug, 0, 0, -1, bitmap, IBlendSpec::kBlendClobber);
    mControls.insert(mControls.begin(), std::move(background));
    // Indices moved up by one.
    if (mMouseCapture >= 0)
        ++mMouseCapture;
    if (mMouseOver >= 0)
        ++mMouseOver;
}

int IGraphics::AddControl(IControl* control) noexcept
{
    if (!control)
        return -1;
    mControls.emplace_back(control);
    return NControls() - 1;
}

IControl* IGraphics::GetControl(int idx) const noexcept
{
    if (idx < 0 || idx >= NControls())
        return nullptr;
    return mControls[static_cast<std::size_t>(idx)].get();
}

void IGraphics::SetControlsForParam(int paramIdx, double normalised) noexcept
{
    for (auto& control : mControls)
        if (control->ParamIdx() == paramIdx)
            control->SetValueFromUser(normalised);
}

void IGraphics::MarkAllDirty() noexcept
{
    for (auto& control : mControls)
        control->MarkDirty(false);
}

void IGraphics::DeleteControls() noexcept
{
    mControls.clear();
    mMouseCapture = -1;
    mMouseOver = -1;
    mMouseX = mMouseY = -1;
}

int IGraphics::FindControlAt(int x, int y) const noexcept
{
    if (mMouseCapture >= 0)
        return mMouseCapture;
    for (int i = NControls() - 1; i >= 0; --i)
    {
        const IControl& c = *mControls[static_cast<std::size_t>(i)];
        if (!c.IsHidden() && !c.IsGreyed() && c.HitTest(x, y))
            return i;
    }
    return -1;
}

void IGraphics::MouseDown(int x, int y, const IMouseKeys& keys) noexcept
{
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    const int c = FindControlAt(x, y);
    if (c < 0)
        return;
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    mLastClickWasRight = keys.mR;
    IControl* control = GetControl(c);
    const int paramIdx = control->ParamIdx();
    control->HandleMouseDown(x, y, keys);
    if (paramIdx >= 0 && mpPlug)
        mpPlug->BeginParamGesture(paramIdx);
}

void IGraphics::MouseUp(int x, int y, const IMouseKeys& keys) noexcept
{
    const int c = FindControlAt(x, y);
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    mLastClickWasRight = false;
    IControl* control = GetControl(c);
    if (!control)
        return;
    control->HandleMouseUp(x, y, keys);
    if (control->ParamIdx() >= 0 && mpPlug)
        mpPlug->EndParamGesture(control->ParamIdx());
}

void IGraphics::MouseDrag(int x, int y, const IMouseKeys& keys) noexcept
{
    IControl* control = GetControl(mMouseCapture);
    if (!control || (x == mMouseX && y == mMouseY))
        return;
    const int dx = x - mMouseX;
    const int dy = y - mMouseY;
    mMouseX = x;
    mMouseY = y;
    control->HandleMouseDrag(x, y, dx, dy, keys);
}

bool IGraphics::DoubleClick(int x, int y, const IMouseKeys& keys) noexcept
{
    mMouseCapture = -1;
    const int c = FindControlAt(x, y);
    IControl* control = GetControl(c);
    if (!control)
        return false;
    if (!control->DblAsSingleClick())
    {
        control->HandleDoubleClick(x, y, keys);
        return false;
    }
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    control->HandleMouseDown(x, y, keys);
    return true;
}

void IGraphics::Wheel(int x, int y, const IMouseKeys& keys, int notches) noexcept
{
    if (IControl* control = GetControl(FindControlAt(x, y)))
        control->HandleWheel(x, y, keys, notches);
}

void IGraphics::KeyDown(int x, int y, int keyCode) noexcept
{
    if (IControl* control = GetControl(FindControlAt(x, y)))
        control->HandleKey(x, y, keyCode);
}

bool IGraphics::MouseOver(int x, int y, const IMouseKeys& keys) noexcept
{
    if (!mHandleMouseOver)
        return false;
    const int c = FindControlAt(x, y);
    if (IControl* control = GetControl(c))
    {
        mMouseX = x;
        mMouseY = y;
        control->HandleMouseOver(x, y, keys);
    }
    if (mMouseOver >= 0 && mMouseOver != c)
        if (IControl* previous = GetControl(mMouseOver))
            previous->HandleMouseOut();
    mMouseOver = c;
    return true;
}

void IGraphics::MouseOut() noexcept
{
    for (auto& control : mControls)
        control->HandleMouseOut();
    mMouseOver = -1;
}

bool IGraphics::CollectDirty(IRect& rect) noexcept
{
    bool dirty = false;
    for (auto& control : mControls)
    {
        control->Notify();
        if (control->NeedsRepaint())
        {
            rect = rect.Union(control->GetRECT());
            dirty = true;
        }
    }
    return dirty;
}

bool IGraphics::PaintDirty(const IRect& rect) noexcept
{
    if (mControls.empty())
        return true;
    mDrawRECT = rect;
    for (auto& control : mControls)
    {
        if (!control->IsHidden() && control->GetRECT().Intersects(rect))
            control->Paint(*this);
        control->MarkClean();
    }
    return PresentRect(rect);
}

bool IGraphics::DrawBitmapFrame(const IBitmapHandle& bitmap, const IRect& rect, int frame,
                                const IBlendSpec* blend) noexcept
{
    return DrawBitmap(bitmap, rect, 0, FrameTop(bitmap.mH, bitmap.mN, frame), blend);
}

bool IGraphics::DrawRectOutline(const IColorARGB& color, const IRect& rect) noexcept
{
    const bool top = DrawHorizontalLine(color, rect.mT, rect.mL, rect.mR);
    const bool bottom = DrawHorizontalLine(color, rect.mB, rect.mL, rect.mR);
    const bool left = DrawVerticalLine(color, rect.mL, rect.mT, rect.mB);
    const bool right = DrawVerticalLine(color, rect.mR, rect.mT, rect.mB);
    return top && bottom && left && right;
}
