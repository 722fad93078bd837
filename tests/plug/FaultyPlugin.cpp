// A plug-in built straight on the effect record, with no framework code between it and the
// host's buffers, that can write where a plug-in must not: one sample past the block in its
// first output, or into its first input. Parameter 0 picks the fault (FaultyMode), so the host
// tests see what the host's buffer checks catch, and what a host without them still owes.

#include "Vst2Records.h"

#include <new>

namespace
{

enum FaultyMode
{
    kBehave,       // copies each input to its output, nothing more
    kPastTheBlock, // and writes one sample after the block in output 0
    kIntoTheInput, // and writes into input 0
};

struct Faulty
{
    vst2::Effect mEffect{};
    FaultyMode mMode = kBehave;
};

Faulty& Of(vst2::Effect* effect)
{
    return *static_cast<Faulty*>(effect->object);
}

template <class T>
void Run(vst2::Effect* effect, T** inputs, T** outputs, int32_t frames)
{
    for (int c = 0; c < 2; ++c)
        for (int32_t s = 0; s < frames; ++s)
            outputs[c][s] = inputs[c][s];
    if (Of(effect).mMode == kPastTheBlock)
        outputs[0][frames] = T(1);
    if (Of(effect).mMode == kIntoTheInput && frames > 0)
        inputs[0][0] = T(7);
}

void ORX_VSTCALL ProcessFloat(vst2::Effect* effect, float** in, float** out, int32_t frames)
{
    Run(effect, in, out, frames);
}

void ORX_VSTCALL ProcessDouble(vst2::Effect* effect, double** in, double** out, int32_t frames)
{
    Run(effect, in, out, frames);
}

void ORX_VSTCALL SetParameter(vst2::Effect* effect, int32_t index, float value)
{
    if (index == 0)
        Of(effect).mMode = value < 0.25f ? kBehave : value < 0.75f ? kPastTheBlock : kIntoTheInput;
}

float ORX_VSTCALL GetParameter(vst2::Effect*, int32_t)
{
    return 0.0f;
}

intptr_t ORX_VSTCALL Dispatch(vst2::Effect* effect, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == vst2::effClose)
        delete &Of(effect);
    return 0;
}

} // namespace

extern "C" vst2::Effect* ORX_VSTCALL VSTPluginMain(vst2::HostCallback) noexcept
{
    auto* plug = new (std::nothrow) Faulty;
    if (!plug)
        return nullptr;
    vst2::Effect& e = plug->mEffect;
    e.magic = vst2::kEffectMagic;
    e.dispatcher = &Dispatch;
    e.setParameter = &SetParameter;
    e.getParameter = &GetParameter;
    e.processReplacing = &ProcessFloat;
    e.processDoubleReplacing = &ProcessDouble;
    e.numParams = 1;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = vst2::kFlagCanReplacing | vst2::kFlagCanDoubleReplacing;
    e.object = plug;
    return &e;
}
