#pragma once
// What the editor's edits are called in the undo history ("Undo Swing", "Redo Shift Left"): the
// label the artwork shows by a control, made specific where two panes share one ("From" of the
// strike pane or of the melody pane), and the commands of the edit buttons as the cell and row
// menus name them. Every name is a literal: a control keeps the pointer.

#include "EditorLayout.h"

const char* KnobEditName(const orx::layout::Knob& knob) noexcept;
const char* SpinnerEditName(const orx::layout::Spinner& spinner) noexcept;
// The edit button bound to the trigger parameter named param ("M L", "R LRp").
const char* EditButtonName(const char* param) noexcept;
