// orx-lv2-render: orlantix-render's settings, transport and outputs, played through the LV2
// library. The settings (--load-state, --preset, --param) are made in the VST 2 library as the
// renderer makes them, and its state goes into the LV2 instance through the state interface;
// then the LV2 instance alone plays the renderer's blocks, told the host's position as LV2
// hosts tell it: at the start and wherever the transport jumps, starts or stops. --save-state
// writes the state the LV2 instance saves.
//
//   orx-lv2-render --lv2-path <folder holding Orlantix.lv2> [orlantix-render options]

#include "EventListing.h"
#include "FileIo.h"
#include "Lv2Host.h"
#include "MidiFileWriter.h"
#include "OrlantixUri.h"
#include "PluginSetup.h"
#include "RenderOptions.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{

int Fail(const std::string& why)
{
    std::fprintf(stderr, "orx-lv2-render: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace orxrender;
    std::string lv2Path;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
    {
        if (std::string(argv[i]) == "--lv2-path" && i + 1 < argc)
            lv2Path = argv[++i];
        else
            args.emplace_back(argv[i]);
    }
    const ParseResult parsed = ParseOptions(args);
    if (!parsed.mError.empty() || lv2Path.empty())
        return Fail(parsed.mError.empty() ? "--lv2-path is required" : parsed.mError);
    const RenderOptions& options = parsed.mOptions;
    const TransportPlan plan = MakePlan(options);

    std::string error;
    std::vector<uint8_t> chunk;
    {
        orxhost::VstHost vst;
        vst.SetBufferChecks(false);
        if (!LoadAndStart(vst, options, error) || !ApplySettings(vst, options, error))
            return Fail(error);
        chunk = vst.GetChunk(true);
        vst.Suspend();
        vst.Close();
    }

    orxlv2host::Lv2Host lv2;
    if (!lv2.Load(lv2Path, kOrlantixUri, options.mSampleRate, plan.MaxBlock()))
        return Fail(lv2.Error());
    lv2.Activate();
    if (!lv2.RestoreState(chunk))
        return Fail("the LV2 instance refused the state");
    if (!options.mSaveState.empty())
    {
        const std::vector<uint8_t> saved = lv2.SaveState();
        if (saved.empty() || !WriteWholeFile(options.mSaveState, saved.data(), saved.size(), error))
            return Fail(saved.empty() ? "the LV2 instance saved no state" : error);
    }

    std::vector<RenderEvent> events;
    BlockSequence blocks(plan);
    Block block;
    bool first = true;
    int64_t expected = 0;
    bool wasPlaying = false;
    while (blocks.Next(&block))
    {
        orxlv2host::Position position;
        position.mFrame = block.mPosition;
        position.mRolling = block.mPlaying;
        position.mBeatsPerBar = options.mNumerator;
        position.mBeatUnit = options.mDenominator;
        // LV2 counts the tempo in beats of the beat unit; the renderer in quarter notes.
        position.mBeatsPerMinute = options.mTempo * options.mDenominator / 4.0;
        const bool tell = first || block.mPosition != expected || block.mPlaying != wasPlaying;
        lv2.Run(block.mFrames, tell ? &position : nullptr);
        for (const orxlv2host::Lv2Event& e : lv2.Events())
        {
            if (e.mBytes.empty() || e.mBytes.size() > 3)
                continue;
            RenderEvent event;
            event.mSample = block.mPosition + e.mFrame;
            event.mTimeline = block.mTimeline + e.mFrame;
            event.mStatus = e.mBytes[0];
            event.mData1 = e.mBytes.size() > 1 ? e.mBytes[1] : 0;
            event.mData2 = e.mBytes.size() > 2 ? e.mBytes[2] : 0;
            events.push_back(event);
        }
        lv2.ClearEvents();
        first = false;
        expected = block.mPosition + (block.mPlaying ? block.mFrames : 0);
        wasPlaying = block.mPlaying;
    }
    lv2.Deactivate();

    if (!options.mEvents.empty())
    {
        std::string listing;
        for (const RenderEvent& e : events)
            listing += FormatEventLine(e);
        if (!WriteWholeFile(options.mEvents, listing.data(), listing.size(), error))
            return Fail(error);
    }
    if (!options.mMidi.empty())
    {
        std::vector<TimedMidiEvent> timed;
        for (const RenderEvent& e : events)
            timed.push_back({e.mTimeline, e.mStatus, e.mData1, e.mData2});
        MidiFileSettings settings;
        settings.mSampleRate = options.mSampleRate;
        settings.mTempo = options.mTempo;
        settings.mNumerator = options.mNumerator;
        settings.mDenominator = options.mDenominator;
        settings.mEndSample = options.mStart + blocks.FramesDone();
        const std::vector<uint8_t> bytes = BuildMidiFile(timed, settings);
        if (bytes.empty() || !WriteWholeFile(options.mMidi, bytes.data(), bytes.size(), error))
            return Fail(bytes.empty() ? "no MIDI file" : error);
    }
    return 0;
}
