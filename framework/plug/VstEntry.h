#pragma once
// The library entry of a VST 2 plug-in. The framework exports VSTPluginMain and main; the
// product supplies MakePlugInstance, which builds its instance for the given host callback.

#include "IPlugVST.h"
#include "Vst2Records.h"

// Supplied by the plug-in: a new instance (owned by the host through effClose), or null.
IPlugVST* MakePlugInstance(vst2::HostCallback host);

// [main-thread] One instance per call: built under a process-wide creation lock, with a
// "Default" preset and at least one program. Null when the instance cannot be built.
extern "C" vst2::Effect* ORX_VSTCALL VSTPluginMain(vst2::HostCallback host) noexcept;
