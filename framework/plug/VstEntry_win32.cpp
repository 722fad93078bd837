// The second entry name. Hosts that do not find VSTPluginMain look for "main"; C++ reserves
// that name, so the module definition file exports this function as main.

#include "VstEntry.h"

extern "C" vst2::Effect* ORX_VSTCALL VstMainEntry(vst2::HostCallback host) noexcept
{
    return VSTPluginMain(host);
}
