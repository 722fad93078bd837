// IPlugVST: the three process entries. A host block longer than the block length is played in
// pieces of at most that length, so the scratch buffers sized outside processing always suffice.

#include "IPlugVST.h"
#include "ThreadRole.h"

#include <algorithm>
#include <type_traits>

namespace
{
// Runs one process entry on the instance under its lock, the calling thread marked as the audio
// thread; nothing escapes to the host.
template <class Work>
void RunLocked(IPlugVST* plug, Work&& work) noexcept
{
    if (!plug)
        return;
    const orx::ProcessCallScope audio;
    IMutexLock lock(plug->Mutex(), IMutexLock::First{});
    try
    {
        work(*plug);
    }
    catch (...)
    {
    }
}
} // namespace

// [audio-thread]
void IPlugVST::VSTProcess(vst2::Effect* effect, float** inputs, float** outputs,
                          int32_t frames) noexcept
{
    RunLocked(FromEffect(effect),
              [&](IPlugVST& plug) { plug.ProcessPieces(inputs, outputs, frames, true); });
}

// [audio-thread]
void IPlugVST::VSTProcessReplacing(vst2::Effect* effect, float** inputs, float** outputs,
                                   int32_t frames) noexcept
{
    RunLocked(FromEffect(effect),
              [&](IPlugVST& plug) { plug.ProcessPieces(inputs, outputs, frames, false); });
}

// [audio-thread]
void IPlugVST::VSTProcessDoubleReplacing(vst2::Effect* effect, double** inputs, double** outputs,
                                         int32_t frames) noexcept
{
    RunLocked(FromEffect(effect),
              [&](IPlugVST& plug) { plug.ProcessPieces(inputs, outputs, frames, false); });
}

template <class Sample>
void IPlugVST::ProcessPieces(Sample** inputs, Sample** outputs, int frames, bool accumulate)
{
    if (mDoesMidi)
        CallHost(vst2::audioMasterWantMidi);
    const int block = GetBlockSize();
    if (block <= 0)
        return;
    // The pieces share one answer of the host's time info.
    mInHostBlock = true;
    mBlockTimeAsked = false;
    for (int offset = 0; offset < frames; offset += block)
    {
        const int n = std::min(block, frames - offset);
        SetPiece(offset, frames);
        AttachInputBuffers(inputs, mEffect.numInputs, offset, n);
        AttachOutputBuffers(outputs, mEffect.numOutputs, offset, n);
        ProcessBlock(InputData(), OutputData(), n);
        // 32-bit outputs were redirected to the scratch buffers; 64-bit ones are the host's own.
        if constexpr (std::is_same_v<Sample, float>)
            CopyOutputsToHost(n, accumulate);
    }
    SetPiece(0, 0);
    mInHostBlock = false;
}
