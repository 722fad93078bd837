// IPlugBase: audio channel bookkeeping, scratch buffers and the block attach of the process
// entries.

#include "IPlugBase.h"
#include "ThreadRole.h"

#include <algorithm>
#include <cstring>

namespace
{

template <class Channel>
double* Scratch(Channel& channel) noexcept
{
    return channel.mScratch.data();
}

} // namespace

bool IPlugBase::IsInChannelConnected(int idx) const noexcept
{
    return idx >= 0 && idx < NInChannels() && mInChannels[static_cast<std::size_t>(idx)].mConnected;
}

bool IPlugBase::IsOutChannelConnected(int idx) const noexcept
{
    return idx >= 0 && idx < NOutChannels() &&
           mOutChannels[static_cast<std::size_t>(idx)].mConnected;
}

void IPlugBase::SetBlockLength(int nFrames)
{
    ORX_MAIN_THREAD_LOCKED(mMutex);
    if (nFrames == mBlockSize || nFrames < 1 || nFrames > kMaxBlockLength)
        return;
    if (ResizeScratch(nFrames))
        mBlockSize = nFrames;
}

bool IPlugBase::ResizeScratch(int nFrames)
{
    // Every buffer keeps at least the old block length if growing fails part-way, so the
    // stored block length stays a safe bound either way.
    const std::size_t n = static_cast<std::size_t>(nFrames);
    bool ok = true;
    try
    {
        for (IInChannel& channel : mInChannels)
            channel.mScratch.resize(std::max(n, static_cast<std::size_t>(mBlockSize)));
        for (IOutChannel& channel : mOutChannels)
            channel.mScratch.resize(std::max(n, static_cast<std::size_t>(mBlockSize)));
    }
    catch (...)
    {
        ok = false;
    }
    for (IInChannel& channel : mInChannels)
        std::fill(channel.mScratch.begin(), channel.mScratch.end(), 0.0);
    for (IOutChannel& channel : mOutChannels)
        std::fill(channel.mScratch.begin(), channel.mScratch.end(), 0.0);
    PointAtScratch();
    return ok;
}

void IPlugBase::PointAtScratch() noexcept
{
    for (IInChannel& channel : mInChannels)
        if (!channel.mConnected)
            mInData[static_cast<std::size_t>(channel.mSlot)] = Scratch(channel);
    for (IOutChannel& channel : mOutChannels)
        if (!channel.mConnected)
            mOutData[static_cast<std::size_t>(channel.mSlot)] = Scratch(channel);
}

void IPlugBase::SetConnections(bool input, int first, int count, bool connected) noexcept
{
    const int n = input ? NInChannels() : NOutChannels();
    const long long end =
        std::min(static_cast<long long>(first) + count, static_cast<long long>(n));
    for (long long i = std::max(first, 0); i < end; ++i)
    {
        if (input)
        {
            IInChannel& channel = mInChannels[static_cast<std::size_t>(i)];
            channel.mConnected = connected;
            if (!connected)
                mInData[static_cast<std::size_t>(channel.mSlot)] = Scratch(channel);
        }
        else
        {
            IOutChannel& channel = mOutChannels[static_cast<std::size_t>(i)];
            channel.mConnected = connected;
            if (!connected)
                mOutData[static_cast<std::size_t>(channel.mSlot)] = Scratch(channel);
        }
    }
}

void IPlugBase::SetInputConnections(int first, int count, bool connected) noexcept
{
    SetConnections(true, first, count, connected);
}

void IPlugBase::SetOutputConnections(int first, int count, bool connected) noexcept
{
    SetConnections(false, first, count, connected);
}

void IPlugBase::LimitToStereo() noexcept
{
    if (NInChannels() > 2)
        SetInputConnections(2, NInChannels() - 2, false);
    if (NOutChannels() > 2)
        SetOutputConnections(2, NOutChannels() - 2, true);
}

void IPlugBase::EnsureStereoChannels()
{
    if (NInChannels() > 0 || NOutChannels() > 0)
        return;
    mChannelPairs.push_back(IChannelPair{2, 2});
    mInChannels.resize(2);
    mOutChannels.resize(2);
    mInData.assign(2, nullptr);
    mOutData.assign(2, nullptr);
    for (int i = 0; i < 2; ++i)
    {
        mInChannels[static_cast<std::size_t>(i)].mSlot = i;
        mOutChannels[static_cast<std::size_t>(i)].mSlot = i;
    }
    if (mBlockSize > 0 && !ResizeScratch(mBlockSize))
        mBlockSize = 0; // the new channels have no room: process nothing rather than overrun
    SetInputConnections(0, 2, true);
    SetOutputConnections(0, 2, true);
}

void IPlugBase::PointInputsAtScratch() noexcept
{
    for (IInChannel& channel : mInChannels)
        mInData[static_cast<std::size_t>(channel.mSlot)] = Scratch(channel);
}

void IPlugBase::AttachInputBuffers(float* const* hostIn, int hostCount, int offset,
                                   int nFrames) noexcept
{
    if (mAudioSilent)
    {
        PointInputsAtScratch();
        return;
    }
    const std::size_t n = static_cast<std::size_t>(std::clamp(nFrames, 0, mBlockSize));
    int k = 0;
    for (IInChannel& channel : mInChannels)
    {
        double* scratch = Scratch(channel);
        mInData[static_cast<std::size_t>(channel.mSlot)] = scratch;
        if (!channel.mConnected)
            continue;
        const float* src = (hostIn && k < hostCount) ? hostIn[k] : nullptr;
        ++k;
        if (src)
            for (std::size_t s = 0; s < n; ++s)
                scratch[s] = src[static_cast<std::size_t>(offset) + s];
        else
            std::fill(scratch, scratch + n, 0.0);
    }
}

void IPlugBase::AttachInputBuffers(double* const* hostIn, int hostCount, int offset,
                                   int nFrames) noexcept
{
    if (mAudioSilent)
    {
        PointInputsAtScratch();
        return;
    }
    const std::size_t n = static_cast<std::size_t>(std::clamp(nFrames, 0, mBlockSize));
    int k = 0;
    for (IInChannel& channel : mInChannels)
    {
        double*& slot = mInData[static_cast<std::size_t>(channel.mSlot)];
        slot = Scratch(channel);
        if (!channel.mConnected)
            continue;
        double* src = (hostIn && k < hostCount) ? hostIn[k] : nullptr;
        ++k;
        if (src)
            slot = src + offset;
        else
            std::fill(slot, slot + n, 0.0);
    }
}

void IPlugBase::AttachOutputBuffers(float* const* hostOut, int hostCount, int offset,
                                    int /*nFrames*/) noexcept
{
    int k = 0;
    for (IOutChannel& channel : mOutChannels)
    {
        mOutData[static_cast<std::size_t>(channel.mSlot)] = Scratch(channel);
        channel.mpFDest = nullptr;
        if (!channel.mConnected)
            continue;
        float* dest = (hostOut && k < hostCount) ? hostOut[k] : nullptr;
        ++k;
        if (dest)
            channel.mpFDest = dest + offset;
    }
}

void IPlugBase::AttachOutputBuffers(double* const* hostOut, int hostCount, int offset,
                                    int nFrames) noexcept
{
    const std::size_t n = static_cast<std::size_t>(std::clamp(nFrames, 0, mBlockSize));
    int k = 0;
    for (IOutChannel& channel : mOutChannels)
    {
        double*& slot = mOutData[static_cast<std::size_t>(channel.mSlot)];
        slot = Scratch(channel);
        channel.mpFDest = nullptr;
        if (!channel.mConnected)
            continue;
        double* dest = (hostOut && k < hostCount) ? hostOut[k] : nullptr;
        ++k;
        if (!dest)
            continue;
        slot = dest + offset;
        // The process block leaves it alone: the silence a replacing entry owes is written now.
        if (mAudioSilent)
            std::fill(slot, slot + n, 0.0);
    }
}

void IPlugBase::CopyOutputsToHost(int nFrames, bool accumulate) noexcept
{
    const std::size_t n = static_cast<std::size_t>(std::clamp(nFrames, 0, mBlockSize));
    for (IOutChannel& channel : mOutChannels)
    {
        float* dest = channel.mpFDest;
        if (!channel.mConnected || !dest)
            continue;
        if (mAudioSilent)
        {
            if (!accumulate)
                std::fill(dest, dest + n, 0.0f);
            continue;
        }
        const double* src = Scratch(channel);
        if (accumulate)
            for (std::size_t s = 0; s < n; ++s)
                dest[s] = static_cast<float>(src[s] + dest[s]);
        else
            for (std::size_t s = 0; s < n; ++s)
                dest[s] = static_cast<float>(src[s]);
    }
}
