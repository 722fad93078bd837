#include "Lv2Ports.h"

#include "IPlugBase.h"

#include <cmath>

namespace lv2ports
{

std::vector<int> ControlParams(const IPlugBase& plug)
{
    std::vector<int> params;
    for (int i = 0; i < plug.DeclaredParamCount(); ++i)
    {
        const IParameter* param = plug.GetParam(i);
        if (param && param->Name()[0] && param->Type() != IParameter::kTypeNone)
            params.push_back(i);
    }
    return params;
}

std::string PortSymbol(const char* name)
{
    std::string symbol;
    for (const char* c = name; c && *c; ++c)
    {
        const bool letter = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z');
        const bool digit = *c >= '0' && *c <= '9';
        if (symbol.empty() && digit)
            symbol += '_';
        symbol += letter || digit ? *c : '_';
    }
    return symbol.empty() ? "_" : symbol;
}

float PortValue(const IParameter& param, double value) noexcept
{
    if (param.Type() == IParameter::kTypeDouble)
        return static_cast<float>(value);
    return static_cast<float>(std::floor(value + 0.5));
}

double NormalisedFromPort(const IParameter& param, float portValue) noexcept
{
    double v = std::isfinite(portValue) ? static_cast<double>(portValue) : param.Min();
    if (param.Type() != IParameter::kTypeDouble)
        v = std::floor(v + 0.5);
    return param.ToNormalised(v);
}

} // namespace lv2ports
