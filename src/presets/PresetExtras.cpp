#include "PresetExtras.h"

#include "IParamTable.h"
#include "IParameter.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace
{
constexpr const char* kKeyPlayName = "KeyPlay";
constexpr const char* kControllerPrefix = "MidiCC.";

void AppendNumber(std::string& out, double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, 12);
    out.append(buf, r.ec == std::errc() ? static_cast<size_t>(r.ptr - buf) : 0);
}

int FindNamed(const IParamTable& plug, const char* name)
{
    for (int i = 0; i < plug.NParams(); ++i)
    {
        const IParameter* p = plug.GetParam(i);
        if (p && p->Name()[0] != '\0' && std::strcmp(name, p->Name()) == 0)
            return i;
    }
    return -1;
}
} // namespace

void AppendExtraLines(std::string& out, const IParamTable& plug, const ExtraState& state)
{
    if (state.mKeyPlayMode != 0)
    {
        out += "param ";
        out += kKeyPlayName;
        out += ' ';
        AppendNumber(out, state.mKeyPlayMode);
        out += '\n';
    }
    for (int c = 0; c < ControllerMap::kNumControllers; ++c)
    {
        const ControllerAssignment a = state.mMap.At(c);
        const IParameter* p = a.Bound() ? plug.GetParam(a.mParamIdx) : nullptr;
        if (!p || p->Name()[0] == '\0')
            continue;
        out += "param ";
        out += kControllerPrefix;
        out += std::to_string(c);
        out += '.';
        out += p->Name();
        out += ' ';
        AppendNumber(out, a.mChannelMask);
        out += '\n';
    }
}

bool ApplyExtraLine(const std::string& name, double value, const IParamTable& plug,
                    PresetExtras& extras)
{
    if (!std::isfinite(value))
        return false;
    if (name == kKeyPlayName)
    {
        const int mode = static_cast<int>(value);
        if (mode < 0 || mode > 2)
            return false;
        extras.mKeyPlayMode = mode;
        return true;
    }
    const size_t prefix = std::strlen(kControllerPrefix);
    if (name.compare(0, prefix, kControllerPrefix) != 0)
        return false;
    int controller = -1;
    const char* begin = name.c_str() + prefix;
    const char* end = name.c_str() + name.size();
    const auto [stop, ec] = std::from_chars(begin, end, controller);
    if (ec != std::errc() || stop == end || *stop != '.' || controller < 0 ||
        controller >= ControllerMap::kNumControllers || value < 1.0 || value > 65535.0)
        return false;
    const int param = FindNamed(plug, stop + 1);
    if (param < 0)
        return false;
    extras.mMap.Assign(controller, param, static_cast<uint32_t>(value));
    ++extras.mMapLines;
    return true;
}
