#pragma once
// The base of every element of the editor: a rectangle on the editor surface, optionally bound
// to one plug-in parameter, holding a normalised value, a dirty state and a blend for drawing.
// The graphics context owns its controls, routes the mouse to them and paints the dirty ones;
// each control is also an ISubject whose changed flag MarkDirty raises.
//
// Every entry runs on the editor's thread ([main-thread], see ThreadTags.h); a value that
// reaches the plug-in goes through IEditorHost::SetParameterFromGUI, which takes the instance lock.

#include "IBlendSpec.h"
#include "IMouseKeys.h"
#include "IRect.h"
#include "ISubject.h"
#include "ThreadRole.h"

#include <memory>
#include <string>

class IGraphics;
class IParameter;
class IEditorHost;
class IPopupMenu;

class IControl : public ISubject
{
public:
    // [main-thread] paramIdx -1 binds the control to no parameter.
    IControl(IEditorHost* plug, const IRect& rect, int paramIdx = -1,
             IBlendSpec::EMethod blendMethod = IBlendSpec::kBlendNone, float blendWeight = 1.0f);
    ~IControl() override = default;

    // Mouse and keys, in editor pixels. [main-thread]
    // Default: the right button asks for a value (PromptForValue).
    virtual void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept;
    virtual void HandleMouseUp(int x, int y, const IMouseKeys& keys) noexcept;
    virtual void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept;
    // Default: back to the default value, if the control has one.
    virtual void HandleDoubleClick(int x, int y, const IMouseKeys& keys) noexcept;
    // Default: 0.01 per notch, 0.001 with shift or control.
    virtual void HandleWheel(int x, int y, const IMouseKeys& keys, int notches) noexcept;
    // keyCode: see WindowEvent.h.
    virtual void HandleKey(int x, int y, int keyCode) noexcept;
    virtual void HandleMouseOver(int x, int y, const IMouseKeys& keys) noexcept;
    virtual void HandleMouseOut() noexcept;

    // [main-thread] Draws the control into the context's surface; true when drawn.
    virtual bool Paint(IGraphics& graphics) noexcept = 0;

    // [main-thread] A value from the host: the first one also becomes the default.
    virtual void SetValueFromHost(double value) noexcept;

    virtual void SetHidden(bool hidden) noexcept;
    // Greyed controls draw at a quarter opacity and take no mouse.
    virtual void SetGreyed(bool greyed) noexcept;
    virtual bool HitTest(int x, int y) const noexcept;
    // Clamps the value, marks the control for painting and raises the changed flag; with
    // pushToPlug the value goes to the bound parameter.
    virtual void MarkDirty(bool pushToPlug) noexcept;
    // After painting: a control that asked for a repaint stays dirty for one more frame.
    virtual void MarkClean() noexcept;
    virtual bool NeedsRepaint() const noexcept { return mDirty; }
    virtual void RestoreDefault() noexcept;

    // [main-thread] What the user's edit on this control is called in the undo history ("Undo
    // Swing"): the name set for it, else the bound parameter's name, else "Edit".
    virtual const char* EditName() const noexcept;
    void SetEditName(const char* name) noexcept { mpEditName = name; }

    // [main-thread] The choices of an enumerated parameter (or a boolean one with texts) as a
    // menu, the current one checked; null for other controls.
    virtual std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept;
    // [main-thread] item is the flat index of the chosen item (IPopupMenu::ItemAt).
    virtual void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept;
    // [main-thread] The name in the undo history of choosing item (a flat index) of menu. Default:
    // for a menu of the parameter's values, the edit's name; for a command, the item's text, or
    // for an item of a submenu the submenu's text and the item's last word ("Shift Left 2" for
    // "< 2" under "Shift Left").
    virtual std::string MenuEditName(const IPopupMenu& menu, int item) const;

    // [main-thread] A value typed or picked by the user: applied and sent to the plug-in when it
    // differs from the current one.
    void SetValueFromUser(double value) noexcept;
    // [main-thread] Asks the graphics context for a value prompt on the bound parameter.
    void PromptForValue() noexcept;

    IEditorHost* GetPlug() const noexcept { return mpPlug; }
    // The context that holds this control (IGraphics::AddControl), or null before.
    IGraphics* GetGUI() const noexcept { return mpGraphics; }
    // [main-thread] By the context that takes the control.
    void SetGUI(IGraphics* graphics) noexcept
    {
        ORX_MAIN_THREAD();
        mpGraphics = graphics;
    }
    // The bound parameter, or null.
    IParameter* GetParam() const noexcept;

    const IRect& GetRECT() const noexcept { return mRECT; }
    const IRect& GetTargetRECT() const noexcept { return mTargetRECT; }
    void SetTargetArea(const IRect& rect) noexcept { mTargetRECT = rect; }
    int ParamIdx() const noexcept { return mParamIdx; }
    double GetValue() const noexcept { return mValue; }
    double GetDefaultValue() const noexcept { return mDefaultValue; }
    void SetDefaultValue(double value) noexcept { mDefaultValue = value; }
    void Clamp(double lo, double hi) noexcept;
    bool IsHidden() const noexcept { return mHide; }
    bool IsGreyed() const noexcept { return mGrayed; }
    void DisablePrompt(bool disable) noexcept { mDisablePrompt = disable; }
    bool PromptDisabled() const noexcept { return mDisablePrompt; }
    void SetDblAsSingleClick(bool on) noexcept { mDblAsSingleClick = on; }
    // MIDI learn: a control bound to a named parameter offers it; a parameter without a name
    // is a conduit of the editor's commands, not a setting.
    bool MidiLearnable() const noexcept;
    // What the context marks on the control: none, a learn waiting for its controller, or a
    // controller bound. A change repaints the control.
    enum EMidiMark
    {
        kMidiMarkNone = 0,
        kMidiMarkLearning = 1,
        kMidiMarkBound = 2,
    };
    void SetMidiMark(int mark) noexcept;
    int MidiMark() const noexcept { return mMidiMark; }
    bool DblAsSingleClick() const noexcept { return mDblAsSingleClick; }
    const IBlendSpec& Blend() const noexcept { return mBlend; }

protected:
    // A value change of the control's own (drag, click): wrap or clamp is up to the caller.
    double mValue = 0.0;
    bool mRepaintPending = false;
    IBlendSpec mBlend;

private:
    IEditorHost* mpPlug;
    IGraphics* mpGraphics = nullptr;
    const char* mpEditName = nullptr; // a literal or a string that outlives the control
    IRect mRECT;
    IRect mTargetRECT;
    int mParamIdx;
    double mDefaultValue = -1.0;
    double mClampLo = 0.0;
    double mClampHi = 1.0;
    bool mDirty = true;
    bool mHide = false;
    bool mGrayed = false;
    bool mDisablePrompt = false;
    bool mDblAsSingleClick = false;
    int mMidiMark = kMidiMarkNone;
};

// The frame of an image of frameCount frames that shows value (0..1): 1 + (frames - 1) x value
// rounded, within 1..frames; 1 for images of fewer than two frames.
int FrameForValue(double value, int frameCount) noexcept;

// The top row of frame i (1-based) in an image of the given height and frame count.
int FrameTop(int height, int frameCount, int frame) noexcept;

// The display text of param whose key is key, or null.
const char* DisplayTextForKey(const IParameter& param, int key) noexcept;
