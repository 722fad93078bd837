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
// lv2_descriptor and lv2ui_descriptor are declared by LV2's own headers.
