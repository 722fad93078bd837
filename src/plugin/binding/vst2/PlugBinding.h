#pragma once
// The host binding the instance derives from in the VST 2 library: the build gives each
// format's copy of the product the include path of its own PlugBinding.h.

#include "IPlugVST.h"
#include "VstEntry.h"

using PlugBinding = IPlugVST;
// What the library entry hands the instance to reach its host.
using PlugHost = vst2::HostCallback;
