#pragma once
// The factory presets shipped with the plug-in, built from a fresh instance by code so that
// they stay complete (every stored parameter) and can be made again exactly.

#include <string>
#include <vector>

class Orlantix;

struct FactoryPreset
{
    const char* mName; // file name without ".preset"
    void (*mBuild)(Orlantix& plug);
};

const std::vector<FactoryPreset>& FactoryPresets();

// Builds every preset into folder (which must exist); answers the files written, or an empty
// list with a message in error.
std::vector<std::string> WriteFactoryPresets(const std::string& folder, std::string& error);
