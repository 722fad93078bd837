#pragma once
// Bookkeeping of one audio channel. A connected channel takes the next host buffer of the
// block; an unconnected one points at its own scratch buffer, sized by the block length outside
// processing so the audio thread never allocates.

#include <vector>

struct IInChannel
{
    bool mConnected = false;
    int mSlot = 0; // the entry of the input pointer array this channel fills
    std::vector<double> mScratch;
};

struct IOutChannel
{
    bool mConnected = false;
    int mSlot = 0; // the entry of the output pointer array this channel fills
    std::vector<double> mScratch;
    float* mpFDest = nullptr; // the host's 32-bit buffer of the current block, or none
};
