#pragma once
// A knob's value as text beside it. The read-out observes its knob: whenever the knob was
// marked dirty (dragged by the user, or set by the host) it hears of it once before the next
// repaint and shows the bound parameter's value in its own text control. The kind follows the
// parameter: ValueReadOutBool ("true"/"false"), ValueReadOutEnum (the display text, "???"
// without one), ValueReadOutInt ("%d"), ValueReadOut for the rest ("%.2f").

#include "IObserverInterface.h"
#include "IRect.h"

#include <memory>

class IControl;
class IGraphics;
class IParameter;
class IEditorHost;
class ITextControl;
struct ITextStyle;

class ValueReadOut : public IObserverInterface
{
public:
    // [main-thread] Make read-out: an empty text control at rect in style, added to graphics,
    // and this read-out attached to knob. The parameter is the knob's (none when its index is
    // out of range, and the text then stays empty).
    ValueReadOut(IEditorHost& plug, IControl& knob, IGraphics& graphics, const IRect& rect,
                 const ITextStyle& style);

    // [main-thread] The knob's greyed and hidden states, then the value's text.
    void Update(ISubject& subject) noexcept override;

    const ITextControl& Text() const noexcept { return *mpText; }

protected:
    // The text for plain value v of the parameter, into out (size bytes).
    virtual void Format(const IParameter& param, double v, char* out, int size) const noexcept;

private:
    IControl& mKnob;
    ITextControl* mpText; // owned by the graphics context
    const IParameter* mpParam;
};

class ValueReadOutBool : public ValueReadOut
{
public:
    using ValueReadOut::ValueReadOut;

protected:
    void Format(const IParameter& param, double v, char* out, int size) const noexcept override;
};

class ValueReadOutEnum : public ValueReadOut
{
public:
    using ValueReadOut::ValueReadOut;

protected:
    void Format(const IParameter& param, double v, char* out, int size) const noexcept override;
};

class ValueReadOutInt : public ValueReadOut
{
public:
    using ValueReadOut::ValueReadOut;

protected:
    void Format(const IParameter& param, double v, char* out, int size) const noexcept override;
};

// [main-thread] The read-out that suits the knob's parameter: boolean, integer and enumerated
// parameters get their own kind, every other type the plain one.
std::unique_ptr<ValueReadOut> MakeValueReadOut(IEditorHost& plug, IControl& knob,
                                               IGraphics& graphics, const IRect& rect,
                                               const ITextStyle& style);
