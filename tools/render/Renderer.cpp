#include "Renderer.h"

#include "BlockPlan.h"
#include "EventListing.h"
#include "FileIo.h"
#include "MidiFileWriter.h"
#include "MidiInput.h"
#include "PluginSetup.h"
#include "ProgressBar.h"
#include "SynthChain.h"
#include "ToolPlatform.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace orxrender
{
namespace
{

// An output file opened before the render starts, so a bad path fails at once.
struct Output
{
    FilePtr mFile;
    std::FILE* mpStream = nullptr;
    std::string mName;

    bool Open(const std::string& path, std::FILE* standardOutput, std::string& error)
    {
        mName = path == "-" ? "standard output" : path;
        if (path == "-")
        {
            mpStream = standardOutput;
            return true;
        }
        errno = 0;
        mFile = OpenFile(path, "wb");
        mpStream = mFile.get();
        if (!mpStream)
            error =
                "cannot create " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
        return mpStream != nullptr;
    }

    bool Write(const void* data, std::size_t size)
    {
        return std::fwrite(data, 1, size, mpStream) == size;
    }

    bool Close(std::string& error)
    {
        const bool flushed = std::fflush(mpStream) == 0;
        const bool closed = !mFile || std::fclose(mFile.release()) == 0;
        mpStream = nullptr;
        if (!flushed || !closed)
            error = "cannot write all of " + mName;
        return flushed && closed;
    }
};

MidiFileSettings FileSettings(const RenderOptions& o, int64_t frames)
{
    MidiFileSettings s;
    s.mSampleRate = o.mSampleRate;
    s.mTempo = o.mTempo;
    s.mNumerator = o.mNumerator;
    s.mDenominator = o.mDenominator;
    s.mEndSample = o.mStart + frames;
    return s;
}

// The MIDI events of the block just processed, stamped with the block's position and time.
void Harvest(orxhost::VstHost& host, const Block& block, std::vector<RenderEvent>& out)
{
    for (const orxhost::CapturedEvent& e : host.Events())
    {
        // Hosts take MIDI only inside a process call; anything else is not the block's.
        if (e.mBlock < 0 || e.mType != vst2::kEventMidi)
            continue;
        RenderEvent event;
        event.mSample = block.mPosition + e.mDeltaFrames;
        event.mTimeline = block.mTimeline + e.mDeltaFrames;
        event.mStatus = e.mData[0];
        event.mData1 = e.mData[1];
        event.mData2 = e.mData[2];
        out.push_back(event);
    }
    host.ClearEvents();
}

} // namespace

bool Render(const RenderOptions& options, std::FILE* standardOutput, RenderResult& result,
            std::string& error)
{
    Output events;
    Output midi;
    if ((!options.mEvents.empty() && !events.Open(options.mEvents, standardOutput, error)) ||
        (!options.mMidi.empty() && !midi.Open(options.mMidi, standardOutput, error)))
        return false;

    std::vector<InputEvent> input;
    if (!options.mMidiIn.empty())
    {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(options.mMidiIn, bytes, 64u << 20, error))
            return false;
        if (!ParseMidiInput(bytes, options.mSampleRate, input, error))
        {
            error = "--midi-in " + options.mMidiIn + ": " + error;
            return false;
        }
    }
    std::size_t nextInput = 0;

    orxhost::VstHost host;
    // Nothing here reads the host's overrun report; the tests check the plug-in's buffers.
    host.SetBufferChecks(false);
    if (!LoadAndStart(host, options, error) || !ApplySettings(host, options, error))
        return false;
    const TransportPlan plan = MakePlan(options);
    SynthChain synth;
    if (options.mWavPeak <= 0.0)
        synth.NormaliseTo(options.mWavPeak);
    if (!options.mSynth.empty() &&
        !synth.Open(options.mSynth, options.mWav, options.mSampleRate, plan.MaxBlock(), error))
        return false;

    const orxhost::ProcessEntry entry = ProcessEntryOf(*host.Effect());
    ProgressBar progress(StderrIsTerminal());
    const auto began = std::chrono::steady_clock::now();
    BlockSequence blocks(plan);
    Block block;
    std::vector<RenderEvent> blockEvents;
    while (blocks.Next(&block))
    {
        orxhost::Transport& t = host.GetTransport();
        t.mSamplePos = static_cast<double>(block.mPosition);
        t.mPlaying = block.mPlaying;
        // The block's input comes just before its process call, as hosts deliver it.
        for (;
             nextInput < input.size() && input[nextInput].mSample < block.mTimeline + block.mFrames;
             ++nextInput)
        {
            const InputEvent& e = input[nextInput];
            const int64_t offset = e.mSample - block.mTimeline;
            if (offset >= 0)
                host.SendMidi(e.mStatus, e.mData1, e.mData2, static_cast<int32_t>(offset));
        }
        host.Process(block.mFrames, entry);
        blockEvents.clear();
        Harvest(host, block, blockEvents);
        for (const RenderEvent& e : blockEvents)
        {
            const std::string line = FormatEventLine(e);
            if (events.mpStream && !events.Write(line.data(), line.size()))
            {
                error = "cannot write to " + events.mName;
                return false;
            }
            result.mEvents.push_back(e);
        }
        if (!options.mSynth.empty() &&
            !synth.Process(blockEvents, block.mTimeline, block.mFrames, error))
            return false;
        ++result.mBlocks;
        // The clock is read only for a bar that can be drawn.
        if (progress.Enabled())
        {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - began;
            const std::string bar =
                progress.Update(blocks.FramesDone(), plan.mLength, elapsed.count());
            if (!bar.empty())
                std::fputs(bar.c_str(), stderr);
        }
    }
    std::fputs(progress.Finish().c_str(), stderr);
    result.mFrames = blocks.FramesDone();
    host.Suspend();
    host.Close();

    if (!synth.Close(error))
        return false;
    if (events.mpStream && !events.Close(error))
        return false;
    if (midi.mpStream)
    {
        std::vector<TimedMidiEvent> timed;
        for (const RenderEvent& e : result.mEvents)
            timed.push_back({e.mTimeline, e.mStatus, e.mData1, e.mData2});
        const MidiFileSettings settings = FileSettings(options, result.mFrames);
        const std::vector<uint8_t> bytes = BuildMidiFile(timed, settings);
        if (bytes.empty())
        {
            error = "--midi: " + CheckMidiFileSettings(settings);
            return false;
        }
        if (!midi.Write(bytes.data(), bytes.size()) || !midi.Close(error))
        {
            error = "cannot write all of " + midi.mName;
            return false;
        }
    }
    return true;
}

} // namespace orxrender
