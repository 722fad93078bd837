#pragma once
// A third-party VST 2 synthesiser behind the pattern plug-in: each block, the MIDI the pattern
// plug-in sent reaches the synthesiser (effProcessEvents, with the same offsets) before the
// synthesiser processes that block, and its audio goes into a WAV file. So a user can hear a
// preset, and our host is checked against a plug-in nobody here wrote.

#include "RenderEvent.h"
#include "VstHost.h"
#include "WavWriter.h"

#include <string>
#include <vector>

namespace orxrender
{

class SynthChain
{
public:
    // Loads and starts the synthesiser and creates the WAV file; false with a reason.
    bool Open(const std::string& synthPath, const std::string& wavPath, int sampleRate,
              int maxBlock, std::string& error);
    // One block: the events (offsets from the block's first frame), then the audio.
    bool Process(const std::vector<RenderEvent>& events, int64_t blockTimeline, int frames,
                 std::string& error);
    // Before Open: the WAV file's loudest sample at peakDbfs (see WavWriter::NormaliseTo).
    void NormaliseTo(double peakDbfs) noexcept { mWav.NormaliseTo(peakDbfs); }
    // Switches the synthesiser off, closes it and finishes the WAV file.
    bool Close(std::string& error);

private:
    orxhost::VstHost mHost;
    WavWriter mWav;
    std::vector<vst2::MidiEvent> mMidi;
    std::vector<vst2::Event*> mPointers;
    orxhost::ProcessEntry mEntry = orxhost::ProcessEntry::kReplacing;
    bool mOpen = false;
};

} // namespace orxrender
