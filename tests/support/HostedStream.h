#pragma once
// Plays a hosted plug-in for a number of frames and answers the MIDI it sent meanwhile as a
// whole event stream. Header only: the tests that include it link the test host already.

#include "EventStream.h"
#include "VstHost.h"

#include <algorithm>
#include <map>
#include <vector>

// Plays `total` frames from the transport's position in host blocks of `block` frames (the last
// one cut to fit) and answers the MIDI sent during them, at absolute sample times.
inline std::vector<StreamEvent> PlayHost(orxhost::VstHost& host, long long total, int block)
{
    const int first = host.ProcessCalls();
    std::map<int, long long> starts;
    for (long long done = 0; done < total;)
    {
        const int n = static_cast<int>(std::min<long long>(block, total - done));
        starts[host.ProcessCalls()] = static_cast<long long>(host.GetTransport().mSamplePos);
        host.Process(n);
        done += n;
    }
    std::vector<StreamEvent> stream;
    for (const orxhost::CapturedEvent& e : host.Events())
        if (e.mBlock >= first)
            stream.push_back(
                {starts[e.mBlock] + e.mDeltaFrames, e.mData[0], e.mData[1], e.mData[2]});
    return stream;
}
