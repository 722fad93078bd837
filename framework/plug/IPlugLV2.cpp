// IPlugLV2: construction, the host's features, the host services and the transport.

#include "IPlugLV2.h"

#include "IPlugEditor.h"
#include "TextUtil.h"
#include "Trace.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

IPlugLV2::IPlugLV2(const Lv2HostInfo* host, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName,
                   int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                   bool plugDoesChunks, bool plugIsInst)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst)
{
    ORX_TRACE("IPlugLV2::IPlugLV2", "%s", EffectName());
    if (host)
    {
        if (host->mSampleRate > 0.0 && std::isfinite(host->mSampleRate))
            mHostRate = host->mSampleRate;
        ReadFeatures(host->mFeatures);
    }
    // No audio ports: the channels keep their scratch buffers.
    SetInputConnections(0, NInChannels(), false);
    SetOutputConnections(0, NOutChannels(), false);
    // Nothing else can reach the instance yet; the lock only keeps the contract of the call.
    IMutexLock lock(Mutex());
    IPlugBase::SetBlockLength(mHostMaxBlock);
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::ReadFeatures(const LV2_Feature* const* features)
{
    const LV2_Options_Option* options = nullptr;
    for (int i = 0; features && features[i]; ++i)
    {
        const LV2_Feature* f = features[i];
        if (!f->URI)
            continue;
        if (std::strcmp(f->URI, LV2_URID__map) == 0)
            mpMap = static_cast<LV2_URID_Map*>(f->data);
        else if (std::strcmp(f->URI, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*>(f->data);
    }
    if (!mpMap || !mpMap->map)
        return;
    auto map = [this](const char* uri) { return mpMap->map(mpMap->handle, uri); };
    mUrid.mAtomSequence = map(LV2_ATOM__Sequence);
    mUrid.mAtomObject = map(LV2_ATOM__Object);
    mUrid.mAtomBlank = map(LV2_ATOM__Blank);
    mUrid.mAtomChunk = map(LV2_ATOM__Chunk);
    mUrid.mAtomLong = map(LV2_ATOM__Long);
    mUrid.mAtomInt = map(LV2_ATOM__Int);
    mUrid.mAtomFloat = map(LV2_ATOM__Float);
    mUrid.mAtomDouble = map(LV2_ATOM__Double);
    mUrid.mMidiEvent = map(LV2_MIDI__MidiEvent);
    mUrid.mTimePosition = map(LV2_TIME__Position);
    mUrid.mFrame = map(LV2_TIME__frame);
    mUrid.mSpeed = map(LV2_TIME__speed);
    mUrid.mBar = map(LV2_TIME__bar);
    mUrid.mBarBeat = map(LV2_TIME__barBeat);
    mUrid.mBeatsPerBar = map(LV2_TIME__beatsPerBar);
    mUrid.mBeatUnit = map(LV2_TIME__beatUnit);
    mUrid.mBeatsPerMinute = map(LV2_TIME__beatsPerMinute);
    mUrid.mStateChanged = map(LV2_STATE__StateChanged);
    mUrid.mMaxBlockLength = map(LV2_BUF_SIZE__maxBlockLength);
    mMapped = true;
    for (const LV2_Options_Option* o = options; o && o->key; ++o)
    {
        if (o->key != mUrid.mMaxBlockLength || !o->value)
            continue;
        int length = 0;
        if (o->type == mUrid.mAtomInt)
            length = *static_cast<const int32_t*>(o->value);
        else if (o->type == mUrid.mAtomLong)
            length = orx::ClampToInt(*static_cast<const int64_t*>(o->value));
        if (length > 0 && length <= kMaxBlockLength)
            mHostMaxBlock = length;
    }
}

void IPlugLV2::Open(const char* pluginUri)
{
    ORX_MAIN_THREAD();
    {
        IMutexLock lock(Mutex());
        if (mMapped && pluginUri)
        {
            const std::string key = std::string(pluginUri) + kStateKeySuffix;
            mUrid.mStateKey = mpMap->map(mpMap->handle, key.c_str());
        }
        mControlParams = lv2ports::ControlParams(*this);
        mParamPorts.assign(static_cast<std::size_t>(DeclaredParamCount()), -1);
        mControlPorts.assign(mControlParams.size(), nullptr);
        mSeenPortValues.resize(mControlParams.size());
        for (std::size_t i = 0; i < mControlParams.size(); ++i)
        {
            const int idx = mControlParams[i];
            mParamPorts[static_cast<std::size_t>(idx)] =
                lv2ports::kFirstControl + static_cast<int>(i);
            const IParameter* param = GetParam(idx);
            mSeenPortValues[i] = lv2ports::PortValue(*param, param->Value());
        }
        HostSetup();
        for (int i = 0; i < NParams(); ++i)
            HandleParamChange(i);
    }
    SetSampleRate(mHostRate);
    HandleReset();
    {
        IMutexLock lock(Mutex());
        SetBlockLength(mHostMaxBlock);
    }
    HandleReset();
}

int IPlugLV2::PortOfParam(int paramIdx) const noexcept
{
    if (paramIdx < 0 || paramIdx >= static_cast<int>(mParamPorts.size()))
        return -1;
    return mParamPorts[static_cast<std::size_t>(paramIdx)];
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) noexcept
{
    IMutexLock lock(Mutex());
    if (port == lv2ports::kEventsIn)
        mpEventsIn = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == lv2ports::kEventsOut)
        mpEventsOut = static_cast<LV2_Atom_Sequence*>(data);
    else if (port >= lv2ports::kFirstControl &&
             port - lv2ports::kFirstControl < mControlPorts.size())
        mControlPorts[port - lv2ports::kFirstControl] = static_cast<const float*>(data);
}

void IPlugLV2::Activate(bool active) noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    try
    {
        HandleActivate(active);
        if (!active)
            HandleReset();
    }
    catch (...)
    {
    }
}

void IPlugLV2::SetUiLink(const Lv2UiLink& link) noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    mUi = link;
}

void IPlugLV2::ClearUiLink() noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    mUi = Lv2UiLink{};
}

void IPlugLV2::BeginParamGesture(int paramIdx)
{
    ORX_MAIN_THREAD();
    const int port = PortOfParam(paramIdx);
    if (port >= 0 && mUi.mpTouch && mUi.mpTouch->touch)
        mUi.mpTouch->touch(mUi.mpTouch->handle, static_cast<uint32_t>(port), true);
}

void IPlugLV2::ReportParamChange(int paramIdx, double normalised)
{
    ORX_MAIN_THREAD();
    const int port = PortOfParam(paramIdx);
    const IParameter* param = GetParam(paramIdx);
    if (port < 0 || !param || !mUi.mWrite)
        return;
    const float value = lv2ports::PortValue(*param, param->FromNormalised(normalised));
    mUi.mWrite(mUi.mController, static_cast<uint32_t>(port), sizeof(float), 0, &value);
}

void IPlugLV2::EndParamGesture(int paramIdx)
{
    ORX_MAIN_THREAD();
    const int port = PortOfParam(paramIdx);
    if (port >= 0 && mUi.mpTouch && mUi.mpTouch->touch)
        mUi.mpTouch->touch(mUi.mpTouch->handle, static_cast<uint32_t>(port), false);
}

void IPlugLV2::ReportStateChange()
{
    ORX_MAIN_THREAD();
    mStateChangedPending.store(true, std::memory_order_release);
}

int IPlugLV2::TransportSamplePosition()
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    if (!mPosition.mKnown || !(mPosition.mFrame >= 0.0))
        return 0;
    return orx::TruncateToInt(mPosition.mFrame + 0.5);
}

double IPlugLV2::TransportTempo()
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    if (!mPosition.mKnown || !(mPosition.mBeatsPerMinute > 0.0))
        return 0.0;
    // The host's beats are of its beat unit; the base counts quarter notes.
    return mPosition.mBeatsPerMinute * 4.0 / mPosition.mBeatUnit;
}

void IPlugLV2::TransportTimeSignature(int* numerator, int* denominator)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    const bool known = mPosition.mKnown;
    if (numerator)
        *numerator = known ? orx::TruncateToInt(std::floor(mPosition.mBeatsPerBar + 0.5)) : 0;
    if (denominator)
        *denominator = known ? mPosition.mBeatUnit : 0;
}

void IPlugLV2::TransportTimeInfo(ITimeInfo* info)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    if (!info)
        return;
    *info = ITimeInfo{};
    if (!mPosition.mKnown)
        return;
    info->mSamplePos = mPosition.mFrame;
    info->mTempo = TransportTempo() > 0.0 ? TransportTempo() : 120.0;
    TransportTimeSignature(&info->mNumerator, &info->mDenominator);
    if (info->mNumerator < 1)
        info->mNumerator = 4;
    if (mPosition.mBeat >= 0.0)
    {
        const double quartersPerBeat = 4.0 / mPosition.mBeatUnit;
        info->mMusicalPos = mPosition.mBeat * quartersPerBeat;
        const double bars = std::floor(mPosition.mBeat / mPosition.mBeatsPerBar);
        info->mBarStartPos = bars * mPosition.mBeatsPerBar * quartersPerBeat;
    }
    info->mPlaying = mPosition.mSpeed != 0.0;
}

bool IPlugLV2::TransportIsRunning()
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    return !mPosition.mKnown || mPosition.mSpeed != 0.0;
}

void IPlugLV2::EditorResized()
{
    ORX_MAIN_THREAD();
    IPlugEditor* editor = GetEditor();
    if (editor && mUi.mpResize && mUi.mpResize->ui_resize)
        mUi.mpResize->ui_resize(mUi.mpResize->handle, editor->Width(), editor->Height());
}

void IPlugLV2::HostSetup()
{
    ORX_MAIN_THREAD_LOCKED(Mutex());
    // LV2 hosts do not name themselves; no host needs a different channel layout.
    SetHost("", 0);
}

bool IPlugLV2::EmitMidiMessage(const IMidiMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    const uint8_t bytes[3] = {msg.mStatus, msg.mData1, msg.mData2};
    uint32_t size = 3;
    switch (msg.mStatus & 0xF0)
    {
    case 0xC0:
    case 0xD0:
        size = 2;
        break;
    case 0xF0:
        size = msg.mStatus == 0xF1 || msg.mStatus == 0xF3 ? 2 : msg.mStatus == 0xF2 ? 3 : 1;
        break;
    default:
        break;
    }
    const long long frame = static_cast<long long>(msg.mOffset) + PieceOffset();
    return WriteEvent(orx::ClampToInt(frame), mUrid.mMidiEvent, bytes, size);
}

bool IPlugLV2::EmitMidiMessages(const IMidiMessage* msgs, int count)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    bool all = true;
    for (int i = 0; msgs && i < count; ++i)
        all = EmitMidiMessage(msgs[i]) && all;
    return all;
}

bool IPlugLV2::EmitSysEx(const ISysExMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    if (msg.mSize <= 0 || !msg.mpData)
        return false;
    const long long frame = static_cast<long long>(msg.mOffset) + PieceOffset();
    return WriteEvent(orx::ClampToInt(frame), mUrid.mMidiEvent, msg.mpData,
                      static_cast<uint32_t>(msg.mSize));
}
