// The plug-in's LV2 descriptor: each host entry hands over to the instance.

#include "Lv2Entry.h"

#include "IMutex.h"
#include "ThreadRole.h"

#include <lv2/state/state.h>

#include <cstring>
#include <memory>

namespace
{

// Created on first use and destroyed at process exit.
IMutex& CreationMutex() noexcept
{
    static IMutex mutex;
    return mutex;
}

IPlugLV2* FromHandle(LV2_Handle handle) noexcept
{
    return static_cast<IPlugLV2*>(handle);
}

// [main-thread] One instance per call, built under a process-wide creation lock, with a
// "Default" preset; null when the host lacks the URID map or the instance cannot be built.
LV2_Handle Instantiate(const LV2_Descriptor* /*descriptor*/, double rate, const char* bundlePath,
                       const LV2_Feature* const* features) noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(CreationMutex());
    try
    {
        const Lv2HostInfo host{rate, bundlePath ? bundlePath : "", features};
        std::unique_ptr<IPlugLV2> plug(MakePlugInstance(&host));
        if (!plug || !plug->Mapped())
            return nullptr;
        plug->EnsureDefaultPreset();
        plug->Open(Lv2PluginUri());
        return plug.release();
    }
    catch (...)
    {
        return nullptr;
    }
}

// [any-thread] (hosts connect ports on their audio thread too)
void ConnectPort(LV2_Handle handle, uint32_t port, void* data) noexcept
{
    FromHandle(handle)->ConnectPort(port, data);
}

// [main-thread]
void Activate(LV2_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    FromHandle(handle)->Activate(true);
}

// [audio-thread]
void Run(LV2_Handle handle, uint32_t frames) noexcept
{
    FromHandle(handle)->Run(frames);
}

// [main-thread]
void Deactivate(LV2_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    FromHandle(handle)->Activate(false);
}

// [main-thread]
void Cleanup(LV2_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    delete FromHandle(handle);
}

// [main-thread]
LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t /*flags*/, const LV2_Feature* const* /*features*/) noexcept
{
    ORX_MAIN_THREAD();
    return FromHandle(handle)->SaveState(store, state);
}

// [main-thread]
LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t /*flags*/,
                         const LV2_Feature* const* /*features*/) noexcept
{
    ORX_MAIN_THREAD();
    return FromHandle(handle)->RestoreState(retrieve, state);
}

const LV2_State_Interface kStateInterface = {&Save, &Restore};

// [main-thread]
const void* ExtensionData(const char* uri) noexcept
{
    ORX_MAIN_THREAD();
    if (uri && std::strcmp(uri, LV2_STATE__interface) == 0)
        return &kStateInterface;
    return nullptr;
}

} // namespace

// [main-thread] The plug-in's descriptor: each host entry hands over to the instance.
const LV2_Descriptor* Lv2PluginDescriptor(uint32_t index) noexcept
{
    ORX_MAIN_THREAD();
    static const LV2_Descriptor descriptor = {Lv2PluginUri(), &Instantiate,  &ConnectPort,
                                              &Activate,      &Run,          &Deactivate,
                                              &Cleanup,       &ExtensionData};
    return index == 0 ? &descriptor : nullptr;
}
