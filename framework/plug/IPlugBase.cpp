#include "IPlugBase.h"

#include "TextUtil.h"
#include "ThreadRole.h"
#include "Trace.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{

struct HostName
{
    const char* mpText;
    int mId;
};

// Searched in this order; the first substring found names the host.
constexpr HostName kHostNames[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
};

// Reads one number of a channel-layout token; anything unreadable counts as 0. Saturates
// instead of overflowing on absurd digit strings.
const char* ReadCount(const char* p, const char* end, int* out)
{
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
    {
        negative = *p == '-';
        ++p;
    }
    long long v = 0;
    bool any = false;
    while (p < end && std::isdigit(static_cast<unsigned char>(*p)))
    {
        v = std::min(v * 10 + (*p - '0'), 1LL << 31);
        any = true;
        ++p;
    }
    *out = any ? orx::ClampToInt(negative ? -v : v) : 0;
    return any ? p : nullptr;
}

} // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                     int mfrID, int latency, bool /*plugDoesMidi: the binding's*/,
                     bool plugDoesChunks, bool plugIsInst)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mDoesChunks(plugDoesChunks),
      mIsInstrument(plugIsInst), mLatency(latency)
{
    AppendParams(std::max(nParams, 0));
    mDeclaredParamCount = NParams();
    for (int i = 0; i < nPresets; ++i)
    {
        IPresetSlot& slot = mPresets.emplace_back();
        std::snprintf(slot.mName, sizeof(slot.mName), "- %d -", i + 1);
    }
    orx::CopyText(mEffectName, sizeof(mEffectName), effectName);
    orx::CopyText(mProductName, sizeof(mProductName), productName);
    orx::CopyText(mMfrName, sizeof(mMfrName), mfrName);
    ParseChannelLayout(channelIOStr);
    if constexpr (orx::kTraceEnabled)
    {
        char stamp[64];
        orx::TraceTimeStamp(stamp, sizeof(stamp));
        ORX_TRACE("IPlugBase::IPlugBase", "%s:%s", mEffectName, stamp);
    }
}

IPlugBase::~IPlugBase()
{
    delete mpEditor;
    mpEditor = nullptr;
    mParams.clear();
    mPresets.clear();
    mInChannels.clear();
    mOutChannels.clear();
    mChannelPairs.clear();
}

bool IPlugBase::AppendParams(int count)
{
    try
    {
        for (int i = 0; i < count; ++i)
            mParams.push_back(std::make_unique<IParameter>());
        return true;
    }
    catch (...)
    {
        return false;
    }
}

IParameter* IPlugBase::GetParam(int idx) noexcept
{
    return (idx >= 0 && idx < NParams()) ? mParams[static_cast<std::size_t>(idx)].get() : nullptr;
}

const IParameter* IPlugBase::GetParam(int idx) const noexcept
{
    return (idx >= 0 && idx < NParams()) ? mParams[static_cast<std::size_t>(idx)].get() : nullptr;
}

void IPlugBase::HandleReset()
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
}

void IPlugBase::HandleParamChange(int /*paramIdx*/)
{
    IMutexLock lock(mMutex);
}

void IPlugBase::HandleActivate(bool /*active*/)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
    ORX_AUDIO_THREAD_LOCKED(mMutex);
    if (!outputs || nFrames <= 0)
        return;
    const std::size_t bytes = static_cast<std::size_t>(nFrames) * sizeof(double);
    const int nCopy = inputs ? std::min(NInChannels(), NOutChannels()) : 0;
    for (int i = 0; i < nCopy; ++i)
        if (outputs[i] && inputs[i] && outputs[i] != inputs[i])
            std::memmove(outputs[i], inputs[i], bytes);
    for (int i = nCopy; i < NOutChannels(); ++i)
        if (outputs[i])
            std::memset(outputs[i], 0, bytes);
}

void IPlugBase::HandleMidiMessage(const IMidiMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(mMutex);
    EmitMidiMessage(msg);
}

void IPlugBase::HandleSysEx(const ISysExMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(mMutex);
    EmitSysEx(msg);
}

bool IPlugBase::GetMidiNoteText(int /*noteNumber*/, char* text, int size)
{
    ORX_MAIN_THREAD_LOCKED(mMutex);
    if (text && size > 0)
        text[0] = '\0';
    return false;
}

bool IPlugBase::WriteState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    return WriteParamValues(chunk, false);
}

int IPlugBase::ReadState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    return UnserializeParams(chunk, startPos, false);
}

bool IPlugBase::WriteValueList(IByteChunk* chunk, ...)
{
    if (!chunk)
        return false;
    va_list args;
    va_start(args, chunk);
    bool ok = true;
    for (const auto& param : mParams)
    {
        const IParameter::EParamType type = param->Type();
        double v;
        if (type == IParameter::kTypeBool || type == IParameter::kTypeInt ||
            type == IParameter::kTypeEnum)
            v = va_arg(args, int);
        else
            v = va_arg(args, double);
        ok = chunk->Put(v) && ok;
    }
    va_end(args);
    return ok;
}

int IPlugBase::HostId()
{
    ORX_MAIN_THREAD();
    return mHostId;
}

void IPlugBase::AttachEditor(IPlugEditor* editor)
{
    ORX_MAIN_THREAD();
    if (!editor)
        return;
    IMutexLock lock(mMutex);
    for (int i = 0; i < NParams(); ++i)
        editor->PushParamValue(i, mParams[static_cast<std::size_t>(i)]->Normalised(), true);
    editor->CreateSurfaces();
    if (mpEditor != editor)
        delete mpEditor;
    mpEditor = editor;
}

void IPlugBase::SetLatencyFrames(int frames)
{
    ORX_MAIN_THREAD();
    mLatency = frames;
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalised)
{
    ORX_MAIN_THREAD();
    ORX_TRACE("IPlugBase::SetParameterFromGUI", "%d:%f", paramIdx, normalised);
    IParameter* param = GetParam(paramIdx);
    if (!param)
        return; // controls bound to no parameter never get here; a bad index must not crash
    mMutex.Run(
        [&]() noexcept
        {
            param->SetNormalised(normalised);
            if (HostKnowsParam(paramIdx))
                mNotices.Record(HostNotices::Kind::kValue, paramIdx, normalised);
            mNotices.RecordStateChanged();
            HandleParamChange(paramIdx);
        });
    FlushHostNotices(false);
}

void IPlugBase::BeginParamGestureFromGUI(int paramIdx)
{
    ORX_MAIN_THREAD();
    if (!HostKnowsParam(paramIdx))
        return;
    mMutex.Run([&]() noexcept { mNotices.Record(HostNotices::Kind::kBeginEdit, paramIdx); });
    FlushHostNotices(false);
}

void IPlugBase::EndParamGestureFromGUI(int paramIdx)
{
    ORX_MAIN_THREAD();
    if (!HostKnowsParam(paramIdx))
        return;
    mMutex.Run([&]() noexcept { mNotices.Record(HostNotices::Kind::kEndEdit, paramIdx); });
    FlushHostNotices(false);
}

void IPlugBase::InformHostOfParamChange(int paramIdx, double normalised) noexcept
{
    if (!HostKnowsParam(paramIdx))
        return;
    mMutex.Run([&]() noexcept
               { mNotices.Record(HostNotices::Kind::kValue, paramIdx, normalised); });
}

void IPlugBase::InformHostOfStateChange() noexcept
{
    ORX_MAIN_THREAD();
    mMutex.Run([this]() noexcept { mNotices.RecordStateChanged(); });
}

void IPlugBase::FlushHostNotices(bool withStateChange) noexcept
{
    // Taken in small batches, so the buffer fits on the stack of whichever thread flushes.
    constexpr int kBatch = 32;
    HostNotices::Notice batch[kBatch];
    // Most flushes find nothing: they do not take the lock for it.
    if (mMutex.HeldByCaller() || !mNotices.Waiting(withStateChange))
        return;
    for (;;)
    {
        int n = 0;
        bool stateChanged = false;
        mMutex.Run(
            [&]() noexcept
            {
                n = mNotices.TakeNotices(batch, kBatch);
                if (n < kBatch && withStateChange)
                    stateChanged = mNotices.TakeStateChanged();
            });
        try
        {
            for (int i = 0; i < n; ++i)
            {
                const HostNotices::Notice& notice = batch[i];
                switch (notice.mKind)
                {
                case HostNotices::Kind::kBeginEdit:
                    BeginParamGesture(notice.mParamIdx);
                    break;
                case HostNotices::Kind::kValue:
                    ReportParamChange(notice.mParamIdx, notice.mValue);
                    break;
                case HostNotices::Kind::kEndEdit:
                    EndParamGesture(notice.mParamIdx);
                    break;
                }
            }
            if (stateChanged)
                ReportStateChange();
        }
        catch (...)
        {
            // A binding's host call threw: what remains waits for the next flush.
        }
        if (n < kBatch)
            return;
    }
}

unsigned IPlugBase::DroppedHostNotices() noexcept
{
    IMutexLock lock(mMutex);
    return mNotices.Dropped();
}

bool IPlugBase::WriteParamValues(IByteChunk& chunk, bool all)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    const int n = all ? NParams() : std::min(mDeclaredParamCount, NParams());
    bool ok = true;
    for (int i = 0; i < n && ok; ++i)
        ok = chunk.Put(mParams[static_cast<std::size_t>(i)]->Value());
    return ok;
}

int IPlugBase::UnserializeParams(const IByteChunk& chunk, int startPos, bool all)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    const int n = all ? NParams() : std::min(mDeclaredParamCount, NParams());
    int pos = startPos;
    for (int i = 0; i < n && pos >= 0; ++i)
    {
        IParameter& param = *mParams[static_cast<std::size_t>(i)];
        ORX_TRACE("IPlugBase::UnserializeParams", "%d %s", i, param.Name());
        double v = 0.0;
        pos = chunk.Get(&v, pos);
        if (std::isnan(v))
            v = 0.0; // a foreign chunk must not leave a parameter without a value
        param.SetValue(std::clamp(v, param.Min(), param.Max()));
    }
    for (int i = 0; i < NParams(); ++i)
        HandleParamChange(i);
    return pos;
}

void IPlugBase::PushValuesToEditor()
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    if (!mpEditor)
        return;
    if (mpEditor->PushAllAtNextFrame())
        return;
    for (int i = 0; i < NParams(); ++i)
        mpEditor->PushParamValue(i, mParams[static_cast<std::size_t>(i)]->Value(), false);
}

void IPlugBase::SetHost(const char* host, int version)
{
    mHostVersion = version;
    char lower[kHostNameSize];
    orx::CopyText(lower, sizeof(lower), host);
    for (char* c = lower; *c; ++c)
        *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    mHostId = kHostUnknown;
    for (const HostName& name : kHostNames)
    {
        if (std::strstr(lower, name.mpText))
        {
            mHostId = name.mId;
            break;
        }
    }
    ORX_TRACE("IPlugBase::SetHost", "host_%sknown:%s:v%d.%02d", mHostId ? "" : "un",
              host ? host : "", (mHostVersion >> 16) & 0xFFFF, (mHostVersion >> 8) & 0xFF);
}

int IPlugBase::PluginVersion(bool decimal) const noexcept
{
    if (!decimal)
        return mVersion;
    const int major = (mVersion >> 16) & 0xFFFF;
    const int minor = (mVersion >> 8) & 0xFF;
    const int patch = mVersion & 0xFF;
    return major * 10000 + minor * 100 + patch;
}

bool IPlugBase::LegalIO(int nIn, int nOut) const noexcept
{
    bool legal = false;
    for (const IChannelPair& pair : mChannelPairs)
    {
        if ((nIn < 0 || pair.mIn == nIn) && (nOut < 0 || pair.mOut == nOut))
        {
            legal = true;
            break;
        }
    }
    ORX_TRACE("IPlugBase::LegalIO", "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
    return legal;
}

void IPlugBase::ParseChannelLayout(const char* layout)
{
    int maxIn = 0;
    int maxOut = 0;
    const char* p = layout ? layout : "";
    while (*p)
    {
        const char* end = std::strchr(p, ' ');
        if (!end)
            end = p + std::strlen(p);
        if (end > p)
        {
            IChannelPair pair;
            const char* rest = ReadCount(p, end, &pair.mIn);
            if (rest && rest < end && *rest == '-')
                ReadCount(rest + 1, end, &pair.mOut);
            mChannelPairs.push_back(pair);
            maxIn = std::max(maxIn, pair.mIn);
            maxOut = std::max(maxOut, pair.mOut);
        }
        p = *end ? end + 1 : end;
    }
    // The layout string is ours, but an absurd count must not become an absurd allocation.
    mInChannels.resize(static_cast<std::size_t>(std::min(maxIn, kMaxChannels)));
    mOutChannels.resize(static_cast<std::size_t>(std::min(maxOut, kMaxChannels)));
    mInData.assign(mInChannels.size(), nullptr);
    mOutData.assign(mOutChannels.size(), nullptr);
    for (int i = 0; i < NInChannels(); ++i)
        mInChannels[static_cast<std::size_t>(i)].mSlot = i;
    for (int i = 0; i < NOutChannels(); ++i)
        mOutChannels[static_cast<std::size_t>(i)].mSlot = i;
}

const IChannelPair* IPlugBase::GetChannelPair(int idx) const noexcept
{
    return (idx >= 0 && idx < NChannelPairs()) ? &mChannelPairs[static_cast<std::size_t>(idx)]
                                               : nullptr;
}
