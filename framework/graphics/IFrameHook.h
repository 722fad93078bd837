#pragma once
// What a plug-in's editor runs once per frame, before the graphics context looks for dirty
// controls: the one place where work that other threads recorded (under the plug-in's lock)
// reaches the controls, which belong to the editor's thread alone. The frame holds the lock
// only to copy: the audio thread waits for it meanwhile.

class IGraphics;

class IFrameHook
{
public:
    virtual ~IFrameHook() = default;
    // [main-thread] (locked) At the start of every frame (IGraphics::CollectDirty), with the
    // plug-in's instance lock held: copies what the frame shows from the plug-in and takes the
    // work recorded for it, and nothing more. Default: nothing.
    virtual void CaptureFrame(IGraphics& /*graphics*/) noexcept {}
    // [main-thread] Right after, without the lock, once the parameter values pushed since the
    // last frame reached their controls: applies what CaptureFrame took. Painting follows.
    virtual void OnFrame(IGraphics& graphics) noexcept = 0;
};
