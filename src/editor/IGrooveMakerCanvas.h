#pragma once
// The groove grid as a bar graph: one bar per step, velocity / 2 pixels high, which the user
// draws with the mouse. A press sets the step under the pointer; a drag paints every step it
// crosses (left of the canvas step 0, right of it step 47; above it 128, below it 0). Locked steps
// keep their velocity. Bars of steps beyond the active count keep their height and can still
// be edited; a muted step's bar is grey.
//
// Velocities and flags are the groove's atomic words, written here and read by the audio
// thread without the lock; the active count comes from the frame's copy of the pattern.

#include "IColorARGB.h"
#include "IControl.h"

class GrooveMaker;
struct EditorModel;

class IGrooveMakerCanvas : public IControl
{
public:
    static constexpr int kVelocityScale = 2; // velocity units per pixel
    static constexpr int kStepPitch = 14;    // pixels per step
    static constexpr int kBarWidth = 12;

    // [main-thread] Bound to no parameter.
    IGrooveMakerCanvas(IEditorHost* plug, const IRect& rect, GrooveMaker& groove,
                       const EditorModel& model);

    // [main-thread] Both buttons alike; nothing outside the canvas.
    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
    void HandleMouseUp(int x, int y, const IMouseKeys& keys) noexcept override;
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept override;
    // True only when every bar was filled.
    bool Paint(IGraphics& graphics) noexcept override;

    // The step under x, within 0..47 wherever x lies.
    int StepAt(int x) const noexcept;
    // The velocity a stroke at y draws: 128 above the canvas, 0 below it.
    int VelocityAt(int y) const noexcept;

    static const IColorARGB kActive;
    static const IColorARGB kMuted;
    static const IColorARGB kInactive;

private:
    void Press(int x, int y) noexcept;
    void SetVelocity(int step, int velocity) noexcept;

    GrooveMaker& mGroove;
    const EditorModel& mModel;
};
