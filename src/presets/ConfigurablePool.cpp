#include "ConfigurablePool.h"

#include "Check.h"

#include <cstring>

namespace
{
constexpr const char* kTag = "src/ConfigurablePool";
}

ConfigurablePool::~ConfigurablePool()
{
    if (mRelease)
        for (auto& c : mConfigurables)
            mRelease(*c);
}

int ConfigurablePool::Add()
{
    mConfigurables.push_back(std::make_unique<Configurable>());
    return GetSize() - 1;
}

Configurable* ConfigurablePool::Get(int configIdx)
{
    const bool valid = configIdx >= 0 && configIdx < GetSize();
    ORX_CHECK(kTag, valid, "configIdx >= 0 && configIdx < mConfigurables.GetSize()");
    return valid ? mConfigurables[configIdx].get() : nullptr;
}

const Configurable* ConfigurablePool::Get(int configIdx) const
{
    return const_cast<ConfigurablePool*>(this)->Get(configIdx);
}

void ConfigurablePool::SetName(int configIdx, const char* pName)
{
    if (Configurable* c = Get(configIdx))
        c->SetName(pName);
}

void ConfigurablePool::SetString(int configIdx, const char* pString)
{
    if (Configurable* c = Get(configIdx))
        c->SetString(pString);
}

Configurable* ConfigurablePool::Find(const char* name)
{
    if (!name)
        return nullptr;
    for (auto& c : mConfigurables)
        if (std::strcmp(c->Name().c_str(), name) == 0)
            return c.get();
    return nullptr;
}

void ConfigurablePool::RegisterDefaults()
{
    for (const ConfigurableDefault& d : configurableDefaults)
    {
        while (GetSize() <= d.mIndex)
            Add();
        SetName(d.mIndex, d.mName);
        SetString(d.mIndex, d.mDefault);
    }
}

const char* ConfigurablePool::StringValue(int configIdx) const
{
    if (configIdx < 0 || configIdx >= GetSize())
        return "";
    return mConfigurables[configIdx]->StringValue().c_str();
}
