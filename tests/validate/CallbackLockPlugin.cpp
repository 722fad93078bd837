// A plug-in on the bare effect record with an instance lock of its own around every entry, that
// asks for the host's product string when it opens and reports a parameter change when one is
// set, as plug-ins do. Built with ORX_CALLS_UNDER_LOCK=1 it makes those calls holding its lock
// (the fault the validator's host-lock scenario finds); with 0 it makes them after letting go.

#include "Vst2Records.h"

#include <mutex>
#include <new>

#ifndef ORX_CALLS_UNDER_LOCK
#define ORX_CALLS_UNDER_LOCK 0
#endif

namespace
{

struct Plug
{
    vst2::Effect mEffect{};
    vst2::HostCallback mHost = nullptr;
    std::recursive_mutex mLock;
    float mValue = 0.5f;
};

Plug& Of(vst2::Effect* effect)
{
    return *static_cast<Plug*>(effect->object);
}

// Runs work under the lock, then calls the host: before letting go, or after.
template <class Work>
void ThenCall(Plug& p, Work work, int32_t opcode, int32_t index, void* ptr, float opt)
{
    std::unique_lock lock(p.mLock);
    work();
    if (!ORX_CALLS_UNDER_LOCK)
        lock.unlock();
    p.mHost(&p.mEffect, opcode, index, 0, ptr, opt);
}

void ORX_VSTCALL Process(vst2::Effect* effect, float**, float** outputs, int32_t frames)
{
    Plug& p = Of(effect);
    std::lock_guard lock(p.mLock);
    p.mHost(effect, vst2::audioMasterGetTime, 0, 0, nullptr, 0.0f); // by design under the lock
    for (int c = 0; c < 2; ++c)
        for (int32_t s = 0; s < frames; ++s)
            outputs[c][s] = 0.0f;
}

void ORX_VSTCALL SetParameter(vst2::Effect* effect, int32_t index, float value)
{
    Plug& p = Of(effect);
    if (index == 0)
        ThenCall(
            p, [&] { p.mValue = value; }, vst2::audioMasterUpdateDisplay, 0, nullptr, 0.0f);
}

float ORX_VSTCALL GetParameter(vst2::Effect* effect, int32_t)
{
    Plug& p = Of(effect);
    std::lock_guard lock(p.mLock);
    return p.mValue;
}

intptr_t ORX_VSTCALL Dispatch(vst2::Effect* effect, int32_t opcode, int32_t, intptr_t, void*, float)
{
    Plug& p = Of(effect);
    if (opcode == vst2::effClose)
    {
        delete &p;
        return 0;
    }
    if (opcode == vst2::effOpen)
    {
        char product[64] = {};
        ThenCall(
            p, [] {}, vst2::audioMasterGetProductString, 0, product, 0.0f);
        return 0;
    }
    std::lock_guard lock(p.mLock);
    return 0;
}

} // namespace

extern "C" vst2::Effect* ORX_VSTCALL VSTPluginMain(vst2::HostCallback host) noexcept
{
    auto* plug = new (std::nothrow) Plug;
    if (!plug)
        return nullptr;
    plug->mHost = host;
    vst2::Effect& e = plug->mEffect;
    e.magic = vst2::kEffectMagic;
    e.dispatcher = &Dispatch;
    e.setParameter = &SetParameter;
    e.getParameter = &GetParameter;
    e.processReplacing = &Process;
    e.numParams = 1;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = vst2::kFlagCanReplacing;
    e.object = plug;
    return &e;
}
