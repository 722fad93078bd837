#pragma once
// The preset a comparison program's plug-in is put in before the state of a screenshot, so it
// shows what the test host's user loaded (a preset's name is no part of the state). Each
// comparison program links the definition for the plug-in compiled into it.

#include <string>

class IPlugVST;

// [main-thread] Reads the preset file at path into plug; false when it cannot be read (always
// for a plug-in without preset files).
bool ReadComparePreset(IPlugVST& plug, const std::string& path) noexcept;
