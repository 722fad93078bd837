#pragma once
// The plain listing of what the plug-in sent: one line per MIDI event, in the order sent, as
// "<sample> <status> <data1> <data2>" (the printf form "%lld %02x %d %d"): the absolute
// sample, the status byte in two lowercase hex digits, and the two data bytes in decimal.
// Formatted by hand and always with "\n", so every platform writes the same bytes.

#include "RenderEvent.h"

#include <string>

namespace orxrender
{

// One line, with its line break.
std::string FormatEventLine(const RenderEvent& event);

} // namespace orxrender
