#include "IGraphics.h"

#include "IBitmapControl.h"
#include "IEditorHost.h"
#include "IFrameHook.h"
#include "IMutex.h"
#include "IParameter.h"

IGraphics::IGraphics(IEditorHost* plug, int width, int height, int fps)
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
    if (!mDeferPushes)
    {
        ShowValue(paramIdx, value);
        return;
    }
    // Any thread: only the record, which the next frame reads under the same lock.
    IMutexLock lock(mpPlug->Mutex());
    if (paramIdx < 0 || paramIdx >= static_cast<int>(mPushed.size()))
        return;
    mPushedValues[static_cast<std::size_t>(paramIdx)] = value;
    mPushed[static_cast<std::size_t>(paramIdx)] = 1;
    mAnyPushed = true;
}

void IGraphics::ShowValue(int paramIdx, double normalised) noexcept
{
    for (auto& control : mControls)
        if (control->ParamIdx() == paramIdx)
            control->SetValueFromHost(normalised);
}

void IGraphics::DeferParamPushes()
{
    if (!mpPlug || mDeferPushes)
        return;
    const auto n = static_cast<std::size_t>(mpPlug->NParams());
    IMutexLock lock(mpPlug->Mutex());
    mPushedValues.assign(n, 0.0);
    mPushed.assign(n, 0);
    mTakenValues.assign(n, 0.0);
    mTaken.assign(n, 0);
    mDeferPushes = true;
}

void IGraphics::BeginFrame() noexcept
{
    if (!mpFrameHook && !mDeferPushes)
        return;
    if (!mpPlug)
    {
        // No plug-in, no lock, nothing deferred.
        mpFrameHook->CaptureFrame(*this);
        mpFrameHook->OnFrame(*this);
        return;
    }
    bool took = false;
    bool all = false;
    {
        // Only swaps and copies: the audio thread waits while the lock is held.
        IMutexLock lock(mpPlug->Mutex());
        if (mAnyPushed)
        {
            mAnyPushed = false;
            mPushedValues.swap(mTakenValues);
            mPushed.swap(mTaken);
            took = true;
        }
        all = mPushAll;
        mPushAll = false;
        if (mpFrameHook)
            mpFrameHook->CaptureFrame(*this);
    }
    if (took)
    {
        for (std::size_t i = 0; i < mTaken.size(); ++i)
        {
            if (!mTaken[i])
                continue;
            mTaken[i] = 0;
            if (!all)
                ShowValue(static_cast<int>(i), mTakenValues[i]);
        }
    }
    // The values are single atomic words: read without the lock, each as it stands now.
    if (all)
        for (int i = 0; i < mpPlug->NParams(); ++i)
            ShowValue(i, mpPlug->GetParam(i)->Normalised());
    if (mpFrameHook)
        mpFrameHook->OnFrame(*this);
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
    background->SetGUI(this);
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
    control->SetGUI(this);
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
    ReleaseMouse();
    mControls.clear();
    mMouseOver = -1;
}

void IGraphics::BeginGesture(int paramIdx) noexcept
{
    if (paramIdx < 0 || !mpPlug)
        return;
    EndGesture();
    mGestureParam = paramIdx;
    mpPlug->BeginParamGestureFromGUI(paramIdx);
}

void IGraphics::EndGesture() noexcept
{
    if (mGestureParam < 0)
        return;
    const int paramIdx = mGestureParam;
    mGestureParam = -1;
    if (mpPlug)
        mpPlug->EndParamGestureFromGUI(paramIdx);
}

void IGraphics::TellHost(bool withStateChange) noexcept
{
    if (mpPlug)
        mpPlug->FlushHostNotices(withStateChange);
}

void IGraphics::ReleaseMouse() noexcept
{
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    EndGesture();
    TellHost(false);
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
    // A press whose release never came (a drag ended outside any window) ends here.
    ReleaseMouse();
    const int c = FindControlAt(x, y);
    if (c < 0)
        return;
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    mLastClickWasRight = keys.mR;
    IControl* control = GetControl(c);
    BeginGesture(control->ParamIdx());
    mPopupTookMouse = false;
    control->HandleMouseDown(x, y, keys);
    if (mPopupTookMouse)
    {
        mPopupTookMouse = false;
        ReleaseMouse();
    }
    TellHost(false);
}

void IGraphics::MouseUp(int x, int y, const IMouseKeys& keys) noexcept
{
    const int c = FindControlAt(x, y);
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    mLastClickWasRight = false;
    if (IControl* control = GetControl(c))
        control->HandleMouseUp(x, y, keys);
    EndGesture();
    TellHost(false);
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
    TellHost(false);
}

bool IGraphics::DoubleClick(int x, int y, const IMouseKeys& keys) noexcept
{
    ReleaseMouse();
    const int c = FindControlAt(x, y);
    IControl* control = GetControl(c);
    if (!control)
        return false;
    BeginGesture(control->ParamIdx());
    if (!control->DblAsSingleClick())
    {
        control->HandleDoubleClick(x, y, keys);
        EndGesture();
        TellHost(false);
        return false;
    }
    // A press like any other: its release ends the gesture.
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    mPopupTookMouse = false;
    control->HandleMouseDown(x, y, keys);
    const bool captured = !mPopupTookMouse;
    if (mPopupTookMouse)
    {
        mPopupTookMouse = false;
        ReleaseMouse();
    }
    TellHost(false);
    return captured;
}

void IGraphics::Wheel(int x, int y, const IMouseKeys& keys, int notches) noexcept
{
    IControl* control = GetControl(FindControlAt(x, y));
    if (!control)
        return;
    // Inside a drag's gesture the turn belongs to it; otherwise it is a gesture of its own.
    const bool own = mGestureParam < 0;
    if (own)
        BeginGesture(control->ParamIdx());
    control->HandleWheel(x, y, keys, notches);
    if (own)
        EndGesture();
    TellHost(false);
}

void IGraphics::KeyDown(int x, int y, int keyCode) noexcept
{
    IControl* control = GetControl(FindControlAt(x, y));
    if (!control)
        return;
    const bool own = mGestureParam < 0;
    if (own)
        BeginGesture(control->ParamIdx());
    mPopupTookMouse = false;
    control->HandleKey(x, y, keyCode);
    mPopupTookMouse = false;
    if (own)
        EndGesture();
    TellHost(false);
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
    BeginFrame();
    // Once a frame, and outside the lock the frame hook ran under.
    TellHost(true);
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
    for (auto& control : mControls)
    {
        // A control draws only inside its own rectangle, the area a change of it repaints, and
        // only inside the frame's, which the controls beneath have just painted afresh.
        mDrawRECT = rect.Intersect(control->GetRECT());
        if (!control->IsHidden() && !mDrawRECT.Empty())
            control->Paint(*this);
        control->MarkClean();
    }
    mDrawRECT = IRect();
    return PresentRect(rect);
}

bool IGraphics::DrawBitmapFrame(const IBitmapHandle& bitmap, const IRect& rect, int frame,
                                const IBlendSpec* blend) noexcept
{
    return DrawBitmap(bitmap, rect, 0, FrameTop(bitmap.mH, bitmap.mN, frame), blend);
}

bool IGraphics::DrawRectOutline(const IColorARGB& color, const IRect& rect) noexcept
{
    const int r = rect.mR - 1, b = rect.mB - 1;
    const bool top = DrawHorizontalLine(color, rect.mT, rect.mL, r);
    const bool bottom = DrawHorizontalLine(color, b, rect.mL, r);
    const bool left = DrawVerticalLine(color, rect.mL, rect.mT, b);
    const bool right = DrawVerticalLine(color, r, rect.mT, b);
    return top && bottom && left && right;
}
