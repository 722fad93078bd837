#pragma once
// One legal input/output combination of the channel layout ("1-1 2-2" gives two).

struct IChannelPair
{
    int mIn = 0;
    int mOut = 0;
};
