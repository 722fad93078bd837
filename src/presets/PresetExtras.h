#pragma once
// The key-play mode and the controller map in a preset file: "param" lines whose names no
// parameter has, so a reader that knows only the parameters skips them as unknown names.
//
//   param KeyPlay 1.000000000000            the mode (written only when not off)
//   param MidiCC.74.Swing 1.000000000000    controller 74 moves Swing on the channels of the
//                                           mask (bit n = channel n; 1 = channel 1)

#include "ExtraState.h"

#include <string>

class IParamTable;

// What the lines of a preset said; a file without map lines leaves the map as it is.
struct PresetExtras
{
    int mKeyPlayMode = 0; // off unless a line says otherwise
    ControllerMap mMap;
    int mMapLines = 0;
};

// Appends the lines of state (nothing for the defaults), each ending in "\n". Controllers bound
// to parameters without a name are left out.
void AppendExtraLines(std::string& out, const IParamTable& plug, const ExtraState& state);

// A "param" line whose name matched no parameter: true when it was one of these lines and
// went into extras.
bool ApplyExtraLine(const std::string& name, double value, const IParamTable& plug,
                    PresetExtras& extras);
