#include "IGraphics.h"

#include "IBitmapControl.h"
#include "IEditorHost.h"
#include "IFrameHook.h"
#include "IMutex.h"
#include "IParameter.h"
#include "ThreadRole.h"

IGraphics::IGraphics(IEditorHost* plug, int width, int height, int fps)
    : mpPlug(plug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : kDefaultFPS)
{
    ORX_MAIN_THREAD();
}

void IGraphics::PushParamValue(int paramIdx, double value, bool normalised) noexcept
{
    if (mpPlug)
        ORX_LOCKED(mpPlug->Mutex());
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

bool IGraphics::PushAllAtNextFrame() noexcept
{
    if (mpPlug)
        ORX_LOCKED(mpPlug->Mutex());
    if (!mDeferPushes)
        return false;
    mPushAll = true;
    return true;
}

void IGraphics::ShowValue(int paramIdx, double normalised) noexcept
{
    for (auto& control : mControls)
        if (control->ParamIdx() == paramIdx)
            control->SetValueFromHost(normalised);
}

void IGraphics::DeferParamPushes()
{
    ORX_MAIN_THREAD();
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
    ORX_MAIN_THREAD();
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
    // Only swaps and copies, which the audio thread may run.
    mpPlug->Mutex().Run(
        [&]() noexcept
        {
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
        });
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
    if (mpPlug->OffersMidiLearn() && mpPlug->ControllerMapVersion() != mMapVersionShown)
        ShowControllerMarks();
    if (mpFrameHook)
        mpFrameHook->OnFrame(*this);
}

void IGraphics::ShowControllerMarks() noexcept
{
    ORX_MAIN_THREAD();
    // One section for all the marks, not one per control.
    mpPlug->Mutex().Run(
        [this]() noexcept
        {
            mMapVersionShown = mpPlug->ControllerMapVersion();
            const int learning = mpPlug->LearningParam();
            for (auto& control : mControls)
            {
                if (!control->MidiLearnable())
                    continue;
                int controller = -1, channel = -1;
                const int p = control->ParamIdx();
                control->SetMidiMark(p == learning ? IControl::kMidiMarkLearning
                                     : mpPlug->ControllerOf(p, controller, channel)
                                         ? IControl::kMidiMarkBound
                                         : IControl::kMidiMarkNone);
            }
        });
}

void IGraphics::PaintMidiMark(const IControl& control) noexcept
{
    // Amber: bound; an outline: waiting for its controller.
    static constexpr int kSize = 5;
    const IColorARGB amber{255, 255, 176, 0};
    const IRect& r = control.GetRECT();
    const IRect mark(r.mR - kSize, r.mT, r.mR, r.mT + kSize);
    if (control.MidiMark() == IControl::kMidiMarkBound)
        FillRect(amber, mark, nullptr);
    else
        DrawRectOutline(amber, mark);
}

bool IGraphics::CancelMidiLearn() noexcept
{
    ORX_MAIN_THREAD();
    if (!mpPlug || mpPlug->LearningParam() < 0)
        return false;
    mpPlug->LearnController(-1);
    return true;
}

void IGraphics::Resize(int width, int height) noexcept
{
    ORX_MAIN_THREAD();
    mWidth = width;
    mHeight = height;
    DeleteControls();
    if (mpPlug)
        mpPlug->EditorResized();
}

void IGraphics::AttachBackground(int id, const char* name) noexcept
{
    ORX_MAIN_THREAD();
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
    ORX_MAIN_THREAD();
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
    ORX_MAIN_THREAD();
    for (auto& control : mControls)
        if (control->ParamIdx() == paramIdx)
            control->SetValueFromUser(normalised);
}

void IGraphics::MarkAllDirty() noexcept
{
    ORX_MAIN_THREAD();
    for (auto& control : mControls)
        control->MarkDirty(false);
}

void IGraphics::DeleteControls() noexcept
{
    ReleaseMouse();
    mControls.clear();
    mMouseOver = -1;
}

bool IGraphics::CollectDirty(IRect& rect) noexcept
{
    ORX_MAIN_THREAD();
    BeginFrame();
    TickWheelRun();
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
    ORX_MAIN_THREAD();
    if (mControls.empty())
        return true;
    for (auto& control : mControls)
    {
        // A control draws only inside its own rectangle, the area a change of it repaints, and
        // only inside the frame's, which the controls beneath have just painted afresh.
        mDrawRECT = rect.Intersect(control->GetRECT());
        if (!control->IsHidden() && !mDrawRECT.Empty())
        {
            control->Paint(*this);
            if (control->MidiMark() != IControl::kMidiMarkNone)
                PaintMidiMark(*control);
        }
        control->MarkClean();
    }
    mDrawRECT = IRect();
    return PresentRect(rect);
}

bool IGraphics::DrawBitmapFrame(const IBitmapHandle& bitmap, const IRect& rect, int frame,
                                const IBlendSpec* blend) noexcept
{
    ORX_MAIN_THREAD();
    return DrawBitmap(bitmap, rect, 0, FrameTop(bitmap.mH, bitmap.mN, frame), blend);
}

bool IGraphics::DrawRectOutline(const IColorARGB& color, const IRect& rect) noexcept
{
    ORX_MAIN_THREAD();
    const int r = rect.mR - 1, b = rect.mB - 1;
    const bool top = DrawHorizontalLine(color, rect.mT, rect.mL, r);
    const bool bottom = DrawHorizontalLine(color, b, rect.mL, r);
    const bool left = DrawVerticalLine(color, rect.mL, rect.mT, b);
    const bool right = DrawVerticalLine(color, r, rect.mT, b);
    return top && bottom && left && right;
}
