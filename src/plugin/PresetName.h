#pragma once
// The name of the preset now loaded: the file name without folder and extension, as the preset
// browser shows it, and the full path it came from.

#include <string>

class PresetName
{
public:
    static constexpr int kMaxNameLength = 262;
    // What the preset field shows before any preset was loaded.
    static constexpr const char* kNoPresetText = "PRESET";

    PresetName() = default;
    virtual ~PresetName();

    // Keeps a copy of path; the name is the part after the last "/", ":" or "\", cut at its
    // last "." (which goes too), at most kMaxNameLength characters. Null clears both.
    void Set(const char* path);

    const char* Name() const noexcept { return mName; }
    const std::string& FullPath() const noexcept { return mFullPath; }
    // Exchanges the two names without allocating: one is made ahead, and the instance's
    // taken in under the lock.
    void Swap(PresetName& other) noexcept;

private:
    char mName[kMaxNameLength + 1] = {};
    std::string mFullPath;
};
