#pragma once
// Bringing the hosted plug-in to the point where it plays, in the order common hosts use:
// entry, open, sample rate, block size, resume; then the state, the preset and the --param
// values; and, when asked, its state saved as it now stands.

#include "RenderOptions.h"
#include "VstHost.h"

#include <string>

namespace orxrender
{

// The plug-in library built beside this program (resolved from the program's own path), or
// empty when the build knows none.
std::string DefaultPluginPath();

// Loads options.mPlugin (or the default), sets the host's answers and transport, and starts
// the plug-in at the options' sample rate and block size. False with a one-line reason.
bool LoadAndStart(orxhost::VstHost& host, const RenderOptions& options, std::string& error);

// The entry the host processes through: the replacing one, or the accumulating one of a
// plug-in too old to have it.
orxhost::ProcessEntry ProcessEntryOf(const vst2::Effect& effect);

// --load-state, --preset, --param and --save-state, in that order.
bool ApplySettings(orxhost::VstHost& host, const RenderOptions& options, std::string& error);

} // namespace orxrender
