#include "SynthChain.h"

#include "PluginSetup.h"

#include <algorithm>

namespace orxrender
{

bool SynthChain::Open(const std::string& synthPath, const std::string& wavPath, int sampleRate,
                      int maxBlock, std::string& error)
{
    if (!mHost.Load(synthPath))
    {
        error = "--synth: " + mHost.Error();
        return false;
    }
    const int outputs = mHost.Effect()->numOutputs;
    if (outputs < 1)
    {
        error = "--synth " + synthPath + ": the plug-in has no audio outputs";
        return false;
    }
    if (!mHost.Effect()->processReplacing && !mHost.Effect()->process)
    {
        error = "--synth " + synthPath + ": the plug-in has no process entry";
        return false;
    }
    mEntry = ProcessEntryOf(*mHost.Effect());
    // Some synthesisers keep threads running after effClose; unloading them then would pull
    // the code from under those threads.
    mHost.KeepLibraryLoaded();
    mHost.SetBufferChecks(false);
    mHost.GetTransport().mAdvance = false;
    if (!mWav.Open(wavPath, outputs, sampleRate, error))
        return false;
    mHost.Start(static_cast<float>(sampleRate), maxBlock);
    mOpen = true;
    return true;
}

bool SynthChain::Process(const std::vector<RenderEvent>& events, int64_t blockTimeline, int frames,
                         std::string& error)
{
    mMidi.clear();
    for (const RenderEvent& e : events)
    {
        vst2::MidiEvent midi{};
        midi.type = vst2::kEventMidi;
        midi.byteSize = static_cast<int32_t>(sizeof(midi));
        const int64_t offset = e.mTimeline - blockTimeline;
        midi.deltaFrames = static_cast<int32_t>(std::clamp<int64_t>(offset, 0, frames - 1));
        midi.midiData[0] = static_cast<char>(e.mStatus);
        midi.midiData[1] = static_cast<char>(e.mData1);
        midi.midiData[2] = static_cast<char>(e.mData2);
        mMidi.push_back(midi);
    }
    if (!mMidi.empty())
    {
        mPointers.clear();
        for (vst2::MidiEvent& midi : mMidi)
            mPointers.push_back(reinterpret_cast<vst2::Event*>(&midi));
        mHost.SendEvents(mPointers);
    }
    mHost.GetTransport().mSamplePos = static_cast<double>(blockTimeline);
    if (mEntry == orxhost::ProcessEntry::kAccumulating)
        mHost.FillOutputs(0.0f); // it adds to what the buffers hold
    mHost.Process(frames, mEntry);
    std::vector<const float*> buffers;
    for (int c = 0; c < mHost.Effect()->numOutputs; ++c)
        buffers.push_back(mHost.Output(c));
    return mWav.Append(buffers.data(), frames, error);
}

bool SynthChain::Close(std::string& error)
{
    if (!mOpen)
        return true;
    mOpen = false;
    mHost.Suspend();
    mHost.Close();
    return mWav.Close(error);
}

} // namespace orxrender
