#pragma once
// The built Orlantix library loaded by our own VST 2 host and driven only through its effect
// record, as a host sequencer drives it; with the helpers the hosted tests share.

#include "EventStream.h"
#include "HostedStream.h"
#include "OrlantixParamIndex.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

class HostedOrlantix : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mHost.Load(ORX_PLUGIN_PATH)) << mHost.Error(); }

    // Open, 44.1 kHz, the given block size, resume.
    void Start(int blockSize = 512) { mHost.Start(44100.0f, blockSize); }

    // The host's value for plain value v of a parameter whose range is min..max.
    static float Norm(double v, double min, double max)
    {
        return static_cast<float>((v - min) / (max - min));
    }

    // Plays `total` frames from the transport's position in host blocks of `block` frames (the
    // last one cut to fit) and answers the MIDI sent during them, at absolute sample times.
    std::vector<StreamEvent> Play(long long total, int block)
    {
        return PlayHost(mHost, total, block);
    }

    // The events sent during one process call, as the host received them.
    std::vector<orxhost::CapturedEvent> EventsOfBlock(int block) const
    {
        std::vector<orxhost::CapturedEvent> events;
        for (const orxhost::CapturedEvent& e : mHost.Events())
            if (e.mBlock == block)
                events.push_back(e);
        return events;
    }

    orxhost::VstHost mHost;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Note lengths of a stream: each note-off paired with the latest note-on of its key and channel.
inline std::vector<long long> NoteLengths(const std::vector<StreamEvent>& stream)
{
    std::map<int, long long> onsets;
    std::vector<long long> lengths;
    for (const StreamEvent& e : stream)
    {
        const int key = (e.mStatus & 0x0F) << 8 | e.mData1;
        if ((e.mStatus & 0xF0) == 0x90)
            onsets[key] = e.mTime;
        else if ((e.mStatus & 0xF0) == 0x80 && onsets.count(key))
            lengths.push_back(e.mTime - onsets[key]);
    }
    return lengths;
}

inline std::vector<StreamEvent> NoteOns(const std::vector<StreamEvent>& stream)
{
    std::vector<StreamEvent> ons;
    for (const StreamEvent& e : stream)
        if ((e.mStatus & 0xF0) == 0x90)
            ons.push_back(e);
    return ons;
}
