// The LV2 library's name for the instance it builds.

#include "Lv2Entry.h"
#include "OrlantixUri.h"

const char* Lv2PluginUri() noexcept
{
    return kOrlantixUri;
}
