#include "KeyPlay.h"

#include <algorithm>

void KeyPlay::SetMode(KeyPlayMode mode) noexcept
{
    mMode = mode;
    if (mode == KeyPlayMode::kOff)
        mLastKey = -1;
}

bool KeyPlay::Push(int offset, int channel, int note, bool down) noexcept
{
    if (mCount >= kCapacity || note < 0 || note > 127)
    {
        ++mDropped;
        return false;
    }
    KeyEvent e;
    e.mOffset = offset < 0 ? 0 : offset;
    e.mNote = static_cast<uint8_t>(note);
    e.mChannel = static_cast<uint8_t>(channel & 0x0F);
    e.mDown = down;
    // In time order, arrivals at one offset in their order: hosts mostly send in order, so
    // this rarely moves anything.
    int at = mCount;
    while (at > mNext && mQueue[at - 1].mOffset > e.mOffset)
    {
        mQueue[at] = mQueue[at - 1];
        --at;
    }
    mQueue[at] = e;
    ++mCount;
    return true;
}

void KeyPlay::BeginPiece(int pieceStart, int frames, bool lastPiece) noexcept
{
    mPieceStart = pieceStart;
    mPieceFrames = frames < 0 ? 0 : frames;
    mLastPiece = lastPiece;
    mNext = 0;
    mPieceSet = true;
}

void KeyPlay::BeginBlock(int frames) noexcept
{
    if (!mPieceSet)
        BeginPiece(0, frames, true);
}

int KeyPlay::LocalOffset(const KeyEvent& e) const noexcept
{
    const int last = mPieceFrames > 0 ? mPieceFrames - 1 : 0;
    return std::clamp(e.mOffset - mPieceStart, 0, last);
}

bool KeyPlay::Due(const KeyEvent& e) const noexcept
{
    return mLastPiece || e.mOffset - mPieceStart < mPieceFrames;
}

int KeyPlay::NextDue(int upTo) const noexcept
{
    if (mNext >= mCount || !Due(mQueue[mNext]))
        return -1;
    const int offset = LocalOffset(mQueue[mNext]);
    return offset <= upTo ? offset : -1;
}

bool KeyPlay::ApplyNext() noexcept
{
    if (mNext >= mCount)
        return false;
    const KeyEvent& e = mQueue[mNext++];
    const bool wasOpen = Open();
    uint16_t& held = mHeld[e.mNote];
    const bool wasHeld = held != 0;
    const uint16_t bit = static_cast<uint16_t>(1u << e.mChannel);
    held = e.mDown ? static_cast<uint16_t>(held | bit) : static_cast<uint16_t>(held & ~bit);
    mHeldCount += (held != 0) - wasHeld;
    if (e.mDown && mMode != KeyPlayMode::kOff)
        mLastKey = e.mNote;
    return wasOpen && !Open();
}

void KeyPlay::EndPiece() noexcept
{
    std::copy(mQueue + mNext, mQueue + mCount, mQueue);
    mCount -= mNext;
    mNext = 0;
    mPieceStart = 0;
    mPieceFrames = 0;
    mLastPiece = true;
    mPieceSet = false;
}
