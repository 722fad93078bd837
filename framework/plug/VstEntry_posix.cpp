// The second entry name. Hosts that do not find VSTPluginMain look for "main"; C++ reserves
// that name for the program's own main, so the symbol gets it from an assembler label.

#include "VstEntry.h"

extern "C" vst2::Effect* VstMainEntry(vst2::HostCallback host) noexcept __asm__("main");

extern "C" vst2::Effect* VstMainEntry(vst2::HostCallback host) noexcept
{
    return VSTPluginMain(host);
}
