// The test plug-in has no preset files.

#include "ComparePreset.h"

bool ReadComparePreset(IPlugVST&, const std::string&) noexcept
{
    return false;
}
