// Orlantix reads its text presets as its preset menu does.

#include "ComparePreset.h"
#include "Orlantix.h"

bool ReadComparePreset(IPlugVST& plug, const std::string& path) noexcept
{
    auto* orlantix = dynamic_cast<Orlantix*>(&plug);
    try
    {
        return orlantix && orlantix->ReadPreset(path.c_str());
    }
    catch (...)
    {
        return false;
    }
}
