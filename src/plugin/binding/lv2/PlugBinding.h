#pragma once
// The host binding the instance derives from in the LV2 library: the build gives each format's
// copy of the product the include path of its own PlugBinding.h.

#include "IPlugLV2.h"
#include "Lv2Entry.h"

using PlugBinding = IPlugLV2;
// What the library entry hands the instance to reach its host.
using PlugHost = const Lv2HostInfo*;
