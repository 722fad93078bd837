#pragma once
// The ports of the LV2 binding, shared by the binding and the generator of its description: an
// atom input (MIDI and the host's time position), an atom output (MIDI, and the notice that the
// state changed), then one control port per declared parameter with a name, in index order.
// Everything else the instance holds travels in its state.

#include <string>
#include <vector>

class IParameter;
class IPlugBase;

namespace lv2ports
{

constexpr int kEventsIn = 0;
constexpr int kEventsOut = 1;
constexpr int kFirstControl = 2;

// The parameter index of each control port, in port order.
std::vector<int> ControlParams(const IPlugBase& plug);

// A port symbol made of the parameter's name: letters, digits and '_', never starting with a
// digit (LV2's rule for symbols).
std::string PortSymbol(const char* name);

// The port's value for the parameter's value, and back: the parameter's own units, whole
// numbers for the integer kinds, 0 or 1 for switches.
float PortValue(const IParameter& param, double value) noexcept;
// The normalised value for a port value (clamped into the parameter's range).
double NormalisedFromPort(const IParameter& param, float portValue) noexcept;

} // namespace lv2ports
