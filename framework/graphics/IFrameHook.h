#pragma once
// What a plug-in's editor runs once per frame, before the graphics context looks for dirty
// controls: the one place where work that other threads recorded (under the plug-in's lock)
// reaches the controls, which belong to the editor's thread alone.

class IGraphics;

class IFrameHook
{
public:
    virtual ~IFrameHook() = default;
    // [main-thread] (locked) At the start of every frame (IGraphics::CollectDirty), with the
    // plug-in's instance lock held and after the parameter values pushed since the last frame
    // reached their controls. Painting follows without the lock.
    virtual void OnFrame(IGraphics& graphics) noexcept = 0;
};
