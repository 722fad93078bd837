#pragma once
// The URI that names Orlantix to LV2 hosts (its description and presets are generated with it).

inline constexpr const char* kOrlantixUri = "urn:dravenholm:orlantix";
