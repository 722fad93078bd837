#pragma once
// The library entries of an LV2 plug-in and its user interface. The framework exports
// lv2_descriptor and lv2ui_descriptor; the product supplies MakePlugInstance, which builds its
// instance for the host, and its URI.

#include "IPlugLV2.h"

// Supplied by the plug-in: a new instance (owned by the host through cleanup), or null.
IPlugLV2* MakePlugInstance(const Lv2HostInfo* host);
// Supplied by the plug-in: the URI that names it; its UI is named by the same with "#ui".
const char* Lv2PluginUri() noexcept;

// The UI's URI: the plug-in's with this suffix.
inline constexpr const char* kLv2UiSuffix = "#ui";
// [main-thread] The descriptors that lv2_descriptor and lv2ui_descriptor hand out
// (Lv2Exports.cpp), null past the last.
const LV2_Descriptor* Lv2PluginDescriptor(uint32_t index) noexcept;
// [main-thread]
const LV2UI_Descriptor* Lv2UiDescriptor(uint32_t index) noexcept;
