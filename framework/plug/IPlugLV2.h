#pragma once
// Binds the plug-in base to an LV2 host: the ports of Lv2Ports.h, the host's time position
// turned into the transport the base answers, MIDI in and out through atom sequences, the state
// extension (the bytes of WriteHostChunk, as the VST 2 binding keeps them), and an X11 user
// interface that opens the instance's own editor (Lv2Ui.cpp).
//
// Threads: the host's audio thread calls Run, its other threads the rest; every entry takes the
// instance lock for its whole run. Run never allocates and never waits but for that lock.

#include "IPlugBase.h"
#include "Lv2Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>
#include <vector>

// What the library entry hands the instance: the host's sample rate, the bundle's folder and
// the features it offers.
struct Lv2HostInfo
{
    double mSampleRate = 44100.0;
    const char* mBundlePath = "";
    const LV2_Feature* const* mFeatures = nullptr;
};

// The host's user interface as the binding's UI registers it: where control changes and
// gestures of the editor go (LV2's write function and the touch feature), and the resize
// feature.
struct Lv2UiLink
{
    LV2UI_Write_Function mWrite = nullptr;
    LV2UI_Controller mController = nullptr;
    const LV2UI_Touch* mpTouch = nullptr;
    const LV2UI_Resize* mpResize = nullptr;
};

class IPlugLV2 : public IPlugBase
{
public:
    // The key under which the state is kept.
    static constexpr const char* kStateKeySuffix = "#state";
    // Frames played by one piece when the host announces no maximum block length.
    static constexpr int kDefaultBlockLength = 4096;

    // Throws std::bad_alloc, like the base, when memory runs out; a host without the URID map
    // gets an instance that plays nothing (Mapped() is false) and the entry refuses it.
    IPlugLV2(const Lv2HostInfo* host, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName,
             int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
             bool plugDoesChunks, bool plugIsInst);
    ~IPlugLV2() override;

    // [main-thread] After construction, with the plug-in's URI: what the VST 2 binding does on
    // effOpen, effSetSampleRate and effSetBlockSize, in that order.
    void Open(const char* pluginUri);
    bool Mapped() const noexcept { return mMapped; }

    // The host entries (Lv2Entry.cpp calls them).
    // [any-thread] (takes lock) Ardour connects every port on its audio thread before each
    // run, lilv's hosts on their main thread once: pointers stored, nothing more.
    void ConnectPort(uint32_t port, void* data) noexcept;
    // [main-thread] (takes lock)
    void Activate(bool active) noexcept;
    // [audio-thread] (takes lock)
    void Run(uint32_t frames) noexcept;
    // [main-thread] (takes lock) The state extension's save.
    LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) noexcept;
    // [main-thread] (takes lock) The state extension's restore.
    LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve,
                                  LV2_State_Handle handle) noexcept;

    // [main-thread] (takes lock) The UI (Lv2Ui.cpp) registers the host's side of it while it
    // lives.
    void SetUiLink(const Lv2UiLink& link) noexcept;
    // [main-thread] (takes lock)
    void ClearUiLink() noexcept;

    // The host services of the base.
    void BeginParamGesture(int paramIdx) override;
    void ReportParamChange(int paramIdx, double normalised) override;
    void EndParamGesture(int paramIdx) override;
    // Sent as state:StateChanged on the output with the next block.
    void ReportStateChange() override;
    int TransportSamplePosition() override;
    double TransportTempo() override;
    void TransportTimeSignature(int* numerator, int* denominator) override;
    void TransportTimeInfo(ITimeInfo* info) override;
    bool TransportIsRunning() override;
    void EditorResized() override;
    void HostSetup() override;
    bool EmitMidiMessage(const IMidiMessage& msg) override;
    bool EmitMidiMessages(const IMidiMessage* msgs, int count) override;
    bool EmitSysEx(const ISysExMessage& msg) override;

    // The control port of a parameter, or -1.
    int PortOfParam(int paramIdx) const noexcept;

private:
    // The host's time position as last reported, moved on by every piece played.
    struct Position
    {
        bool mKnown = false; // nothing reported yet: the base's answers for no transport
        double mFrame = 0.0;
        double mSpeed = 0.0;
        double mBeatsPerMinute = 120.0;
        double mBeatsPerBar = 4.0;
        int mBeatUnit = 4;
        double mBeat = -1.0; // beats (of the beat unit) since the start; -1 unknown
    };
    struct Urids
    {
        LV2_URID mAtomSequence = 0, mAtomObject = 0, mAtomBlank = 0, mAtomChunk = 0;
        LV2_URID mAtomLong = 0, mAtomInt = 0, mAtomFloat = 0, mAtomDouble = 0;
        LV2_URID mMidiEvent = 0, mTimePosition = 0, mFrame = 0, mSpeed = 0, mBar = 0;
        LV2_URID mBarBeat = 0, mBeatsPerBar = 0, mBeatUnit = 0, mBeatsPerMinute = 0;
        LV2_URID mStateChanged = 0, mStateKey = 0;
        LV2_URID mMaxBlockLength = 0;
    };

    void ReadFeatures(const LV2_Feature* const* features);
    void ReadControlPorts() noexcept;
    void ReadPosition(const LV2_Atom_Object* object) noexcept;
    // Plays frames from..to of the host's block of hostFrames.
    void PlayPieces(int from, int to, int hostFrames) noexcept;
    // Appends one event to the output sequence; false when it does not fit.
    bool WriteEvent(int frame, LV2_URID type, const void* body, uint32_t size) noexcept;
    bool WriteStateChanged() noexcept;

    LV2_URID_Map* mpMap = nullptr;
    bool mMapped = false;
    Urids mUrid;
    int mHostMaxBlock = kDefaultBlockLength;
    double mHostRate = 44100.0;
    // Ports: the two atom sequences and the control values, as the host connected them.
    const LV2_Atom_Sequence* mpEventsIn = nullptr;
    LV2_Atom_Sequence* mpEventsOut = nullptr;
    uint32_t mOutCapacity = 0; // body bytes the output can hold in this run
    int mLastOutFrame = 0;
    std::vector<int> mControlParams;
    std::vector<int> mParamPorts; // declared parameter -> control port, or -1
    std::vector<const float*> mControlPorts;
    std::vector<float> mSeenPortValues;
    // After a restored state the next block takes the ports as they are: the state decides.
    bool mAdoptPorts = false;
    Position mPosition;
    std::atomic<bool> mStateChangedPending{false};
    Lv2UiLink mUi;
    IByteChunk mStateChunk;
};
