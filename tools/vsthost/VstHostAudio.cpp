// VstHost: audio buffers, the process calls and the transport.

#include "VstHost.h"

#include <algorithm>
#include <cmath>

namespace orxhost
{
namespace
{

// Samples after the frames of every buffer, filled with a value no plug-in writes by chance:
// anything else there afterwards means the plug-in wrote past the block.
constexpr int kGuard = 64;
constexpr float kGuardValue = -1234.5678f;

template <class T>
void Resize(std::vector<std::vector<T>>& buffers, int channels, int frames)
{
    buffers.resize(static_cast<std::size_t>(std::max(channels, 0)));
    for (std::vector<T>& buffer : buffers)
        if (buffer.size() < static_cast<std::size_t>(frames + kGuard))
            buffer.resize(static_cast<std::size_t>(frames + kGuard), T(0));
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
        for (int s = frames; s < frames + kGuard; ++s)
            if (buffer[static_cast<std::size_t>(s)] != T(kGuardValue))
                return false;
    return true;
}

template <class T>
std::vector<T*> Pointers(std::vector<std::vector<T>>& buffers)
{
    std::vector<T*> pointers;
    for (std::vector<T>& buffer : buffers)
        pointers.push_back(buffer.data());
    return pointers;
}

} // namespace

void VstHost::PrepareBuffers(int frames)
{
    const int nIn = mpEffect->numInputs;
    const int nOut = mpEffect->numOutputs;
    Resize(mIn, nIn, frames);
    Resize(mOut, nOut, frames);
    Resize(mInD, nIn, frames);
    Resize(mOutD, nOut, frames);
    mInputValues.resize(mIn.size(), 0.0f);
    for (std::size_t c = 0; c < mIn.size(); ++c)
    {
        std::fill(mIn[c].begin(), mIn[c].begin() + frames, mInputValues[c]);
        std::fill(mInD[c].begin(), mInD[c].begin() + frames, mInputValues[c]);
    }
    SetGuards(mIn, frames);
    SetGuards(mOut, frames);
    SetGuards(mInD, frames);
    SetGuards(mOutD, frames);
}

void VstHost::CheckGuards(int frames)
{
    if (!GuardsIntact(mIn, frames) || !GuardsIntact(mOut, frames) || !GuardsIntact(mInD, frames) ||
        !GuardsIntact(mOutD, frames))
        mOverrun = true;
    for (std::size_t c = 0; c < mIn.size(); ++c)
        for (int s = 0; s < frames; ++s)
            if (mIn[c][static_cast<std::size_t>(s)] != mInputValues[c] ||
                mInD[c][static_cast<std::size_t>(s)] != mInputValues[c])
                mOverrun = true;
}

void VstHost::Process(int frames, ProcessEntry entry)
{
    if (!mpEffect || frames < 0)
        return;
    PrepareBuffers(frames);
    mFrames = frames;
    mInProcess = true;
    switch (entry)
    {
    case ProcessEntry::kReplacing:
        if (mpEffect->processReplacing)
            mpEffect->processReplacing(mpEffect, Pointers(mIn).data(), Pointers(mOut).data(),
                                       frames);
        break;
    case ProcessEntry::kAccumulating:
        if (mpEffect->process)
            mpEffect->process(mpEffect, Pointers(mIn).data(), Pointers(mOut).data(), frames);
        break;
    case ProcessEntry::kDoubleReplacing:
        if (mpEffect->processDoubleReplacing)
            mpEffect->processDoubleReplacing(mpEffect, Pointers(mInD).data(),
                                             Pointers(mOutD).data(), frames);
        break;
    }
    mInProcess = false;
    ++mBlockIndex;
    CheckGuards(frames);
    if (mTransport.mPlaying && mTransport.mAdvance)
    {
        std::lock_guard lock(mCallbackMutex);
        mTransport.mSamplePos += frames;
    }
}

void VstHost::SetInput(int channel, float value)
{
    if (channel < 0)
        return;
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
    vst2::TimeInfo& ti = mTimeInfo;
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
    return &ti;
}

} // namespace orxhost
