#include "ControllerMap.h"

void ControllerMap::Assign(int controller, int paramIdx, uint32_t channelMask) noexcept
{
    if (controller < 0 || controller >= kNumControllers)
        return;
    ControllerAssignment a{paramIdx, channelMask & 0xFFFFu};
    mEntries[controller] = a.Bound() ? a : ControllerAssignment{};
}

void ControllerMap::Learn(int controller, int channel, int paramIdx) noexcept
{
    if (controller < 0 || controller >= kNumControllers || channel < 0 || channel > 15 ||
        paramIdx < 0)
        return;
    Forget(paramIdx);
    mEntries[controller] = ControllerAssignment{paramIdx, 1u << channel};
}

bool ControllerMap::Forget(int paramIdx) noexcept
{
    bool any = false;
    for (ControllerAssignment& a : mEntries)
        if (a.Bound() && a.mParamIdx == paramIdx)
        {
            a = ControllerAssignment{};
            any = true;
        }
    return any;
}

void ControllerMap::Clear() noexcept
{
    for (ControllerAssignment& a : mEntries)
        a = ControllerAssignment{};
}

ControllerAssignment ControllerMap::At(int controller) const noexcept
{
    if (controller < 0 || controller >= kNumControllers)
        return {};
    return mEntries[controller];
}

int ControllerMap::ParamFor(int controller, int channel) const noexcept
{
    const ControllerAssignment a = At(controller);
    return a.Bound() && channel >= 0 && channel < 16 && ((a.mChannelMask >> channel) & 1u)
               ? a.mParamIdx
               : -1;
}

int ControllerMap::ControllerOf(int paramIdx, int* channel) const noexcept
{
    for (int c = 0; c < kNumControllers; ++c)
    {
        const ControllerAssignment& a = mEntries[c];
        if (!a.Bound() || a.mParamIdx != paramIdx)
            continue;
        if (channel)
            for (*channel = 0; !((a.mChannelMask >> *channel) & 1u); ++*channel)
            {
            }
        return c;
    }
    return -1;
}

int ControllerMap::BoundCount() const noexcept
{
    int n = 0;
    for (const ControllerAssignment& a : mEntries)
        n += a.Bound() ? 1 : 0;
    return n;
}

bool ControllerMap::operator==(const ControllerMap& other) const noexcept
{
    for (int c = 0; c < kNumControllers; ++c)
        if (mEntries[c].mParamIdx != other.mEntries[c].mParamIdx ||
            mEntries[c].mChannelMask != other.mEntries[c].mChannelMask)
            return false;
    return true;
}
