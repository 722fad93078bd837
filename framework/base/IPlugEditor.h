#pragma once
// What a plug-in and its host binding need from the editor they own: its window in the host's
// window, its idle time, its size, and the values of parameters changed other than by the
// editor. The graphics context is one; the plug-in base knows the editor only through this, so
// neither includes the other. Thread tags: ThreadTags.h.

#include "ThreadRole.h"

class IPlugEditor
{
public:
    virtual ~IPlugEditor() = default;

    // [any-thread] (locked) Every control bound to paramIdx shows the value, as the host's; a
    // plain value is first made normalised with the parameter's range and shape.
    virtual void PushParamValue(int paramIdx, double value, bool normalised) noexcept = 0;
    // [any-thread] (locked) Every control is to show its parameter's value (after a load). An
    // editor that defers pushes answers true and reads every value at its next frame, as it
    // stands then: one flag under the lock rather than a record per parameter. False asks for
    // a PushParamValue per parameter.
    virtual bool PushAllAtNextFrame() noexcept { return false; }
    // [main-thread] Makes the drawing surfaces, once the editor is attached.
    virtual void CreateSurfaces() noexcept = 0;
    // [main-thread] The editor window inside the host's parent window; null when none can be
    // made (no screen).
    virtual void* OpenWindow(void* parent) noexcept = 0;
    virtual void CloseWindow() noexcept = 0;
    virtual bool IsWindowOpen() const noexcept = 0;
    // Whether OpenWindow may put the editor on the user's screen: the host is offered an
    // editor only then.
    virtual bool HasScreen() const noexcept = 0;
    // [main-thread] The host's idle time for the open window (effEditIdle), without the
    // instance lock. Never waits.
    virtual void IdleWindow() noexcept = 0;
    virtual int Width() const noexcept = 0;
    virtual int Height() const noexcept = 0;
    // [main-thread] A key the host passes on (character, and whether Control and Shift are
    // held): true when the editor took it. Default: none taken.
    virtual bool KeyFromHost(int /*character*/, bool /*control*/, bool /*shift*/) noexcept
    {
        ORX_MAIN_THREAD();
        return false;
    }
};
