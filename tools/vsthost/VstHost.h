#pragma once
// A VST 2 host with one plug-in: loads the library, calls its entry with our own host
// callback, and drives the plug-in only through its effect record, in the order hosts do
// (entry, open, sample rate, block size, resume, processing, suspend, close). It plays a
// transport it controls and records what the plug-in sends back: MIDI events (with the process
// call they came in), automation and edit gestures.
//
// Everything runs on the calling thread; the host's own storage may grow at any time (it is a
// test and render host, not a real-time one). The host callback may come from any thread: it is
// answered under one lock, and each thread gets its own copy of the time info, so a test may
// call into the plug-in from a second thread while the first one processes.

#include "Vst2Records.h"

#include "SharedLibrary.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orxhost
{

enum class ProcessEntry
{
    kReplacing,
    kAccumulating,
    kDoubleReplacing,
};

// The transport the host reports through audioMasterGetTime.
struct Transport
{
    static constexpr int32_t kDefaultValid =
        vst2::kTimePpqValid | vst2::kTimeTempoValid | vst2::kTimeBarsValid | vst2::kTimeSigValid;

    bool mProvideTimeInfo = true;        // false: the host answers "no time info"
    int32_t mValidFlags = kDefaultValid; // validity bits the host sets
    bool mHonourRequestMask = false;     // set only the validity bits the plug-in asked for
    int32_t mExtraFlags = 0;             // e.g. vst2::kTimeChanged, vst2::kTimeRecording
    bool mPlaying = true;
    bool mCycling = false;
    bool mAdvance = true; // a process call moves the position on by its frames while playing
    double mSamplePos = 0.0;
    double mTempo = 120.0;
    int32_t mNumerator = 4;
    int32_t mDenominator = 4;
    double mCycleStart = 0.0; // quarter notes
    double mCycleEnd = 0.0;

    bool operator==(const Transport&) const = default;
};

// One event the plug-in sent with audioMasterProcessEvents.
struct CapturedEvent
{
    int mBlock = -1; // the process call it came in (0 = the first), -1 outside a process call
    int mCall = 0;   // which audioMasterProcessEvents call brought it
    int32_t mType = 0;
    int32_t mByteSize = 0;
    int32_t mDeltaFrames = 0;
    uint8_t mData[4] = {};       // MIDI events: status and data bytes
    std::vector<uint8_t> mSysEx; // SysEx events: the bytes of the dump
};

struct AutomationRecord
{
    int32_t mIndex = 0;
    float mValue = 0.0f;
    int mBlock = -1;
};

struct GestureRecord
{
    int32_t mIndex = 0;
    bool mBegin = false;
};

// One host callback as the plug-in made it.
struct HostCall
{
    int32_t mOpcode = 0;
    int32_t mIndex = 0;
    intptr_t mValue = 0;
    float mOpt = 0.0f;
};

// A host-callback opcode for reports: its name and number, "audioMasterUpdateDisplay (42)".
std::string HostOpcodeName(int32_t opcode);

class VstHost
{
public:
    VstHost();
    ~VstHost();
    VstHost(const VstHost&) = delete;
    VstHost& operator=(const VstHost&) = delete;

    // Loads the library and calls VSTPluginMain (or main). False with a one-line Error() when
    // the file is missing, not loadable or not a VST 2 plug-in.
    bool Load(const std::string& path);
    // Hosts a plug-in linked into this program: entry stands for the library's VSTPluginMain
    // (name only labels errors). Tests use it to reach the instance behind the effect record.
    bool LoadEntry(vst2::EntryProc entry, const std::string& name);
    const std::string& Error() const noexcept { return mError; }
    vst2::Effect* Effect() noexcept { return mpEffect; }
    bool IsLoaded() const noexcept { return mpEffect != nullptr; }

    // Lifecycle. Start = open, sample rate, block size, resume; Stop = suspend, close.
    void Start(float sampleRate = 44100.0f, int blockSize = 512);
    void Open();
    void SetSampleRate(float rate);
    void SetBlockSize(int frames);
    void Resume();
    void Suspend();
    // Closes the plug-in (effClose); the effect record is gone afterwards.
    void Close();

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);

    // Parameters and programs.
    void SetParameter(int32_t index, float value);
    float GetParameter(int32_t index);
    std::string ParamName(int32_t index);
    std::string ParamLabel(int32_t index);
    std::string ParamDisplay(int32_t index);
    std::string ProgramName();
    std::string ProgramNameIndexed(int32_t index, intptr_t* answer = nullptr);
    std::string EffectName();
    std::string VendorString();
    std::string ProductString();
    intptr_t CanDo(const char* query);

    // The editor: the has-editor flag, its size (effEditGetRect; false when none is given),
    // opening it in the host's window (effEditOpen answered 1), closing and idle time.
    bool HasEditor() const noexcept;
    bool EditorSize(int& width, int& height);
    bool OpenEditor(void* parent);
    bool CloseEditor();
    void EditorIdle();

    // Chunks: the bytes the plug-in hands out (copied), and handing bytes back. GetChunk also
    // gives the plug-in's own address through *data when asked.
    std::vector<uint8_t> GetChunk(bool bank, const void** data = nullptr);
    intptr_t SetChunk(const std::vector<uint8_t>& bytes, bool bank);

    // MIDI into the plug-in (effProcessEvents). SendEvents takes any event records.
    intptr_t SendMidi(uint8_t status, uint8_t data1, uint8_t data2, int32_t deltaFrames = 0);
    intptr_t SendEvents(const std::vector<vst2::Event*>& events);

    // Audio. Process runs one block through the chosen entry on the host's own buffers: inputs
    // as set with SetInput (silence by default), outputs as they are (Accumulating adds to
    // them). Afterwards the transport moves on when playing and mAdvance is set.
    void Process(int frames, ProcessEntry entry = ProcessEntry::kReplacing);
    void SetInput(int channel, float value);
    void FillOutputs(float value);
    const float* Output(int channel) const;
    const double* OutputDouble(int channel) const;
    // True once the plug-in wrote past the frames of a process call or into an input buffer.
    bool BufferOverrun() const noexcept { return mOverrun; }
    // The guard checks behind BufferOverrun: marker samples after the frames of every buffer
    // the entry hands over, checked with the inputs after the call. On by default, so every
    // test catches a plug-in that writes where it must not. A render that does not look at
    // BufferOverrun switches them off: the plug-in is then trusted not to write into its
    // inputs, which are written only when what they should hold changes.
    void SetBufferChecks(bool on) noexcept;

    Transport& GetTransport() noexcept { return mTransport; }
    // Holds the callback's lock: for changing the transport while another thread may be inside
    // the plug-in (and so inside the callback).
    std::unique_lock<std::recursive_mutex> LockCallbacks()
    {
        return std::unique_lock(mCallbackMutex);
    }

    // What the plug-in sent.
    const std::vector<CapturedEvent>& Events() const noexcept { return mEvents; }
    // A copy of the events from the first-th on, taken under the callback's lock: safe while
    // another thread may be calling into the plug-in.
    std::vector<CapturedEvent> EventsFrom(std::size_t first);
    const std::vector<AutomationRecord>& Automation() const noexcept { return mAutomation; }
    const std::vector<GestureRecord>& Gestures() const noexcept { return mGestures; }
    int CallbackCount(int32_t opcode) const noexcept;
    int ProcessCalls() const noexcept { return mBlockIndex; }
    void ClearCaptures();
    // ClearCaptures but for the callback counts: cheap enough to call after every block.
    void ClearEvents() noexcept;

    // Host answers.
    void SetProductString(std::string product) { mProductString = std::move(product); }
    void SetVendorVersion(intptr_t version) noexcept { mVendorVersion = version; }
    // Whether audioMasterProcessEvents answers 1 (accepted) or 0.
    void SetAcceptEvents(bool accept) noexcept { mAcceptEvents = accept; }
    // Called at the start of every host callback, before it is answered: lets a test call back
    // into the plug-in from inside a callback.
    void SetCallbackHook(std::function<void(VstHost&, int32_t opcode)> hook);
    // Called at the start of every host callback, on the plug-in's thread and before the
    // callback's lock is taken: a test host does there what real hosts do in their callbacks
    // (take locks of their own, wait for their other threads), with no lock of ours in the way.
    // Set it while no other thread is inside the plug-in.
    void SetCallWatcher(std::function<void(const HostCall&)> watcher);
    // Leaves the library loaded after close (for plug-ins whose threads outlive effClose).
    void KeepLibraryLoaded() noexcept { mLibrary.KeepLoaded(); }

private:
    // Called by the plug-in on whatever thread it is in; lets no exception out into it.
    static intptr_t ORX_VSTCALL HostCallback(vst2::Effect* effect, int32_t opcode, int32_t index,
                                             intptr_t value, void* ptr, float opt) noexcept;
    // Calls the entry and takes the effect record it answers.
    bool Enter(vst2::EntryProc entry, const std::string& path);
    intptr_t Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    void CaptureEvents(const vst2::Events* events);
    const vst2::TimeInfo* FillTimeInfo(int32_t request);
    void PrepareBuffers(int frames, bool doubles);
    void CheckGuards(int frames, bool doubles);
    std::string ReadText(int32_t opcode, int32_t index, intptr_t* answer = nullptr);

    SharedLibrary mLibrary;
    std::string mPath;
    std::string mError;
    vst2::Effect* mpEffect = nullptr;
    float mSampleRate = 44100.0f;
    int mBlockSize = 512;
    Transport mTransport;
    vst2::TimeInfo mTimeInfo{}; // the record the plug-in is given
    // The last record computed and what it was computed from: a plug-in asks several times a
    // block, and the transport rarely changes in between.
    vst2::TimeInfo mTimeComputed{};
    Transport mTimeFrom;
    float mTimeRate = 0.0f;
    int32_t mTimeRequest = 0;
    bool mTimeCached = false;

    std::vector<std::vector<float>> mIn;
    std::vector<std::vector<float>> mOut;
    std::vector<std::vector<double>> mInD;
    std::vector<std::vector<double>> mOutD;
    std::vector<float*> mInPointers;  // the arrays handed to the plug-in, kept to spare an
    std::vector<float*> mOutPointers; // allocation on every call
    std::vector<double*> mInDPointers;
    std::vector<double*> mOutDPointers;
    std::vector<float> mInputValues;
    int mFrames = 0;
    bool mOverrun = false;
    bool mChecks = true;
    // Without checks the inputs are written only when what they should hold changed: when
    // they grow, when an input value is set, and when the checks go off.
    bool mInputsStale = true;
    bool mInputsStaleD = true;

    std::recursive_mutex mCallbackMutex; // the callback's answers and the transport's position
    std::atomic<bool> mInProcess{false};
    std::atomic<int> mBlockIndex{0};
    int mEventCalls = 0;
    std::vector<CapturedEvent> mEvents;
    std::vector<AutomationRecord> mAutomation;
    std::vector<GestureRecord> mGestures;
    std::array<int, 128> mCallbackCounts{};

    std::string mProductString = "Orlantix Test Host";
    intptr_t mVendorVersion = 1000;
    bool mAcceptEvents = true;
    std::function<void(VstHost&, int32_t)> mHook;
    std::function<void(const HostCall&)> mWatcher;
};

} // namespace orxhost
