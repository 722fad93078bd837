#pragma once
// The parameter lookup's view of a plug-in hosted by our VST 2 host.

#include "ParamLookup.h"
#include "VstHost.h"

namespace orxrender
{

class HostParamAccess final : public ParamAccess
{
public:
    explicit HostParamAccess(orxhost::VstHost& host) noexcept : mHost(host) {}
    int Count() override { return mHost.Effect() ? mHost.Effect()->numParams : 0; }
    std::string Name(int index) override { return mHost.ParamName(index); }
    void Set(int index, float normalised) override { mHost.SetParameter(index, normalised); }
    std::string Display(int index) override { return mHost.ParamDisplay(index); }

private:
    orxhost::VstHost& mHost;
};

} // namespace orxrender
