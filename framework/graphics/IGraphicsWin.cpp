#include "IGraphicsWin.h"

#include "IParameter.h"
#include "LICE_SysBitmap.h"
#include "ThreadRole.h"
#include "WindowSystem.h"

IGraphicsWin::IGraphicsWin(IEditorHost* plug, int width, int height, WindowSystemFactory factory,
                           int windowClassTag, int fps)
    : IGraphicsLice(plug, width, height, fps)
{
    ORX_MAIN_THREAD();
    if (factory)
        mpSystem = factory(*this, windowClassTag);
}

IGraphicsWin::~IGraphicsWin()
{
    // The plug-in base deletes its context while it is being destroyed itself.
    DetachPlug();
    CloseWindow();
}

void IGraphicsWin::HandleEvent(const WindowEvent& e) noexcept
{
    ORX_MAIN_THREAD();
    if (!IsWindowOpen())
        return;
    switch (e.mKind)
    {
    case WindowEvent::kEntryFocus:
        if (mEntryOpen)
            mEntryState = 1;
        return;
    case WindowEvent::kEntryBlur:
        if (mEntryOpen)
            mEntryState = 0;
        return;
    case WindowEvent::kEntryCommit:
        if (mEntryOpen)
            mEntryState = 4;
        return;
    case WindowEvent::kEntryCancel:
        if (mEntryOpen)
            mEntryState = 3;
        return;
    default:
        break;
    }
    // While the box has the focus the editor only listens for a right press, which cancels.
    if (mEntryOpen && mEntryState == 1)
    {
        if (e.mKind == WindowEvent::kMouseDown && e.mRightButton)
            mEntryState = 3;
        return;
    }
    switch (e.mKind)
    {
    case WindowEvent::kMouseMove:
        if (!e.mKeys.mL && !e.mKeys.mR)
        {
            if (MouseOver(e.mX, e.mY, e.mKeys))
                mpSystem->TrackPointerLeave();
        }
        else if (mpSystem->PointerCaptured())
        {
            MouseDrag(e.mX, e.mY, e.mKeys);
        }
        return;
    case WindowEvent::kMouseDown:
        if (e.mRightButton && mEntryOpen)
        {
            mEntryState = 3;
            return;
        }
        if (mEntryOpen)
            mEntryState = 4; // a click in the editor commits the entry, and still counts
        mpSystem->CapturePointer();
        MouseDown(e.mX, e.mY, e.mKeys);
        if (CapturedControl() < 0)
            mpSystem->ReleasePointer(); // nothing under the press, or a menu took the mouse
        return;
    case WindowEvent::kMouseUp:
        mpSystem->ReleasePointer();
        MouseUp(e.mX, e.mY, e.mKeys);
        return;
    case WindowEvent::kDoubleClick:
        if (DoubleClick(e.mX, e.mY, e.mKeys))
            mpSystem->CapturePointer();
        return;
    case WindowEvent::kWheel:
        Wheel(e.mX, e.mY, e.mKeys, e.mNotches);
        return;
    case WindowEvent::kMouseLeave:
        MouseOut();
        return;
    case WindowEvent::kKeyDown:
    {
        if (EditKey(e.mVirtualKey, e.mKeys.mC, e.mKeys.mS))
            return;
        if (e.mVirtualKey == kVirtualKeyEscape && CancelMidiLearn())
            return;
        const int code = KeyCodeForVirtualKey(e.mVirtualKey);
        if (code >= 0)
            KeyDown(e.mX, e.mY, code);
        return;
    }
    case WindowEvent::kActivate:
        mpSystem->FocusEditorWindow();
        return;
    case WindowEvent::kPaint:
        if (!e.mRect.Empty())
            OnPaint(e.mRect);
        return;
    case WindowEvent::kTimer:
        OnFrameTick();
        return;
    case WindowEvent::kClose:
        CloseWindow();
        return;
    default:
        return;
    }
}

void IGraphicsWin::OnPaint(const IRect& area) noexcept
{
    // The system asks for paint on its own too (a window uncovered, an entry box gone), and
    // painting marks every control clean: controls made dirty since the last tick are painted
    // now as well, or their change would not show until they change again.
    IRect paint = area;
    IRect dirty;
    if (CollectDirty(dirty))
    {
        mpSystem->Invalidate(dirty);
        paint = paint.Union(dirty);
    }
    PaintDirty(paint);
}

void IGraphicsWin::OnFrameTick() noexcept
{
    if (mEntryOpen && mEntryState != 0)
    {
        HandleEntryState();
        return;
    }
    IRect dirty;
    if (CollectDirty(dirty))
    {
        mpSystem->Invalidate(dirty);
        mpSystem->UpdateNow();
        if (mEntryOpen)
            mEntryState = 2;
    }
}

void IGraphicsWin::HandleEntryState() noexcept
{
    switch (mEntryState)
    {
    case 2:
        if (mpPromptParam && mpPromptParam->NDisplayTexts() == 0)
        {
            char text[IParameter::kTextSize];
            mpPromptParam->DisplayText(mpPromptParam->Value(), false, text, sizeof(text));
            if (mpSystem->EntryText(kMaxEntryText) != text)
                mpSystem->SetEntryText(text);
        }
        mEntryState = 0;
        return;
    case 4:
        CommitEntry();
        CloseEntry();
        return;
    case 3:
        CloseEntry();
        return;
    default:
        mEntryState = 0;
        return;
    }
}

void* IGraphicsWin::OpenWindow(void* parent) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSystem)
        return nullptr;
    mpParentWnd = parent;
    IRect rect(0, 0, Width(), Height());
    if (IsWindowOpen())
    {
        rect = mpSystem->EditorWindowRect();
        CloseWindow();
    }
    else
    {
        // A window the host destroyed under an open prompt took the box with it: the prompt
        // is over, or no value could be typed in again.
        CloseEntry();
    }
    if (!mpSystem->CreateEditorWindow(parent, rect))
        return nullptr;
    // Dirty first: a backend may run the first frame as its timer starts.
    MarkAllDirty();
    mpSystem->StartFrameTimer(FramePeriodMs());
    return mpSystem->EditorWindow();
}

void IGraphicsWin::CloseWindow() noexcept
{
    ORX_MAIN_THREAD();
    // Also when the window went with the host's: a prompt in it is over, and so is a drag and
    // a MIDI learn nobody sees waiting.
    ReleaseMouse();
    CloseEntry();
    CancelMidiLearn();
    if (!IsWindowOpen())
        return;
    mpSystem->StopFrameTimer();
    mpSystem->ReleasePointer();
    mpSystem->DestroyEditorWindow();
}

void* IGraphicsWin::WindowHandle() const noexcept
{
    return mpSystem ? mpSystem->EditorWindow() : nullptr;
}

bool IGraphicsWin::IsWindowOpen() const noexcept
{
    return WindowHandle() != nullptr;
}

void IGraphicsWin::IdleWindow() noexcept
{
    ORX_MAIN_THREAD();
    if (IsWindowOpen())
        mpSystem->Idle();
}

bool IGraphicsWin::HasScreen() const noexcept
{
    return mpSystem && mpSystem->ShowsOnScreen();
}

bool IGraphicsWin::PresentRect(const IRect& rect) noexcept
{
    ORX_MAIN_THREAD();
    if (!IsWindowOpen() || !Surface())
        return true; // nothing on screen to bring up to date
    return mpSystem->Present(*Surface(), rect);
}

void IGraphicsWin::Resize(int width, int height) noexcept
{
    ORX_MAIN_THREAD();
    const int dw = width - Width();
    const int dh = height - Height();
    CloseEntry(); // its control is about to be deleted
    IGraphicsLice::Resize(width, height);
    if (IsWindowOpen())
        mpSystem->GrowEditorWindow(dw, dh);
}

void IGraphicsWin::HostProgramFolder(std::string& folder) noexcept
{
    ORX_MAIN_THREAD();
    folder.clear();
    if (mpSystem)
        folder = FolderOfPath(mpSystem->HostProgramPath());
}

void IGraphicsWin::PluginFolder(std::string& folder) noexcept
{
    ORX_MAIN_THREAD();
    folder.clear();
    if (mpSystem)
        folder = FolderOfPath(mpSystem->ModulePath(Module()));
}

std::string FolderOfPath(const std::string& path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}
