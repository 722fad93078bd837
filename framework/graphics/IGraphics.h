#pragma once
// What the plug-in base needs from the editor's graphics context: value pushes, surfaces, size
// and the window. The context itself (controls, painting, mouse routing) builds on this.

class IGraphics
{
public:
    virtual ~IGraphics() = default;

    // Hands a parameter's value to every control bound to paramIdx; a plain value is converted
    // to its normalised form first.
    virtual void PushParamValue(int paramIdx, double value, bool normalised) = 0;
    virtual void CreateSurfaces() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Opens the editor window inside the host's parent window; null when it cannot.
    virtual void* OpenWindow(void* parent) = 0;
    virtual void CloseWindow() = 0;
};
