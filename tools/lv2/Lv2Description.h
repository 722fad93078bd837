#pragma once
// The description of the LV2 bundle, made from the instance itself: its ports (one control
// port per named declared parameter, with its range, default, kind and display texts), its
// UI, and the factory presets as LV2 presets holding the state a VST 2 host would keep.

#include <cstdint>
#include <string>
#include <vector>

class IPlugBase;

namespace orxlv2
{

struct PresetEntry
{
    std::string mName;
    std::vector<uint8_t> mChunk;    // the bank chunk, header included
    std::vector<float> mPortValues; // one per control port, in port order
};

// manifest.ttl: the plug-in, its UI and each preset, pointing at the files below.
std::string ManifestTtl(const char* uri, const std::string& library,
                        const std::vector<PresetEntry>& presets);
// The plug-in's own description (lv2Name.ttl): ports, features, state and UI.
std::string PluginTtl(const char* uri, const IPlugBase& plug);
// presets.ttl.
std::string PresetsTtl(const char* uri, const IPlugBase& plug,
                       const std::vector<PresetEntry>& presets);

// The subject of a preset: the plug-in's URI, "#preset-" and the name made a fragment.
std::string PresetUri(const char* uri, const std::string& name);
std::string Base64(const std::vector<uint8_t>& bytes);

} // namespace orxlv2
