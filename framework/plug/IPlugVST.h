#pragma once
// Binds the plug-in base to a VST 2 host: fills the effect record, answers the dispatcher,
// serves parameter get/set and the three process entries, turns host MIDI events into
// IMidiMessages and back, and answers the host services of the base through the host callback.
//
// Threads: the host's user-interface thread calls the dispatcher and the parameter entries,
// its audio thread the process entries (and, in some hosts, parameter changes). Every entry
// takes the instance lock for its whole run, is noexcept and lets no exception escape.

#include "IPlugBase.h"
#include "ThreadRole.h"
#include "Vst2Records.h"

#include <cstdint>

class IPlugVST : public IPlugBase
{
public:
    // Answers of effVendorSpecific (parameter text query) and effCanDo (Cockos extensions).
    static constexpr intptr_t kVendorSpecificAnswer = 0xBEEF;
    // The same bits on 32-bit hosts; a positive value on 64-bit ones, which compare with it.
    static constexpr intptr_t kCockosAnswer = static_cast<intptr_t>(0xBEEF0000u);
    static constexpr int kCockosExtensions = 1; // host capability bits
    static constexpr int kCockosViewAsConfig = 2;

    IPlugVST(vst2::HostCallback host, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName,
             int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
             bool plugDoesChunks, bool plugIsInst);
    ~IPlugVST() override;

    // [main-thread] The record the entry point hands to the host.
    vst2::Effect* GetEffect() noexcept
    {
        ORX_MAIN_THREAD();
        return &mEffect;
    }

    void BeginParamGesture(int paramIdx) override;
    void ReportParamChange(int paramIdx, double normalised) override;
    void EndParamGesture(int paramIdx) override;
    // audioMasterUpdateDisplay.
    void ReportStateChange() override;
    // The transport queries answer defaults when the host gives nothing (see ITimeInfo).
    int TransportSamplePosition() override;
    double TransportTempo() override;
    void TransportTimeSignature(int* numerator, int* denominator) override;
    void TransportTimeInfo(ITimeInfo* info) override;
    int HostId() override;
    void EditorResized() override;
    void HostSetup() override;
    void AttachEditor(IPlugEditor* editor) override;
    void SetLatencyFrames(int frames) override;
    bool EmitMidiMessage(const IMidiMessage& msg) override;
    bool EmitMidiMessages(const IMidiMessage* msgs, int count) override;
    bool EmitSysEx(const ISysExMessage& msg) override;

    bool TransportIsRunning() override;
    bool DoesMidi() const noexcept { return mDoesMidi; }
    int HostCapabilities() const noexcept { return mHostCapabilities; }

private:
    static IPlugVST* FromEffect(vst2::Effect* effect) noexcept;
    // Dispatcher requests that hosts make from their audio thread.
    static bool OnAudioThread(int32_t opcode) noexcept;

    // The host entries stored in the effect record. Each takes the instance lock.
    // [main-thread] (some hosts call it from others, the lock covers that)
    static intptr_t ORX_VSTCALL VSTDispatcher(vst2::Effect* effect, int32_t opcode, int32_t index,
                                              intptr_t value, void* ptr, float opt) noexcept;
    // [audio-thread]
    static void ORX_VSTCALL VSTProcess(vst2::Effect* effect, float** inputs, float** outputs,
                                       int32_t frames) noexcept;
    // [audio-thread]
    static void ORX_VSTCALL VSTProcessReplacing(vst2::Effect* effect, float** inputs,
                                                float** outputs, int32_t frames) noexcept;
    // [audio-thread]
    static void ORX_VSTCALL VSTProcessDoubleReplacing(vst2::Effect* effect, double** inputs,
                                                      double** outputs, int32_t frames) noexcept;
    // [main-thread] (some hosts: audio-thread)
    static float ORX_VSTCALL VSTGetParameter(vst2::Effect* effect, int32_t index) noexcept;
    // [main-thread] (some hosts: audio-thread)
    static void ORX_VSTCALL VSTSetParameter(vst2::Effect* effect, int32_t index,
                                            float value) noexcept;

    // Under the lock; effClose never gets here.
    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    intptr_t GetChunk(int32_t index, void* ptr);
    intptr_t SetChunk(int32_t index, intptr_t size, const void* ptr);
    intptr_t ProcessEvents(const vst2::Events* events);
    intptr_t PinProperties(bool input, int32_t index, void* ptr) const;
    intptr_t CanDo(const char* query);
    void SetSpeakerArrangements(const vst2::SpeakerArrangement* in,
                                const vst2::SpeakerArrangement* out) noexcept;
    // Runs the process block over the host's block in pieces of at most the block length;
    // accumulate adds 32-bit outputs to what the host's buffers hold.
    template <class Sample>
    void ProcessPieces(Sample** inputs, Sample** outputs, int frames, bool accumulate);

    intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) noexcept;
    const vst2::TimeInfo* GetTime(int32_t mask) noexcept;
    // The time info a transport query reads. Inside a process call the host is asked once per
    // host block, for everything any query needs, and every query of every piece reads that
    // copy; outside one each query asks with its own mask. Null: the host gives none.
    const vst2::TimeInfo* TimeForQuery(int32_t mask) noexcept
    {
        if (mInHostBlock && mBlockTimeAsked)
            return mBlockTimeGiven ? &mBlockTime : nullptr;
        return AskTime(mask);
    }
    const vst2::TimeInfo* AskTime(int32_t mask) noexcept;
    void UpdateChannelCounts() noexcept;

    vst2::EditorRect mEditorRect{};
    vst2::HostCallback mpHostCallback = nullptr;
    vst2::SpeakerArrangement mInputSpkrArr{};
    vst2::SpeakerArrangement mOutputSpkrArr{};
    bool mHostSetupDone = false;
    bool mDoesMidi = false;
    int mHostCapabilities = 0;
    IByteChunk mProgramChunk;
    IByteChunk mBankChunk;
    vst2::Effect mEffect{};
    // The host block's time info (TimeForQuery): asked yet, and whether the host gave one.
    bool mInHostBlock = false;
    bool mBlockTimeAsked = false;
    bool mBlockTimeGiven = false;
    vst2::TimeInfo mBlockTime{};
};
