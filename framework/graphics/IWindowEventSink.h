#pragma once
// What a window backend needs from the editor it shows: somewhere to send the events of its
// window. The window layer (IGraphicsWin) is one; a backend knows nothing else of it.

struct WindowEvent;

class IWindowEventSink
{
public:
    // [main-thread] One native message, translated by the backend.
    virtual void HandleEvent(const WindowEvent& event) noexcept = 0;

protected:
    ~IWindowEventSink() = default;
};
