// The two names an LV2 host looks up in the library. LV2's headers declare them without
// noexcept, which a noexcept definition may not contradict, so this file declares them itself
// (and includes none of LV2's headers); they hand over to the entries of Lv2Entry.cpp and
// Lv2Ui.cpp. Lv2Exports.map keeps them the only names the library exports.

#include "ThreadRole.h"

#include <cstdint>

struct LV2_Descriptor;
struct LV2UI_Descriptor;

const LV2_Descriptor* Lv2PluginDescriptor(uint32_t index) noexcept;
const LV2UI_Descriptor* Lv2UiDescriptor(uint32_t index) noexcept;

// [main-thread] The plug-in's descriptor; null past the first.
extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(uint32_t index) noexcept
{
    ORX_MAIN_THREAD();
    return Lv2PluginDescriptor(index);
}

// [main-thread] The UI's descriptor; null past the first.
extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(uint32_t index) noexcept
{
    ORX_MAIN_THREAD();
    return Lv2UiDescriptor(index);
}
