#pragma once
// An LV2 host with one plug-in, for tests and the LV2 render: finds the plug-in through lilv
// in the folders of an LV2 path, instantiates it with the URID map and the block length
// option, connects every port (control ports at their defaults), hands it MIDI and the time
// position in its atom input, and records what its atom output holds after every block: MIDI
// events and state-changed notices. State goes in and out through the plug-in's state
// interface as raw bytes; presets are applied through lilv, as hosts apply them.

#include <lilv/lilv.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orxlv2host
{

// The host's transport for one block: what goes into a time:Position object.
struct Position
{
    int64_t mFrame = 0;
    bool mRolling = true;
    double mBeatsPerMinute = 120.0;
    int mBeatsPerBar = 4;
    int mBeatUnit = 4;
};

struct Lv2Event
{
    int mBlock = 0;
    int64_t mFrame = 0; // inside its block
    std::vector<uint8_t> mBytes;
};

class Lv2Host
{
public:
    Lv2Host();
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    // Loads every bundle in lv2Path (folders separated by ':') and instantiates the plug-in
    // named uri. False with a one-line Error().
    bool Load(const std::string& lv2Path, const std::string& uri, double rate, int maxBlock);
    const std::string& Error() const noexcept { return mError; }

    void Activate();
    void Deactivate();

    // A control port by symbol; null when there is none. Its index, or -1.
    float* Control(const std::string& symbol);
    int PortIndex(const std::string& symbol) const;
    // The plug-in's own handle, as LV2's instance access hands it to a UI.
    void* InstanceHandle() const noexcept;
    // The state as the plug-in saves it, and handing it back (the property the plug-in stores).
    std::vector<uint8_t> SaveState();
    bool RestoreState(const std::vector<uint8_t>& bytes);
    // Applies the preset with this label as lilv applies presets (ports and state).
    bool ApplyPreset(const std::string& label);
    std::vector<std::string> PresetLabels();

    // MIDI for the next block, at a frame inside it.
    void QueueMidi(int64_t frame, std::vector<uint8_t> bytes);
    // One block; with position set, a time:Position at frame 0 goes first.
    void Run(int frames, const Position* position);
    // The same in its three steps, for tests that watch the plug-in's run call alone: the
    // input written (with the queued MIDI), the plug-in run, its output read.
    void WriteBlock(int frames, const Position* position);
    void RunPlugin(int frames);
    void ReadBlock();

    const std::vector<Lv2Event>& Events() const noexcept { return mEvents; }
    void ClearEvents() noexcept { mEvents.clear(); }
    int StateChangedNotices() const noexcept { return mStateChanged; }
    int Blocks() const noexcept { return mBlock; }

    // The URID map the plug-in was given (also for tests that build their own atoms).
    uint32_t Map(const char* uri);

private:
    struct Features;

    std::string mError;
    LilvWorld* mpWorld = nullptr;
    const LilvPlugin* mpPlugin = nullptr;
    LilvInstance* mpInstance = nullptr;
    std::unique_ptr<Features> mpFeatures;
    std::map<std::string, uint32_t> mUris;
    std::vector<std::string> mUriNames;
    std::map<std::string, uint32_t> mControlIndex;
    std::vector<float> mControls;
    std::vector<uint64_t> mIn; // atom buffers, 8-byte aligned
    std::vector<uint64_t> mOut;
    std::vector<Lv2Event> mQueued;
    std::vector<Lv2Event> mEvents;
    double mRate = 44100.0;
    bool mActive = false;
    int mBlock = 0;
    int mStateChanged = 0;
    std::vector<uint8_t> mStateBytes; // what the state interface stored last
};

} // namespace orxlv2host
