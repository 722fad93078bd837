#pragma once
// The menu of a modifier step's button: the modifier values in groups divided by separators,
// each item tagged with its value and named by the parameter's display text, the step's current
// value checked. Choosing an item sets the button (and through it the parameter) to that value.

#include <memory>

class IControl;
class IParameter;
class IPopupMenu;

// values: modifier values in menu order, -1 where a separator divides two groups.
std::unique_ptr<IPopupMenu> BuildModifierStepMenu(const IParameter& param, const int* values,
                                                  int count, int current) noexcept;

// [main-thread] The chosen item's value goes to control as a menu choice of its parameter;
// separators and disabled items do nothing.
void ApplyModifierStepChoice(IControl& control, IPopupMenu& menu, int item) noexcept;
