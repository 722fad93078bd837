#pragma once
// The editor's layout: the generated table of resources/layout.txt and images.txt
// (orx::layout, EditorLayoutTable.h), and what the construction needs on top of it.

#include "EditorLayoutTable.h"
#include "IBitmapHandle.h"
#include "IRect.h"

class IGraphics;
class IEditorHost;

namespace editor_layout
{
using namespace orx::layout;

inline constexpr int kWidth = 720;
inline constexpr int kHeight = 650;
inline constexpr int kBackground = 100;
inline constexpr int kFallbackKnob = 106;

// [main-thread] Image id through the context's cache, with the table's frame count; an empty
// handle for an id the table does not list.
IBitmapHandle LoadImage(IGraphics& graphics, int id) noexcept;

// A knob's read-out and a spinner's text, where the layout table puts them.
inline IRect ReadOutRect(const Knob& k) noexcept
{
    const int left = k.mX + k.mReadOutX, top = k.mY + k.mReadOutY;
    return {left, top, left + k.mReadOutW, top + k.mReadOutH};
}
inline IRect SpinnerRect(const Spinner& s) noexcept
{
    return {s.mX + 2 - s.mPad, s.mY, s.mX + 48 + s.mPad, s.mY + 16};
}

// The knob image whose frame count is frames; the 101-frame one for any other count.
int KnobImageFor(int frames) noexcept;

// The first parameter of plug named name, or -1. Two command triggers share the name "M D";
// the first of them (shift down) is the edit button's.
int ParamIndexNamed(const IEditorHost& plug, const char* name) noexcept;
} // namespace editor_layout
