#include "HostNotices.h"

#include <algorithm>

bool HostNotices::Record(Kind kind, int paramIdx, double value) noexcept
{
    if (kind == Kind::kValue && mCount > 0)
    {
        Notice& last = mNotices[mCount - 1];
        if (last.mKind == Kind::kValue && last.mParamIdx == paramIdx)
        {
            last.mValue = value;
            return true;
        }
    }
    if (kind == Kind::kEndEdit)
    {
        for (int i = 0; i < mNumDroppedBegins; ++i)
        {
            if (mDroppedBegins[i] != paramIdx)
                continue;
            mDroppedBegins[i] = mDroppedBegins[--mNumDroppedBegins];
            ++mDropped;
            return false;
        }
        if (mOpenBegins > 0)
            --mOpenBegins; // its room was kept
        return Append(kind, paramIdx, value);
    }
    // Room for this notice and for the end of every open gesture.
    if (kCapacity - mCount < mOpenBegins + 2)
    {
        ++mDropped;
        if (kind == Kind::kBeginEdit && mNumDroppedBegins < kMaxDroppedBegins)
            mDroppedBegins[mNumDroppedBegins++] = paramIdx;
        return false;
    }
    if (kind == Kind::kBeginEdit)
        ++mOpenBegins;
    return Append(kind, paramIdx, value);
}

bool HostNotices::Append(Kind kind, int paramIdx, double value) noexcept
{
    if (mCount == kCapacity)
    {
        ++mDropped;
        return false;
    }
    mNotices[mCount++] = Notice{kind, paramIdx, value};
    mAny.store(true, std::memory_order_relaxed);
    return true;
}

int HostNotices::TakeNotices(Notice* out, int max) noexcept
{
    const int n = std::clamp(mCount, 0, max);
    std::copy(mNotices, mNotices + n, out);
    std::copy(mNotices + n, mNotices + mCount, mNotices);
    mCount -= n;
    mAny.store(mCount > 0, std::memory_order_relaxed);
    return n;
}

bool HostNotices::TakeStateChanged() noexcept
{
    return mStateChanged.exchange(false, std::memory_order_relaxed);
}
