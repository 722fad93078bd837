#include "VstEntry.h"

#include "IMutex.h"
#include "ThreadRole.h"

#include <algorithm>
#include <memory>

namespace
{

// Created on first use and destroyed at process exit.
IMutex& CreationMutex() noexcept
{
    static IMutex mutex;
    return mutex;
}

} // namespace

extern "C" vst2::Effect* ORX_VSTCALL VSTPluginMain(vst2::HostCallback host) noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(CreationMutex());
    try
    {
        std::unique_ptr<IPlugVST> plug(MakePlugInstance(host));
        if (!plug)
            return nullptr;
        plug->EnsureDefaultPreset();
        vst2::Effect* effect = plug->GetEffect();
        effect->numPrograms = std::max(effect->numPrograms, 1);
        plug.release(); // from here the host owns it: effClose deletes it
        return effect;
    }
    catch (...)
    {
        return nullptr;
    }
}
