#pragma once
// The named configuration values of one plug-in instance; the configuration file overrides
// them when the instance is built.

#include "Configurable.h"

#include <memory>
#include <vector>

// The configurables in use, by index.
enum EConfigurable
{
    kConfigPresetFolder = 0,
    kNumConfigurables
};

struct ConfigurableDefault
{
    int mIndex;
    const char* mName;
    const char* mDefault;
};

inline constexpr ConfigurableDefault configurableDefaults[] = {
    {kConfigPresetFolder, "PresetFolder", ""},
};

class ConfigurablePool
{
public:
    // Called for each entry when the pool goes; null (the usual case) just frees the entries.
    using ReleaseFunction = void (*)(Configurable&);

    explicit ConfigurablePool(ReleaseFunction release = nullptr) : mRelease(release) {}
    ~ConfigurablePool();
    ConfigurablePool(const ConfigurablePool&) = delete;
    ConfigurablePool& operator=(const ConfigurablePool&) = delete;

    // Appends an empty entry and answers its index.
    int Add();
    int GetSize() const { return static_cast<int>(mConfigurables.size()); }

    // An index outside the pool is reported and answers null.
    Configurable* Get(int configIdx);
    const Configurable* Get(int configIdx) const;
    void SetName(int configIdx, const char* pName);
    void SetString(int configIdx, const char* pString);

    // The entry whose name equals name exactly, or null.
    Configurable* Find(const char* name);

    // Adds and names the entries of configurableDefaults.
    void RegisterDefaults();

    // The string value of an entry, empty when the index is not in the pool.
    const char* StringValue(int configIdx) const;

private:
    std::vector<std::unique_ptr<Configurable>> mConfigurables;
    ReleaseFunction mRelease;
};
