#include "PresetName.h"

#include <utility>

#include <cstring>

PresetName::~PresetName() = default;

void PresetName::Set(const char* path)
{
    mName[0] = '\0';
    mFullPath.assign(path ? path : "");
    if (!path)
        return;
    const char* start = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == ':' || *p == '\\')
            start = p + 1;
    std::size_t length = std::strlen(start);
    if (const char* dot = std::strrchr(start, '.'))
        length = static_cast<std::size_t>(dot - start);
    if (length > static_cast<std::size_t>(kMaxNameLength))
        length = kMaxNameLength;
    std::memcpy(mName, start, length);
    mName[length] = '\0';
}

void PresetName::Swap(PresetName& other) noexcept
{
    std::swap(mName, other.mName);
    mFullPath.swap(other.mFullPath);
}
