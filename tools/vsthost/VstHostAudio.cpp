// VstHost: audio buffers, the process calls and the transport.

#include "VstHost.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orxhost
{
namespace
{

// Samples after the frames of every buffer, filled with a value no plug-in writes by chance:
// anything else there afterwards means the plug-in wrote past the block.
constexpr int kGuard = 64;
constexpr float kGuardValue = -1234.5678f;

// True when a buffer was added or grew.
template <class T>
bool Resize(std::vector<std::vector<T>>& buffers, int channels, int frames)
{
    const std::size_t count = static_cast<std::size_t>(std::max(channels, 0));
    bool grew = buffers.size() < count;
    buffers.resize(count);
    for (std::vector<T>& buffer : buffers)
        if (buffer.size() < static_cast<std::size_t>(frames + kGuard))
        {
            buffer.resize(static_cast<std::size_t>(frames + kGuard), T(0));
            grew = true;
        }
    return grew;
}

template <class T>
void SetGuards(std::vector<std::vector<T>>& buffers, int frames)
{
    for (std::vector<T>& buffer : buffers)
        std::fill(buffer.begin() + frames, buffer.begin() + frames + kGuard, T(kGuardValue));
}

template <class T>
bool GuardsIntact(const std::vector<std::vector<T>>& buffers, int frames)
{
    for (const std::vector<T>& buffer : buffers)
        if (!std::all_of(buffer.begin() + frames, buffer.begin() + frames + kGuard,
                         [](T x) { return x == T(kGuardValue); }))
            return false;
    return true;
}

// Points the array handed to the plug-in at the buffers (their storage moves when they grow).
template <class T>
T** Pointers(std::vector<std::vector<T>>& buffers, std::vector<T*>& pointers)
{
    pointers.resize(buffers.size());
    for (std::size_t c = 0; c < buffers.size(); ++c)
        pointers[c] = buffers[c].data();
    return pointers.data();
}

// The first frames of every input hold the value the host set for its channel.
template <class T>
void FillInputs(std::vector<std::vector<T>>& inputs, const std::vector<float>& values,
                std::size_t frames)
{
    for (std::size_t c = 0; c < inputs.size(); ++c)
        std::fill_n(inputs[c].begin(), std::min(frames, inputs[c].size()), T(values[c]));
}

template <class T>
bool InputsIntact(const std::vector<std::vector<T>>& inputs, const std::vector<float>& values,
                  int frames)
{
    for (std::size_t c = 0; c < inputs.size(); ++c)
        if (!std::all_of(inputs[c].begin(), inputs[c].begin() + frames,
                         [v = T(values[c])](T x) { return x == v; }))
            return false;
    return true;
}

} // namespace

// Only the buffers of the entry called are prepared: the plug-in never sees the others.
void VstHost::PrepareBuffers(int frames, bool doubles)
{
    const int nIn = mpEffect->numInputs;
    const int nOut = mpEffect->numOutputs;
    const bool grewFloat = Resize(mIn, nIn, frames);
    const bool grewDouble = Resize(mInD, nIn, frames);
    Resize(mOut, nOut, frames);
    Resize(mOutD, nOut, frames);
    mInputValues.resize(mIn.size(), 0.0f);
    mInputsStale = mInputsStale || grewFloat;
    mInputsStaleD = mInputsStaleD || grewDouble;
    if (!mChecks)
    {
        // Trusted not to write into its inputs, the plug-in finds them as they were set.
        bool& stale = doubles ? mInputsStaleD : mInputsStale;
        if (stale)
        {
            if (doubles)
                FillInputs(mInD, mInputValues, SIZE_MAX);
            else
                FillInputs(mIn, mInputValues, SIZE_MAX);
            stale = false;
        }
        return;
    }
    const std::size_t n = static_cast<std::size_t>(frames);
    if (doubles)
    {
        FillInputs(mInD, mInputValues, n);
        SetGuards(mInD, frames);
        SetGuards(mOutD, frames);
    }
    else
    {
        FillInputs(mIn, mInputValues, n);
        SetGuards(mIn, frames);
        SetGuards(mOut, frames);
    }
}

void VstHost::CheckGuards(int frames, bool doubles)
{
    const bool intact = doubles ? GuardsIntact(mInD, frames) && GuardsIntact(mOutD, frames) &&
                                      InputsIntact(mInD, mInputValues, frames)
                                : GuardsIntact(mIn, frames) && GuardsIntact(mOut, frames) &&
                                      InputsIntact(mIn, mInputValues, frames);
    if (!intact)
        mOverrun = true;
}

void VstHost::Process(int frames, ProcessEntry entry)
{
    if (!mpEffect || frames < 0)
        return;
    const bool doubles = entry == ProcessEntry::kDoubleReplacing;
    PrepareBuffers(frames, doubles);
    mFrames = frames;
    mInProcess = true;
    switch (entry)
    {
    case ProcessEntry::kReplacing:
        if (mpEffect->processReplacing)
            mpEffect->processReplacing(mpEffect, Pointers(mIn, mInPointers),
                                       Pointers(mOut, mOutPointers), frames);
        break;
    case ProcessEntry::kAccumulating:
        if (mpEffect->process)
            mpEffect->process(mpEffect, Pointers(mIn, mInPointers), Pointers(mOut, mOutPointers),
                              frames);
        break;
    case ProcessEntry::kDoubleReplacing:
        if (mpEffect->processDoubleReplacing)
            mpEffect->processDoubleReplacing(mpEffect, Pointers(mInD, mInDPointers),
                                             Pointers(mOutD, mOutDPointers), frames);
        break;
    }
    mInProcess = false;
    ++mBlockIndex;
    if (mChecks)
        CheckGuards(frames, doubles);
    if (mTransport.mPlaying && mTransport.mAdvance)
    {
        std::lock_guard lock(mCallbackMutex);
        mTransport.mSamplePos += frames;
    }
}

void VstHost::SetBufferChecks(bool on) noexcept
{
    mChecks = on;
    // The checked calls left guard markers after the frames.
    mInputsStale = true;
    mInputsStaleD = true;
}

void VstHost::SetInput(int channel, float value)
{
    if (channel < 0)
        return;
    mInputsStale = true;
    mInputsStaleD = true;
    if (mInputValues.size() <= static_cast<std::size_t>(channel))
        mInputValues.resize(static_cast<std::size_t>(channel) + 1, 0.0f);
    mInputValues[static_cast<std::size_t>(channel)] = value;
}

void VstHost::FillOutputs(float value)
{
    if (!mpEffect)
        return;
    // Buffers exist before the first process call, so the value is there when it comes.
    Resize(mOut, mpEffect->numOutputs, std::max(mBlockSize, 0));
    Resize(mOutD, mpEffect->numOutputs, std::max(mBlockSize, 0));
    for (std::vector<float>& buffer : mOut)
        std::fill(buffer.begin(), buffer.end(), value);
    for (std::vector<double>& buffer : mOutD)
        std::fill(buffer.begin(), buffer.end(), value);
}

const float* VstHost::Output(int channel) const
{
    if (channel < 0 || static_cast<std::size_t>(channel) >= mOut.size())
        return nullptr;
    return mOut[static_cast<std::size_t>(channel)].data();
}

const double* VstHost::OutputDouble(int channel) const
{
    if (channel < 0 || static_cast<std::size_t>(channel) >= mOutD.size())
        return nullptr;
    return mOutD[static_cast<std::size_t>(channel)].data();
}

const vst2::TimeInfo* VstHost::FillTimeInfo(int32_t request)
{
    const Transport& t = mTransport;
    if (!t.mProvideTimeInfo)
        return nullptr;
    if (!t.mHonourRequestMask)
        request = 0; // the answer does not depend on it
    // A copy each time all the same, in case the plug-in wrote into the last one.
    if (mTimeCached && t == mTimeFrom && mSampleRate == mTimeRate && request == mTimeRequest)
    {
        mTimeInfo = mTimeComputed;
        return &mTimeInfo;
    }
    mTimeCached = true;
    mTimeFrom = t;
    mTimeRate = mSampleRate;
    mTimeRequest = request;
    vst2::TimeInfo& ti = mTimeComputed;
    ti = vst2::TimeInfo{};
    ti.samplePos = t.mSamplePos;
    ti.sampleRate = mSampleRate;
    ti.tempo = t.mTempo;
    ti.ppqPos = mSampleRate > 0.0f ? t.mSamplePos / mSampleRate * t.mTempo / 60.0 : 0.0;
    const double quartersPerBar = t.mDenominator > 0 ? 4.0 * t.mNumerator / t.mDenominator : 4.0;
    ti.barStartPos =
        quartersPerBar > 0.0 ? std::floor(ti.ppqPos / quartersPerBar) * quartersPerBar : 0.0;
    ti.cycleStartPos = t.mCycleStart;
    ti.cycleEndPos = t.mCycleEnd;
    ti.timeSigNumerator = t.mNumerator;
    ti.timeSigDenominator = t.mDenominator;
    int32_t valid = t.mValidFlags;
    if (t.mHonourRequestMask)
        valid &= request;
    ti.flags = valid | t.mExtraFlags;
    if (t.mPlaying)
        ti.flags |= vst2::kTimePlaying;
    if (t.mCycling)
        ti.flags |= vst2::kTimeCycleActive;
    mTimeInfo = ti;
    return &mTimeInfo;
}

} // namespace orxhost
