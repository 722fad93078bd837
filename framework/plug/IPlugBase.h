#pragma once
// The host-independent core of every plug-in instance: the parameter table, the preset slots,
// the audio channel bookkeeping, the instance lock, the host's identity and the editor it owns.
// A host binding (IPlugVST) fills in the host services; the plug-in derives from the binding
// and overrides the handlers it needs. The editor knows the plug-in as its IEditorHost and the
// plug-in knows the editor as its IPlugEditor (framework/base): this layer never includes the
// graphics layer. Thread tags: ThreadTags.h.

#include "HostNotices.h"
#include "IByteChunk.h"
#include "IChannel.h"
#include "IChannelPair.h"
#include "IEditorHost.h"
#include "IMidiMessage.h"
#include "IMutex.h"
#include "IParameter.h"
#include "IPlugEditor.h"
#include "IPresetSlot.h"
#include "ISysExMessage.h"
#include "ITimeInfo.h"
#include "ThreadRole.h"
#include "UndoHistory.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// Host ids that SetHost derives from the host's product string.
enum EHost
{
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostAbletonLive = 9,
    kHostMelodyneStudio = 12,
    kHostVSTScanner = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostDigitalPerformer = 22,
};

class IPlugBase : public IEditorHost
{
public:
    static constexpr int kNameSize = 128;     // effect, product and maker names, NUL included
    static constexpr int kHostNameSize = 256; // the host's product string
    static constexpr int kMaxBlockLength = 1 << 20;
    static constexpr int kMaxChannels = 256;
    // The header of the state the host keeps (the bank chunk), before WriteState's bytes.
    static constexpr int32_t kChunkMagic = 0x70666674;
    static constexpr int32_t kChunkVersion = 0x00010000;

    IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
              int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // Virtual operations, in slot order.
    virtual ~IPlugBase();
    // [main-thread] (takes lock) Sample rate and block size changes, resume.
    virtual void HandleReset();
    // [main-thread] (takes lock) (some hosts: audio-thread) After every parameter change.
    virtual void HandleParamChange(int paramIdx);
    // [audio-thread] (locked) Default: copies each input to the output of the same number and
    // zeroes further outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
    // [main-thread] (locked)
    virtual void HandleEditorOpen() { ORX_MAIN_THREAD_LOCKED(mMutex); }
    // [main-thread] (locked)
    virtual void HandleEditorClose() { ORX_MAIN_THREAD_LOCKED(mMutex); }
    // [main-thread] (takes lock) Resume (true) and suspend (false).
    virtual void HandleActivate(bool active);
    // [audio-thread] (locked) Default: passes the message on unchanged.
    virtual void HandleMidiMessage(const IMidiMessage& msg);
    // [main-thread] (locked) The name of a MIDI note for the host's key list, into text (size
    // bytes); false if none.
    virtual bool GetMidiNoteText(int noteNumber, char* text, int size);
    // [main-thread] (takes lock)
    virtual bool WriteState(IByteChunk& chunk);
    // [main-thread] (takes lock) Answers the position after the state, or -1 when it did not
    // fit.
    virtual int ReadState(const IByteChunk& chunk, int startPos);
    // [main-thread] (takes lock) What an undo step takes back: the state, and whatever else an
    // edit changes that the state does not hold (the plug-in may add it). Default: the state.
    // An undo or redo applies its step in a section the audio thread may run for the editor
    // (IMutex::Run, IMutex::RunsHandedWork): there both must not allocate. WriteUndoState then
    // answers false rather than allocate, and ReadUndoState answers kUndoDeclined before it
    // changes anything; the step is then made again on the editor's thread.
    virtual bool WriteUndoState(IByteChunk& chunk);
    virtual int ReadUndoState(const IByteChunk& chunk, int startPos);
    static constexpr int kUndoDeclined = -2;
    // [main-thread] (without the lock) Called before ReadUndoState reads the same chunk under
    // the lock: what needs no lock (reading the bytes) may be done here. Default: nothing.
    virtual void PrepareUndoState(const IByteChunk& chunk, int startPos) noexcept;
    // Appends one double per parameter, taken from the arguments that follow: an int for
    // parameters of the boolean, integer and enumeration kinds, a double for the others (the
    // argument types must match, as with printf).
    virtual bool WriteValueList(IByteChunk* chunk, ...);
    // [main-thread] Host services for the editor's edits: gesture begin, value, gesture end.
    virtual void BeginParamGesture(int paramIdx) = 0;
    virtual void ReportParamChange(int paramIdx, double normalised) = 0;
    virtual void EndParamGesture(int paramIdx) = 0;
    // [audio-thread] (locked) The host's transport for the block being processed.
    virtual int TransportSamplePosition() = 0;
    virtual double TransportTempo() = 0;
    virtual void TransportTimeSignature(int* numerator, int* denominator) = 0;
    virtual void TransportTimeInfo(ITimeInfo* info) = 0;
    // [audio-thread] (locked) True while the host's transport plays, and also when the host
    // gives no transport.
    virtual bool TransportIsRunning() = 0;
    // [main-thread]
    virtual int HostId();
    // [main-thread] Tells the host the editor's new size.
    void EditorResized() override = 0;
    // [main-thread] (locked)
    virtual void HostSetup() = 0;
    // [main-thread] Takes ownership of the editor (one attached earlier is deleted).
    virtual void AttachEditor(IPlugEditor* editor);
    // [main-thread] (locked) Sizes the scratch buffers; a length below 1 or above
    // kMaxBlockLength is ignored.
    virtual void SetBlockLength(int nFrames);
    // [main-thread]
    virtual void SetLatencyFrames(int frames);
    // [audio-thread] (locked) Hands one message to the host.
    virtual bool EmitMidiMessage(const IMidiMessage& msg) = 0;
    // [audio-thread] (locked) Sends every message in order; true only if the host took all.
    virtual bool EmitMidiMessages(const IMidiMessage* msgs, int count) = 0;
    // [audio-thread] (locked) A system-exclusive message from the host; its bytes are valid
    // during the call only. Default: passes it on at once.
    virtual void HandleSysEx(const ISysExMessage& msg);
    // [audio-thread] (locked) Hands one system-exclusive message to the host.
    virtual bool EmitSysEx(const ISysExMessage& msg) = 0;
    // [main-thread] Tells the host that the state changed (what the state chunk or a preset
    // would save), so it marks its project modified and reads the parameters again. Never
    // called with the instance lock held. Default: nothing.
    virtual void ReportStateChange() {}

    // Editor and state operations. The host hears only of the parameters it was told of
    // (index below the declared count): it may index its own array with what we report. The
    // others still reach the plug-in's handler. What the host is told waits in the host notices
    // and goes out once the instance lock is free (FlushHostNotices).
    // IEditorHost. SetParameterFromGUI: runs the handler, tells the host the value and that the
    // state changed.
    void SetParameterFromGUI(int paramIdx, double normalised) final;
    void BeginParamGestureFromGUI(int paramIdx) final;
    void EndParamGestureFromGUI(int paramIdx) final;
    // [any-thread] (takes lock) A value the host should show, for a declared parameter that
    // changed other than by the host (a preset load, a span drag, a bound controller).
    void InformHostOfParamChange(int paramIdx, double normalised) noexcept;
    // IEditorHost. FlushHostNotices sends the waiting notices in order (the outermost holder
    // of the lock sends them once it lets go).
    void InformHostOfStateChange() noexcept final;
    void FlushHostNotices(bool withStateChange) noexcept final;
    // Notices that found the queue full since construction.
    unsigned DroppedHostNotices() noexcept;

    // IEditorHost: the undo history (IPlugBaseUndo.cpp). It belongs to the instance, so closing
    // and opening the editor keeps it.
    void BeginEdit(const char* name) noexcept final;
    void NameEdit(const char* name) noexcept final;
    void EndEdit() noexcept final;
    std::string UndoName() const final;
    std::string RedoName() const final;
    bool Undo() noexcept final;
    bool Redo() noexcept final;
    // [main-thread] (takes lock) Around a state the host loads (a chunk, a program): the host's
    // loads are not steps, and steps recorded against another state would undo into a mix of
    // the two, so a load that changed the state clears the history.
    void BeginHostLoad() noexcept;
    void EndHostLoad() noexcept;
    std::size_t UndoStepCount() const noexcept;
    std::size_t UndoBytesHeld() const noexcept;
    // True for the parameters declared to the host.
    bool HostKnowsParam(int paramIdx) const noexcept
    {
        return paramIdx >= 0 && paramIdx < mDeclaredParamCount;
    }
    // [main-thread] (locked) The state as the host keeps it: the header, then WriteState; the
    // whole bank (bank) or the current program. Every format's binding stores these bytes, so
    // a project moves between formats through them.
    bool WriteHostChunk(IByteChunk& chunk, bool bank);
    // [main-thread] (locked) Loads what WriteHostChunk wrote (a chunk without the header is
    // read whole as the state); false when the state did not fit.
    bool ReadHostChunk(const IByteChunk& chunk, bool bank);
    // [main-thread] (takes lock)
    bool WriteParamValues(IByteChunk& chunk, bool all);
    // [main-thread] (takes lock)
    int UnserializeParams(const IByteChunk& chunk, int startPos, bool all);
    // [main-thread] (takes lock) Shows every parameter's value on the controls bound to it (at
    // the next frame, when the editor defers pushes).
    void PushValuesToEditor();

    // Host identity and layout.
    void SetHost(const char* host, int version);
    int PluginVersion(bool decimal) const noexcept;
    // True if a channel pair matches; a negative count matches any.
    bool LegalIO(int nIn, int nOut) const noexcept;

    // Presets.
    void EnsureDefaultPreset();
    bool LoadPresetSlot(int idx);
    void StoreCurrentPreset(const char* name = nullptr);
    const char* PresetSlotName(int idx) const noexcept;
    void NextUserPresetName(char* out, int size) const noexcept;

    // Channels.
    void SetInputConnections(int first, int count, bool connected) noexcept;
    void SetOutputConnections(int first, int count, bool connected) noexcept;
    void LimitToStereo() noexcept;
    void EnsureStereoChannels();

    // Block attach for the process entries. Channels take the host's buffers in order, one per
    // connected channel, starting offset frames into each; hostCount is how many buffers the
    // host gave. A missing host buffer leaves the channel on its (silent) scratch buffer.
    // nFrames must not exceed the block length.
    void AttachInputBuffers(float* const* hostIn, int hostCount, int offset, int nFrames) noexcept;
    void AttachInputBuffers(double* const* hostIn, int hostCount, int offset, int nFrames) noexcept;
    void AttachOutputBuffers(float* const* hostOut, int hostCount, int offset,
                             int nFrames) noexcept;
    void AttachOutputBuffers(double* const* hostOut, int hostCount, int offset,
                             int nFrames) noexcept;
    // Writes the scratch outputs redirected by the 32-bit attach into the host's buffers.
    void CopyOutputsToHost(int nFrames, bool accumulate) noexcept;
    // [main-thread] At construction, for a process block that reads no input and writes no
    // output (a MIDI generator): the attach then converts no input, and the host's outputs get
    // silence directly (replacing entries) or are left as they are (accumulating).
    void SetAudioSilent(bool silent) noexcept
    {
        ORX_MAIN_THREAD();
        mAudioSilent = silent;
    }
    double** InputData() noexcept { return mInData.data(); }
    double** OutputData() noexcept { return mOutData.data(); }

    // Accessors. The parameters and the lock as IEditorHost.
    int NParams() const noexcept final { return static_cast<int>(mParams.size()); }
    int DeclaredParamCount() const noexcept { return mDeclaredParamCount; }
    IParameter* GetParam(int idx) noexcept final;
    const IParameter* GetParam(int idx) const noexcept final;
    int NPresets() const noexcept { return static_cast<int>(mPresets.size()); }
    int CurrentPreset() const noexcept { return mCurrentPreset; }
    int NChannelPairs() const noexcept { return static_cast<int>(mChannelPairs.size()); }
    const IChannelPair* GetChannelPair(int idx) const noexcept;
    int NInChannels() const noexcept { return static_cast<int>(mInChannels.size()); }
    int NOutChannels() const noexcept { return static_cast<int>(mOutChannels.size()); }
    bool IsInChannelConnected(int idx) const noexcept;
    bool IsOutChannelConnected(int idx) const noexcept;
    const char* EffectName() const noexcept { return mEffectName; }
    const char* ProductName() const noexcept { return mProductName; }
    const char* MfrName() const noexcept { return mMfrName; }
    int UniqueID() const noexcept { return mUniqueID; }
    int MfrID() const noexcept { return mMfrID; }
    bool DoesChunks() const noexcept { return mDoesChunks; }
    bool IsInstrument() const noexcept { return mIsInstrument; }
    double GetSampleRate() const noexcept { return mSampleRate; }
    int GetBlockSize() const noexcept { return mBlockSize; }
    int GetLatency() const noexcept { return mLatency; }
    IPlugEditor* GetEditor() noexcept { return mpEditor; }
    IMutex& Mutex() noexcept final { return mMutex; }

protected:
    // [audio-thread] (locked) Where the piece being processed lies in the host's block: its
    // first frame, and the host block's length (0 outside a process call, where every block
    // is whole). A binding plays a long host block, or one its transport changes inside, in
    // pieces: the transport and the MIDI output are shifted by the offset, so the pieces look
    // like one block to the host.
    int PieceOffset() const noexcept
    {
        ORX_AUDIO_THREAD_LOCKED(mMutex);
        return mPieceOffset;
    }
    int HostBlockFrames() const noexcept
    {
        ORX_AUDIO_THREAD_LOCKED(mMutex);
        return mHostBlockFrames;
    }
    void SetPiece(int offset, int hostBlockFrames) noexcept
    {
        ORX_AUDIO_THREAD_LOCKED(mMutex);
        mPieceOffset = offset;
        mHostBlockFrames = hostBlockFrames;
    }
    // Appends fresh parameters after construction (the declared count stays as it was).
    bool AppendParams(int count);
    void SetSampleRate(double rate) noexcept { mSampleRate = rate; }
    int StoredHostId() const noexcept { return mHostId; }

private:
    void ParseChannelLayout(const char* layout);
    bool ResizeScratch(int nFrames);
    void PointAtScratch() noexcept;
    void PointInputsAtScratch() noexcept;
    void SetConnections(bool input, int first, int count, bool connected) noexcept;
    IPresetSlot* CurrentSlot() noexcept;

    // The lock is destroyed last, after everything that may be reached under it.
    mutable IMutex mMutex;
    std::vector<std::unique_ptr<IParameter>> mParams;
    std::vector<IPresetSlot> mPresets;
    std::vector<IChannelPair> mChannelPairs;
    char mEffectName[kNameSize] = {};
    char mProductName[kNameSize] = {};
    char mMfrName[kNameSize] = {};
    int mUniqueID = 0;
    int mMfrID = 0;
    int mVersion = 0; // major << 16 | minor << 8 | patch
    int mHostId = -1;
    int mHostVersion = 0;
    bool mDoesChunks = false;
    bool mIsInstrument = false;
    bool mAudioSilent = false;
    double mSampleRate = 44100.0;
    int mBlockSize = 0;
    int mLatency = 0;
    IPlugEditor* mpEditor = nullptr;
    int mCurrentPreset = 0;
    std::vector<double*> mInData;
    std::vector<double*> mOutData;
    std::vector<IInChannel> mInChannels;
    std::vector<IOutChannel> mOutChannels;
    int mDeclaredParamCount = 0;
    int mPieceOffset = 0;
    int mHostBlockFrames = 0;
    HostNotices mNotices; // under mMutex

    // Undo (IPlugBaseUndo.cpp), all main-thread. The history has a lock of its own, which the
    // audio thread never takes: its diffs and copies do not keep the audio thread waiting. It is
    // taken alone or inside mMutex, never the other way round.
    bool SnapshotUndoState(std::vector<std::uint8_t>& out) noexcept;
    bool StepHistory(bool undo) noexcept;
    mutable std::mutex mHistoryMutex;
    UndoHistory mHistory;                // under mHistoryMutex
    std::atomic<int> mUndoStateBytes{0}; // the size of the last state written for the history
    int mEditDepth = 0;
    std::string mEditName;
    std::vector<std::uint8_t> mEditBefore;
    std::vector<std::uint8_t> mHostLoadBefore;
};
