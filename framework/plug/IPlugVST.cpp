// IPlugVST: the effect record, the parameter and process entries, and the host services.

#include "IPlugVST.h"

#include "IPlugEditor.h"
#include "TextUtil.h"
#include "ThreadRole.h"
#include "Trace.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

void SetArrangement(vst2::SpeakerArrangement& arr, int nChannels) noexcept
{
    arr.numChannels = nChannels;
    if (nChannels == 0)
        arr.type = vst2::kArrEmpty;
    else if (nChannels == 1)
        arr.type = vst2::kArrMono;
    else if (nChannels == 2)
        arr.type = vst2::kArrStereo;
    else
        arr.type = vst2::kArrUserDefined;
}

int16_t ClampToShort(int v) noexcept
{
    return static_cast<int16_t>(std::clamp(v, 0, static_cast<int>(INT16_MAX)));
}

int AddSaturating(int a, int b) noexcept
{
    return orx::ClampToInt(static_cast<long long>(a) + b);
}

} // namespace

IPlugVST::IPlugVST(vst2::HostCallback host, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName,
                   int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                   bool plugDoesChunks, bool plugIsInst)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mpHostCallback(host), mDoesMidi(plugDoesMidi)
{
    ORX_TRACE("IPlugVST::IPlugVST", "%s", EffectName());
    mEffect.magic = vst2::kEffectMagic;
    mEffect.object = this;
    mEffect.dispatcher = &VSTDispatcher;
    mEffect.process = &VSTProcess;
    mEffect.setParameter = &VSTSetParameter;
    mEffect.getParameter = &VSTGetParameter;
    mEffect.processReplacing = &VSTProcessReplacing;
    mEffect.processDoubleReplacing = &VSTProcessDoubleReplacing;
    mEffect.numPrograms = std::max(nPresets, 0);
    mEffect.numParams = DeclaredParamCount();
    mEffect.numInputs = NInChannels();
    mEffect.numOutputs = NOutChannels();
    mEffect.initialDelay = latency;
    mEffect.ioRatio = 1.0f;
    mEffect.uniqueID = uniqueID;
    mEffect.version = PluginVersion(true);
    mEffect.flags = vst2::kFlagCanReplacing | vst2::kFlagCanDoubleReplacing;
    if (plugDoesChunks)
        mEffect.flags |= vst2::kFlagProgramChunks;
    if (LegalIO(1, -1))
        mEffect.flags |= vst2::kFlagCanMono;
    if (plugIsInst)
        mEffect.flags |= vst2::kFlagIsSynth;
    SetArrangement(mInputSpkrArr, NInChannels());
    SetArrangement(mOutputSpkrArr, NOutChannels());
    SetInputConnections(0, NInChannels(), true);
    SetOutputConnections(0, NOutChannels(), true);
    // Nothing else can reach the instance yet; the lock only keeps the contract of the call.
    IMutexLock lock(Mutex());
    IPlugBase::SetBlockLength(1024);
}

IPlugVST::~IPlugVST()
{
    mProgramChunk.Clear();
    mBankChunk.Clear();
}

IPlugVST* IPlugVST::FromEffect(vst2::Effect* effect) noexcept
{
    if (!effect || effect->magic != vst2::kEffectMagic)
        return nullptr;
    return static_cast<IPlugVST*>(effect->object);
}

// [main-thread] (some hosts: any thread; the lock covers that)
intptr_t IPlugVST::VSTDispatcher(vst2::Effect* effect, int32_t opcode, int32_t index,
                                 intptr_t value, void* ptr, float opt) noexcept
{
    IPlugVST* plug = FromEffect(effect);
    if (!plug)
        return 0;
    // Idle requests come many times a second: answer without waiting for the audio thread.
    // Edit idle is the editor window's time where the window system has no message loop of
    // its own (X11); the editor takes the lock itself where it needs it.
    if (opcode == vst2::effEditIdle)
    {
        if (IPlugEditor* editor = plug->GetEditor())
            editor->IdleWindow();
        plug->FlushHostNotices(true);
        return 0;
    }
    if (opcode == vst2::effIdle)
    {
        plug->FlushHostNotices(true);
        return 0;
    }
    // The host is asked who it is before the lock is taken: no host call is made under it.
    if (opcode == vst2::effOpen)
        plug->HostId();
    intptr_t answer = 0;
    {
        // What hosts send from their audio thread is audio-thread work while it runs.
        const orx::ProcessCallScope audio(OnAudioThread(opcode));
        IMutexLock lock(plug->Mutex());
        ORX_TRACE("IPlugVST::VSTDispatcher", "%d(%s):%d:%d", opcode, "", index,
                  static_cast<int>(value));
        if (opcode == vst2::effClose)
        {
            // The lock belongs to the instance: give it back before the instance goes.
            lock.Release();
            delete plug;
            return 0;
        }
        try
        {
            answer = plug->Dispatch(opcode, index, value, ptr, opt);
        }
        catch (...)
        {
            answer = 0;
        }
    }
    if (!OnAudioThread(opcode))
    {
        // With the editor open its frames send the state change, once a frame.
        const IPlugEditor* editor = plug->GetEditor();
        plug->FlushHostNotices(!editor || !editor->IsWindowOpen());
    }
    return answer;
}

// [main-thread] (some hosts: audio thread)
float IPlugVST::VSTGetParameter(vst2::Effect* effect, int32_t index) noexcept
{
    IPlugVST* plug = FromEffect(effect);
    if (!plug)
        return 0.0f;
    ORX_TRACE("IPlugVST::VSTGetParameter", "%d", index);
    float value = 0.0f;
    plug->Mutex().Run(
        [&]() noexcept
        {
            if (const IParameter* param = plug->GetParam(index))
                value = static_cast<float>(param->Normalised());
        });
    return value;
}

// [main-thread] (some hosts: audio thread)
void IPlugVST::VSTSetParameter(vst2::Effect* effect, int32_t index, float value) noexcept
{
    IPlugVST* plug = FromEffect(effect);
    if (!plug)
        return;
    ORX_TRACE("IPlugVST::VSTSetParameter", "%d:%f", index, static_cast<double>(value));
    IParameter* param = plug->GetParam(index);
    if (!param)
        return;
    const double x = std::isnan(value) ? 0.0 : std::clamp(static_cast<double>(value), 0.0, 1.0);
    plug->Mutex().Run(
        [&]() noexcept
        {
            try
            {
                if (IPlugEditor* editor = plug->GetEditor())
                    editor->PushParamValue(index, x, true);
                param->SetNormalised(x);
                plug->HandleParamChange(index);
            }
            catch (...)
            {
            }
        });
}

intptr_t IPlugVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                            float opt) noexcept
{
    return mpHostCallback ? mpHostCallback(&mEffect, opcode, index, value, ptr, opt) : 0;
}

const vst2::TimeInfo* IPlugVST::GetTime(int32_t mask) noexcept
{
    return reinterpret_cast<const vst2::TimeInfo*>(
        CallHost(vst2::audioMasterGetTime, 0, static_cast<intptr_t>(mask)));
}

void IPlugVST::BeginParamGesture(int paramIdx)
{
    ORX_MAIN_THREAD();
    CallHost(vst2::audioMasterBeginEdit, paramIdx);
}

void IPlugVST::ReportParamChange(int paramIdx, double normalised)
{
    ORX_MAIN_THREAD();
    CallHost(vst2::audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalised));
}

void IPlugVST::EndParamGesture(int paramIdx)
{
    ORX_MAIN_THREAD();
    CallHost(vst2::audioMasterEndEdit, paramIdx);
}

void IPlugVST::ReportStateChange()
{
    ORX_MAIN_THREAD();
    ORX_UNLOCKED(Mutex());
    CallHost(vst2::audioMasterUpdateDisplay);
}

bool IPlugVST::OnAudioThread(int32_t opcode) noexcept
{
    // Hosts send these from their processing thread: what waits for the host is sent from the
    // main thread's next entry instead.
    return opcode == vst2::effProcessEvents || opcode == vst2::effStartProcess ||
           opcode == vst2::effStopProcess;
}

namespace
{
// Musical position, tempo, bars, cycle and time signature valid.
constexpr int32_t kTransportMask = vst2::kTimePpqValid | vst2::kTimeTempoValid |
                                   vst2::kTimeBarsValid | vst2::kTimeCycleValid |
                                   vst2::kTimeSigValid;
static_assert(kTransportMask == 0x3E00);
// What the transport queries ask for together: hosts may fill only what the mask names. The
// sample position needs no bit.
constexpr int32_t kAllQueriesMask = kTransportMask | vst2::kTimeTempoValid | vst2::kTimeSigValid;
} // namespace

const vst2::TimeInfo* IPlugVST::AskTime(int32_t mask) noexcept
{
    if (!mInHostBlock)
        return GetTime(mask);
    mBlockTimeAsked = true;
    // A copy: the host may reuse its record before the last piece reads it.
    const vst2::TimeInfo* ti = GetTime(kAllQueriesMask);
    mBlockTimeGiven = ti != nullptr;
    if (ti)
        mBlockTime = *ti;
    return ti ? &mBlockTime : nullptr;
}

int IPlugVST::TransportSamplePosition()
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    const vst2::TimeInfo* ti = TimeForQuery(0);
    if (!ti || !(ti->samplePos >= 0.0))
        return 0;
    return AddSaturating(orx::TruncateToInt(ti->samplePos + 0.5), PieceOffset());
}

double IPlugVST::TransportTempo()
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    const vst2::TimeInfo* ti = TimeForQuery(vst2::kTimeTempoValid);
    if (ti && (ti->flags & vst2::kTimeTempoValid) && ti->tempo >= 0.0 && std::isfinite(ti->tempo))
        return ti->tempo;
    return 0.0;
}

void IPlugVST::TransportTimeSignature(int* numerator, int* denominator)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    int num = 0;
    int den = 0;
    const vst2::TimeInfo* ti = TimeForQuery(vst2::kTimeSigValid);
    if (ti && (ti->flags & vst2::kTimeSigValid) && ti->timeSigNumerator >= 0 &&
        ti->timeSigDenominator >= 0)
    {
        num = ti->timeSigNumerator;
        den = ti->timeSigDenominator;
    }
    if (numerator)
        *numerator = num;
    if (denominator)
        *denominator = den;
}

void IPlugVST::TransportTimeInfo(ITimeInfo* info)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    if (!info)
        return;
    info->mSamplePos = info->mMusicalPos = info->mBarStartPos = -1.0;
    info->mCycleStart = info->mCycleEnd = -1.0;
    info->mTempo = 120.0;
    info->mNumerator = info->mDenominator = 4;
    const vst2::TimeInfo* ti = TimeForQuery(kTransportMask);
    if (!ti || !(ti->flags & kTransportMask))
        return;
    const int32_t flags = ti->flags;
    info->mSamplePos = ti->samplePos + PieceOffset();
    if ((flags & vst2::kTimePpqValid) && ti->ppqPos >= 0.0)
        info->mMusicalPos = ti->ppqPos;
    if ((flags & vst2::kTimeTempoValid) && ti->tempo > 0.0 && std::isfinite(ti->tempo))
        info->mTempo = ti->tempo;
    if ((flags & vst2::kTimeBarsValid) && ti->barStartPos >= 0.0)
        info->mBarStartPos = ti->barStartPos;
    if ((flags & vst2::kTimeCycleValid) && ti->cycleStartPos >= 0.0 && ti->cycleEndPos >= 0.0)
    {
        info->mCycleStart = ti->cycleStartPos;
        info->mCycleEnd = ti->cycleEndPos;
    }
    if ((flags & vst2::kTimeSigValid) && ti->timeSigNumerator > 0 && ti->timeSigDenominator > 0)
    {
        info->mNumerator = ti->timeSigNumerator;
        info->mDenominator = ti->timeSigDenominator;
    }
    info->mPlaying = (flags & vst2::kTimePlaying) != 0;
    info->mCycling = (flags & vst2::kTimeCycleActive) != 0;
    // A later piece of a long host block sits later in the music too.
    const double rate = ti->sampleRate > 0.0 ? ti->sampleRate : GetSampleRate();
    if (PieceOffset() > 0 && info->mMusicalPos >= 0.0 && (flags & vst2::kTimeTempoValid) &&
        rate > 0.0)
        info->mMusicalPos += PieceOffset() * info->mTempo / (60.0 * rate);
}

bool IPlugVST::TransportIsRunning()
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    const vst2::TimeInfo* ti = TimeForQuery(kTransportMask);
    if (ti && (ti->flags & kTransportMask))
        return (ti->flags & vst2::kTimePlaying) != 0;
    return true;
}

int IPlugVST::HostId()
{
    ORX_MAIN_THREAD();
    if (StoredHostId() == -1)
    {
        char product[kHostNameSize] = {};
        CallHost(vst2::audioMasterGetProductString, 0, 0, product);
        product[sizeof(product) - 1] = '\0';
        int version = 0;
        if (product[0])
        {
            const long long v = CallHost(vst2::audioMasterGetVendorVersion);
            const long long packed = v + (v / 10000) * 55536 + ((v % 10000) / 100) * 156;
            version = orx::ClampToInt(packed);
        }
        SetHost(product, version);
    }
    return StoredHostId();
}

void IPlugVST::EditorResized()
{
    ORX_MAIN_THREAD();
    IPlugEditor* editor = GetEditor();
    if (!editor)
        return;
    mEditorRect.top = 0;
    mEditorRect.left = 0;
    mEditorRect.bottom = ClampToShort(editor->Height());
    mEditorRect.right = ClampToShort(editor->Width());
}

void IPlugVST::HostSetup()
{
    ORX_MAIN_THREAD_LOCKED(Mutex());
    if (mHostSetupDone)
        return;
    mHostSetupDone = true;
    const int host = HostId();
    if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSAWStudio)
        LimitToStereo();
    if (host == kHostSonar || host == kHostAbletonLive || host == kHostForte ||
        host == kHostAudition || host == kHostOrion || host == kHostSAWStudio)
        EnsureStereoChannels();
    UpdateChannelCounts();
}

void IPlugVST::UpdateChannelCounts() noexcept
{
    // A host reads these fields from its audio thread whenever it likes, without our lock:
    // rewrite them only when they change, so opening while the host processes writes nothing.
    if (mEffect.numInputs != NInChannels())
        mEffect.numInputs = NInChannels();
    if (mEffect.numOutputs != NOutChannels())
        mEffect.numOutputs = NOutChannels();
    SetArrangement(mInputSpkrArr, NInChannels());
    SetArrangement(mOutputSpkrArr, NOutChannels());
}

void IPlugVST::AttachEditor(IPlugEditor* editor)
{
    ORX_MAIN_THREAD();
    if (!editor)
        return;
    IPlugBase::AttachEditor(editor);
    // An editor that cannot reach the screen (headless) is kept and painted, but not offered.
    if (!editor->HasScreen())
        return;
    mEffect.flags |= vst2::kFlagHasEditor;
    EditorResized();
}

void IPlugVST::SetLatencyFrames(int frames)
{
    ORX_MAIN_THREAD();
    mEffect.initialDelay = frames;
    IPlugBase::SetLatencyFrames(frames);
}

bool IPlugVST::EmitMidiMessage(const IMidiMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    vst2::MidiEvent event{};
    event.type = vst2::kEventMidi;
    event.byteSize = static_cast<int32_t>(sizeof(event));
    event.deltaFrames = AddSaturating(msg.mOffset, PieceOffset());
    event.midiData[0] = static_cast<char>(msg.mStatus);
    event.midiData[1] = static_cast<char>(msg.mData1);
    event.midiData[2] = static_cast<char>(msg.mData2);
    vst2::Events list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst2::Event*>(&event);
    return CallHost(vst2::audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IPlugVST::EmitSysEx(const ISysExMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    if (msg.mSize < 0 || (msg.mSize > 0 && !msg.mpData))
        return false;
    vst2::SysExEvent event{};
    event.type = vst2::kEventSysEx;
    event.byteSize = static_cast<int32_t>(sizeof(event));
    event.deltaFrames = AddSaturating(msg.mOffset, PieceOffset());
    event.dumpBytes = msg.mSize;
    // The record's field is not const; hosts only read through it.
    event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(msg.mpData));
    vst2::Events list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst2::Event*>(&event);
    return CallHost(vst2::audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IPlugVST::EmitMidiMessages(const IMidiMessage* msgs, int count)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    bool all = true;
    for (int i = 0; msgs && i < count; ++i)
        all = EmitMidiMessage(msgs[i]) && all;
    return all;
}
