#pragma once
// The editor's graphics context: it owns the controls (index 0 paints first), routes mouse and
// key events to them, collects and paints the dirty ones each frame and pushes parameter values
// from the plug-in to the controls bound to them. IGraphicsLice draws into a bitmap surface;
// IGraphicsWin puts that surface in a window (see WindowSystem.h).
//
// The plug-in knows the context only as its IPlugEditor, and the context knows the plug-in only
// as its IEditorHost (both in framework/base): neither layer includes the other, and the
// product wires them together. Everything runs on the editor's thread ([main-thread],
// ThreadTags.h); PushParamValue arrives with the instance lock held, from whatever thread the host
// changed a parameter on. A context whose plug-in is hosted on more than one thread defers those
// pushes (DeferParamPushes): they are recorded, and the next frame takes them under the lock,
// together with what the plug-in's frame hook copies (IFrameHook.h), and shows them once the lock
// is free. Painting reads only controls.
//
// Under <windows.h>, DrawText and LoadBitmap are macros: files that include both undefine them
// after <windows.h>.

#include "IBitmapHandle.h"
#include "IBlendSpec.h"
#include "IColorARGB.h"
#include "IControl.h"
#include "IMouseKeys.h"
#include "IPlugEditor.h"
#include "IRect.h"
#include "ThreadRole.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IEditorHost;
class IFrameHook;
class IParameter;
struct ITextStyle;

class IGraphics : public IPlugEditor
{
public:
    static constexpr int kDefaultFPS = 24;

    // [main-thread] A frame rate of 0 or less means 24. plug may be null (no plug-in).
    IGraphics(IEditorHost* plug, int width, int height, int fps = 0);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;
    // Deletes every control.
    ~IGraphics() override = default;

    // IPlugEditor. PushParamValue: with pushes deferred, only the latest value per parameter is
    // recorded; PushAllAtNextFrame is taken only with pushes deferred. Off screen (here) there is
    // no window: OpenWindow answers null, and a window layer with no message loop of its own
    // handles its events and frames in IdleWindow.
    void PushParamValue(int paramIdx, double value, bool normalised) noexcept override = 0;
    bool PushAllAtNextFrame() noexcept override;
    void* OpenWindow(void*) noexcept override { return nullptr; }
    void CloseWindow() noexcept override {}
    bool IsWindowOpen() const noexcept override { return false; }
    bool HasScreen() const noexcept override { return false; }
    void IdleWindow() noexcept override {}
    int Width() const noexcept override { return mWidth; }
    int Height() const noexcept override { return mHeight; }
    // The host may pass keys on from another thread than the one the editor's frames run on:
    // an undo or redo key waits for the next frame.
    bool KeyFromHost(int character, bool control, bool shift) noexcept override;
    virtual void* WindowHandle() const noexcept { return nullptr; }

    // Drawing into the surface. [main-thread] blend may be null (copy with source alpha).
    // Every operation writes only inside the clip rectangle (ClipRect; the whole surface outside
    // a frame), each pixel there as it would be without a clip, so a partial repaint leaves the
    // pixels of a full one.
    // Shows rect of the surface on screen; off screen there is nothing to do.
    virtual bool PresentRect(const IRect&) noexcept { return true; }
    // Draws the part of the image at (srcX, srcY) into dest.
    virtual bool DrawBitmap(const IBitmapHandle& bitmap, const IRect& dest, int srcX, int srcY,
                            const IBlendSpec* blend) noexcept = 0;
    // angle in radians, the image's box centred on (cx, cy).
    virtual bool DrawRotatedBitmap(const IBitmapHandle& bitmap, int cx, int cy, double angle,
                                   int yOffset, const IBlendSpec* blend) noexcept = 0;
    // angle in degrees: mask and top turned over a copy of base, drawn at (x, y).
    virtual bool DrawRotatedMask(const IBitmapHandle& base, const IBitmapHandle& mask,
                                 const IBitmapHandle& top, int x, int y, double angle,
                                 const IBlendSpec* blend) noexcept = 0;
    virtual bool DrawPoint(const IColorARGB& color, float x, float y, const IBlendSpec* blend,
                           bool antiAlias) noexcept = 0;
    // Written straight into the surface, without blending.
    virtual bool SetPixel(const IColorARGB& color, int x, int y) noexcept = 0;
    virtual bool DrawLine(const IColorARGB& color, float x1, float y1, float x2, float y2,
                          const IBlendSpec* blend, bool antiAlias) noexcept = 0;
    // Angles in radians, 0 up, clockwise.
    virtual bool DrawArc(const IColorARGB& color, float cx, float cy, float r, float minAngle,
                         float maxAngle, const IBlendSpec* blend, bool antiAlias) noexcept = 0;
    virtual bool DrawCircle(const IColorARGB& color, float cx, float cy, float r,
                            const IBlendSpec* blend, bool antiAlias) noexcept = 0;
    virtual bool FillRect(const IColorARGB& color, const IRect& rect,
                          const IBlendSpec* blend) noexcept = 0;
    // The text's lines from the top of rect, aligned as the style says (rect places the text;
    // only the clip rectangle cuts it).
    virtual bool DrawText(const ITextStyle& style, const char* text,
                          const IRect& rect) noexcept = 0;
    virtual IColorARGB GetPixel(int x, int y) const noexcept = 0;
    virtual std::uint32_t* SurfacePixels() const noexcept = 0;
    // Coordinates are clamped into the surface; an end before the start draws nothing.
    virtual bool DrawVerticalLine(const IColorARGB& color, int x, int y1, int y2) noexcept = 0;
    virtual bool DrawHorizontalLine(const IColorARGB& color, int y, int x1, int x2) noexcept = 0;

    // [main-thread] New size: every control is deleted and the plug-in told.
    virtual void Resize(int width, int height) noexcept = 0;

    // Window-layer services; off screen they do nothing and answer false or empty.
    // [main-thread] A value prompt for control: a menu of the parameter's choices, or an entry
    // box. textMode edits the control's text instead of a parameter.
    virtual void PromptUserInput(IControl*, IParameter*, bool) noexcept {}
    // [main-thread] A menu of param's display texts, perColumn entries to a column.
    virtual void PopupParamMenu(IControl*, IParameter*, int) noexcept {}
    // [main-thread] Folders with their trailing separator; empty when unknown.
    virtual void HostProgramFolder(std::string& folder) noexcept { folder.clear(); }
    virtual void PluginFolder(std::string& folder) noexcept { folder.clear(); }
    // [main-thread] action 1 saves, anything else opens. path is empty unless a file was
    // chosen.
    virtual bool PromptForFile(std::string& path, int /*action*/, const char* /*folder*/ = nullptr,
                               const char* /*extensions*/ = nullptr) noexcept
    {
        path.clear();
        return false;
    }
    virtual bool PromptForColour(IColorARGB&, const char*) noexcept { return false; }
    virtual bool OpenUrl(const char*, const char* = nullptr, const char* = nullptr,
                         const char* = nullptr) noexcept
    {
        return false;
    }

    // Images. [main-thread] (the bitmap cache behind them: [any-thread], its own lock)
    // The image of resource id (the file name must end in ".png"), cached per process.
    virtual IBitmapHandle LoadBitmap(int id, const char* name, int frames = 1) noexcept = 0;
    virtual IBitmapHandle ScaleBitmap(const IBitmapHandle& bitmap, int width,
                                      int height) noexcept = 0;
    virtual IBitmapHandle CropBitmap(const IBitmapHandle& bitmap, const IRect& rect) noexcept = 0;
    virtual void RetainBitmap(const IBitmapHandle& bitmap) noexcept = 0;
    virtual void ReleaseBitmap(const IBitmapHandle& bitmap) noexcept = 0;
    // [main-thread] The image as a plain-copy control at (0, 0), painted first.
    virtual void AttachBackground(int id, const char* name) noexcept = 0;

    // Controls. [main-thread]
    // Appends control (the context takes it); answers its index, -1 without a control.
    int AddControl(IControl* control) noexcept;
    int NControls() const noexcept { return static_cast<int>(mControls.size()); }
    IControl* GetControl(int idx) const noexcept;
    // Every control bound to paramIdx takes the value as the user's (and so sends it on).
    void SetControlsForParam(int paramIdx, double normalised) noexcept;
    void MarkAllDirty() noexcept;

    // Mouse and keys from the window layer, in editor pixels. [main-thread]
    // A press on a control bound to a parameter opens the host's edit gesture on it; the
    // release closes it, and so does a menu or prompt that takes the mouse during the press
    // (PopupTakesMouse). A double click, a wheel turn and a key each make a gesture of their
    // own. What the host is told goes out after each event, outside the instance lock.
    void MouseDown(int x, int y, const IMouseKeys& keys) noexcept;
    void MouseUp(int x, int y, const IMouseKeys& keys) noexcept;
    void MouseDrag(int x, int y, const IMouseKeys& keys) noexcept;
    // True when the control takes a double click as a press (the window then captures the
    // pointer).
    bool DoubleClick(int x, int y, const IMouseKeys& keys) noexcept;
    void Wheel(int x, int y, const IMouseKeys& keys, int notches) noexcept;
    void KeyDown(int x, int y, int keyCode) noexcept;
    // [main-thread] Control+Z undoes the plug-in's last edit, Control+Shift+Z and Control+Y redo;
    // answers whether the key was one of them (taken even when there is nothing to undo).
    // character is the key's character, from the window layer or the host.
    bool EditKey(int character, bool control, bool shift) noexcept;
    // Answers whether the pointer is tracked without a button (off unless turned on).
    bool MouseOver(int x, int y, const IMouseKeys& keys) noexcept;
    void MouseOut() noexcept;
    void HandleMouseOver(bool track) noexcept { mHandleMouseOver = track; }
    // The control under (x, y): the captured one, else the topmost visible, ungreyed hit; -1.
    int FindControlAt(int x, int y) const noexcept;
    int CapturedControl() const noexcept { return mMouseCapture; }
    // [main-thread] A menu, prompt or dialog takes the mouse: the press that opened it gets no
    // release, so the control is let go and its gesture ends once the press is handled.
    void PopupTakesMouse() noexcept
    {
        ORX_MAIN_THREAD();
        mPopupTookMouse = true;
    }
    // [main-thread] The window goes (or its controls): the captured control is let go and the
    // interaction ends (its gesture and its edit).
    void ReleaseMouse() noexcept;
    // The parameter whose gesture is open, or -1.
    int GestureParam() const noexcept { return mGestureParam; }
    // [main-thread] Escape: a MIDI learn that waits is cancelled; true when there was one.
    bool CancelMidiLearn() noexcept;

    // The frame cycle. [main-thread]
    // Under the plug-in's lock, shows the deferred pushes and runs the frame hook; then
    // notifies each control's observers and grows rect by every control that needs
    // repainting; true when one does.
    bool CollectDirty(IRect& rect) noexcept;
    // hook is not owned; null removes it.
    void SetFrameHook(IFrameHook* hook) noexcept { mpFrameHook = hook; }
    // [main-thread] From now on PushParamValue only records (under the plug-in's lock) and the
    // next frame shows the values. Needs the plug-in: its parameter count sizes the record.
    void DeferParamPushes();
    bool PushesDeferred() const noexcept { return mDeferPushes; }
    // Paints the visible controls that meet rect, each clipped to its own rectangle within
    // rect, marks every control clean and presents rect.
    bool PaintDirty(const IRect& rect) noexcept;

    // Helpers on top of the drawing operations. [main-thread]
    bool DrawBitmapFrame(const IBitmapHandle& bitmap, const IRect& rect, int frame,
                         const IBlendSpec* blend) noexcept;
    // On the edge pixels of rect, inside it.
    bool DrawRectOutline(const IColorARGB& color, const IRect& rect) noexcept;

    IEditorHost* GetPlug() const noexcept { return mpPlug; }
    int FPS() const noexcept { return mFPS; }
    const IRect& ClipRect() const noexcept { return mDrawRECT; }
    bool LastClickWasRight() const noexcept { return mLastClickWasRight; }

protected:
    // Deletes every control and forgets capture and hover.
    void DeleteControls() noexcept;
    // The host's edit gesture on paramIdx (nothing for -1); one at a time, so a begin ends the
    // gesture still open.
    void BeginGesture(int paramIdx) noexcept;
    void EndGesture() noexcept;
    // The user's interaction with control: its gesture, and an edit of the plug-in named after
    // the control (one step of undo). One at a time: a begin ends the one still open.
    void BeginInteraction(const IControl& control) noexcept;
    void EndInteraction() noexcept;
    bool InteractionOpen() const noexcept { return mEditOpen || mGestureParam >= 0; }
    // The open edit takes the name of what a menu chose.
    void NameInteraction(const char* name) noexcept;
    // Sends what the host is owed (IEditorHost::FlushHostNotices).
    void TellHost(bool withStateChange) noexcept;
    // For the destructors of window layers: from here on the plug-in, which is going, is not
    // called (a gesture still open is forgotten).
    void DetachPlug() noexcept
    {
        mGestureParam = -1;
        mEditOpen = false;
        mpPlug = nullptr;
    }

    IRect mDrawRECT; // the clip rectangle of the control being painted; empty between frames

private:
    // [main-thread] (takes lock) Takes the recorded pushes and runs the frame hook's capture
    // under the lock; then shows the pushes, the controllers' marks and runs the hook without
    // it.
    void BeginFrame() noexcept;
    // [main-thread] (takes lock) Marks each learnable control as the plug-in's bindings say.
    void ShowControllerMarks() noexcept;
    // The small square in the control's top right corner, inside its rectangle.
    void PaintMidiMark(const IControl& control) noexcept;
    // [main-thread] A run of wheel turns ends a moment after its last turn.
    void TickWheelRun() noexcept;
    // [any-thread] The controls bound to paramIdx show the value, as the host's: from a frame,
    // after it let go of the lock, or under the lock where pushes are not deferred.
    void ShowValue(int paramIdx, double normalised) noexcept;

    std::vector<std::unique_ptr<IControl>> mControls;
    IFrameHook* mpFrameHook = nullptr;
    bool mDeferPushes = false;
    bool mAnyPushed = false;
    bool mPushAll = false;              // every parameter's value, at the next frame
    std::vector<double> mPushedValues;  // normalised, per parameter index
    std::vector<unsigned char> mPushed; // 1 where a value waits for the next frame
    // The pushes a frame took, swapped with the two above under the lock and shown after it;
    // every flag is 0 again once shown.
    std::vector<double> mTakenValues;
    std::vector<unsigned char> mTaken;
    IEditorHost* mpPlug;
    int mWidth;
    int mHeight;
    int mFPS;
    int mMouseCapture = -1;
    int mMouseOver = -1;
    int mMouseX = -1;
    int mMouseY = -1;
    bool mHandleMouseOver = false;
    bool mLastClickWasRight = false;
    bool mPopupTookMouse = false;
    int mGestureParam = -1;
    bool mEditOpen = false;
    int mWheelControl = -1; // the control of a run of wheel turns, -1 when none
    int mWheelIdleFrames = 0;
    unsigned mMapVersionShown = 0; // the plug-in's ControllerMapVersion the marks show
    std::atomic<int> mHostKey{0};  // a key from the host for the next frame: 'z' undo, 'y' redo
};
