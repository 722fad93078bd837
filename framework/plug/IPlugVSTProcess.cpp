// IPlugVST: the three process entries. A host block longer than the block length is played in
// pieces of at most that length, so the scratch buffers sized outside processing always suffice.

#include "IPlugVST.h"

#include <algorithm>

// [audio-thread]
void IPlugVST::VSTProcess(vst2::Effect* effect, float** inputs, float** outputs,
                          int32_t frames) noexcept
{
    IPlugVST* plug = FromEffect(effect);
    if (!plug)
        return;
    IMutexLock lock(plug->Mutex());
    try
    {
        plug->ProcessFloat(inputs, outputs, frames, true);
    }
    catch (...)
    {
    }
}

// [audio-thread]
void IPlugVST::VSTProcessReplacing(vst2::Effect* effect, float** inputs, float** outputs,
                                   int32_t frames) noexcept
{
    IPlugVST* plug = FromEffect(effect);
    if (!plug)
        return;
    IMutexLock lock(plug->Mutex());
    try
    {
        plug->ProcessFloat(inputs, outputs, frames, false);
    }
    catch (...)
    {
    }
}

// [audio-thread]
void IPlugVST::VSTProcessDoubleReplacing(vst2::Effect* effect, double** inputs, double** outputs,
                                         int32_t frames) noexcept
{
    IPlugVST* plug = FromEffect(effect);
    if (!plug)
        return;
    IMutexLock lock(plug->Mutex());
    try
    {
        plug->ProcessDouble(inputs, outputs, frames);
    }
    catch (...)
    {
    }
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate)
{
    if (mDoesMidi)
        CallHost(vst2::audioMasterWantMidi);
    const int block = GetBlockSize();
    if (block <= 0)
        return;
    for (int offset = 0; offset < frames; offset += block)
    {
        const int n = std::min(block, frames - offset);
        mSubBlockOffset = offset;
        AttachInputBuffers(inputs, mEffect.numInputs, offset, n);
        AttachOutputBuffers(outputs, mEffect.numOutputs, offset, n);
        ProcessBlock(InputData(), OutputData(), n);
        CopyOutputsToHost(n, accumulate);
    }
    mSubBlockOffset = 0;
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int frames)
{
    if (mDoesMidi)
        CallHost(vst2::audioMasterWantMidi);
    const int block = GetBlockSize();
    if (block <= 0)
        return;
    for (int offset = 0; offset < frames; offset += block)
    {
        const int n = std::min(block, frames - offset);
        mSubBlockOffset = offset;
        AttachInputBuffers(inputs, mEffect.numInputs, offset, n);
        AttachOutputBuffers(outputs, mEffect.numOutputs, offset, n);
        ProcessBlock(InputData(), OutputData(), n);
    }
    mSubBlockOffset = 0;
}
