// VstHost: loading, the host callback, and the dispatcher requests.

#include "VstHost.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace orxhost
{
namespace
{

// The host whose entry call is running on this thread: a plug-in may call back from inside
// VSTPluginMain, before the host knows its effect record.
thread_local VstHost* tLoading = nullptr;

constexpr std::size_t kTextBuffer = 512; // generous: plug-ins overrun the nominal sizes

const char* const kHostCanDos[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                   "receiveVstEvents", "receiveVstMidiEvent", "supplyIdle",
                                   "startStopProcess"};

std::string Hex(int32_t v)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08x", static_cast<unsigned>(v));
    return text;
}

} // namespace

std::string HostOpcodeName(int32_t opcode)
{
    static const std::pair<int32_t, const char*> kNames[] = {
        {vst2::audioMasterAutomate, "audioMasterAutomate"},
        {vst2::audioMasterVersion, "audioMasterVersion"},
        {vst2::audioMasterCurrentId, "audioMasterCurrentId"},
        {vst2::audioMasterIdle, "audioMasterIdle"},
        {vst2::audioMasterWantMidi, "audioMasterWantMidi"},
        {vst2::audioMasterGetTime, "audioMasterGetTime"},
        {vst2::audioMasterProcessEvents, "audioMasterProcessEvents"},
        {vst2::audioMasterIOChanged, "audioMasterIOChanged"},
        {vst2::audioMasterSizeWindow, "audioMasterSizeWindow"},
        {vst2::audioMasterGetSampleRate, "audioMasterGetSampleRate"},
        {vst2::audioMasterGetBlockSize, "audioMasterGetBlockSize"},
        {vst2::audioMasterGetInputLatency, "audioMasterGetInputLatency"},
        {vst2::audioMasterGetOutputLatency, "audioMasterGetOutputLatency"},
        {vst2::audioMasterGetCurrentProcessLevel, "audioMasterGetCurrentProcessLevel"},
        {vst2::audioMasterGetAutomationState, "audioMasterGetAutomationState"},
        {vst2::audioMasterGetVendorString, "audioMasterGetVendorString"},
        {vst2::audioMasterGetProductString, "audioMasterGetProductString"},
        {vst2::audioMasterGetVendorVersion, "audioMasterGetVendorVersion"},
        {vst2::audioMasterVendorSpecific, "audioMasterVendorSpecific"},
        {vst2::audioMasterCanDo, "audioMasterCanDo"},
        {vst2::audioMasterGetLanguage, "audioMasterGetLanguage"},
        {vst2::audioMasterGetDirectory, "audioMasterGetDirectory"},
        {vst2::audioMasterUpdateDisplay, "audioMasterUpdateDisplay"},
        {vst2::audioMasterBeginEdit, "audioMasterBeginEdit"},
        {vst2::audioMasterEndEdit, "audioMasterEndEdit"},
    };
    for (const auto& [code, name] : kNames)
        if (code == opcode)
            return std::string(name) + " (" + std::to_string(opcode) + ")";
    return "host opcode " + std::to_string(opcode);
}

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

VstHost::VstHost() = default;

VstHost::~VstHost()
{
    if (mpEffect)
    {
        Suspend();
        Close();
    }
}

bool VstHost::Load(const std::string& path)
{
    if (mpEffect)
        Close();
    mPath = path;
    mError.clear();
    if (!mLibrary.Open(path, &mError))
        return false;
    auto* entry = reinterpret_cast<vst2::EntryProc>(mLibrary.Symbol("VSTPluginMain"));
    if (!entry)
        entry = reinterpret_cast<vst2::EntryProc>(mLibrary.Symbol("main"));
    if (!entry)
    {
        mError = path + " is not a VST 2 plug-in: it exports neither VSTPluginMain nor main";
        mLibrary.Close();
        return false;
    }
    return Enter(entry, path);
}

bool VstHost::LoadEntry(vst2::EntryProc entry, const std::string& name)
{
    if (mpEffect)
        Close();
    mPath = name;
    mError.clear();
    if (!entry)
    {
        mError = name + ": no entry";
        return false;
    }
    return Enter(entry, name);
}

bool VstHost::Enter(vst2::EntryProc entry, const std::string& path)
{
    tLoading = this;
    vst2::Effect* effect = entry(&HostCallback);
    tLoading = nullptr;
    if (!effect)
    {
        mError = path + ": the plug-in entry returned no effect";
        mLibrary.Close();
        return false;
    }
    if (effect->magic != vst2::kEffectMagic)
    {
        mError =
            path + " is not a VST 2 plug-in: its effect record has magic " + Hex(effect->magic);
        mLibrary.Close();
        return false;
    }
    if (!effect->dispatcher)
    {
        mError = path + ": the effect record has no dispatcher";
        mLibrary.Close();
        return false;
    }
    effect->resvd1 = this; // the host's field: how the callback finds us
    mpEffect = effect;
    return true;
}

intptr_t ORX_VSTCALL VstHost::HostCallback(vst2::Effect* effect, int32_t opcode, int32_t index,
                                           intptr_t value, void* ptr, float opt) noexcept
{
    VstHost* host = effect && effect->resvd1 ? static_cast<VstHost*>(effect->resvd1) : tLoading;
    if (!host)
        return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
    try
    {
        if (host->mWatcher)
            host->mWatcher(HostCall{opcode, index, value, opt});
        std::lock_guard lock(host->mCallbackMutex);
        if (opcode >= 0 && opcode < static_cast<int32_t>(host->mCallbackCounts.size()))
            ++host->mCallbackCounts[static_cast<std::size_t>(opcode)];
        if (host->mHook)
            host->mHook(*host, opcode);
        return host->Answer(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

intptr_t VstHost::Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    const int block = mInProcess ? mBlockIndex.load() : -1;
    switch (opcode)
    {
    case vst2::audioMasterAutomate:
        mAutomation.push_back({index, opt, block});
        return 0;
    case vst2::audioMasterVersion:
        return vst2::kVstVersion;
    case vst2::audioMasterWantMidi:
        return 1;
    case vst2::audioMasterGetTime:
    {
        const vst2::TimeInfo* info = FillTimeInfo(static_cast<int32_t>(value));
        if (!info)
            return 0;
        // The caller reads it after the lock is gone: one copy per thread.
        thread_local vst2::TimeInfo copy;
        copy = *info;
        return reinterpret_cast<intptr_t>(&copy);
    }
    case vst2::audioMasterProcessEvents:
        CaptureEvents(static_cast<const vst2::Events*>(ptr));
        return mAcceptEvents ? 1 : 0;
    case vst2::audioMasterGetSampleRate:
        return static_cast<intptr_t>(mSampleRate);
    case vst2::audioMasterGetBlockSize:
        return mBlockSize;
    case vst2::audioMasterGetCurrentProcessLevel:
        return mInProcess ? 2 : 1;
    case vst2::audioMasterGetAutomationState:
        return 1;
    case vst2::audioMasterGetVendorString:
        if (ptr)
            std::snprintf(static_cast<char*>(ptr), 64, "%s", "Orlantix");
        return ptr ? 1 : 0;
    case vst2::audioMasterGetProductString:
        if (ptr)
            std::snprintf(static_cast<char*>(ptr), 64, "%s", mProductString.c_str());
        return ptr ? 1 : 0;
    case vst2::audioMasterGetVendorVersion:
        return mVendorVersion;
    case vst2::audioMasterCanDo:
        if (ptr)
            for (const char* can : kHostCanDos)
                if (std::strcmp(can, static_cast<const char*>(ptr)) == 0)
                    return 1;
        return 0;
    case vst2::audioMasterGetLanguage:
        return 1; // English
    case vst2::audioMasterBeginEdit:
    case vst2::audioMasterEndEdit:
        mGestures.push_back({index, opcode == vst2::audioMasterBeginEdit});
        return 1;
    default:
        return 0;
    }
}

void VstHost::CaptureEvents(const vst2::Events* events)
{
    const int call = mEventCalls++;
    if (!events)
        return;
    vst2::Event* const* entries = events->events;
    for (int32_t i = 0; i < events->numEvents; ++i)
    {
        const vst2::Event* event = entries[i];
        if (!event)
            continue;
        CapturedEvent captured;
        captured.mBlock = mInProcess ? mBlockIndex.load() : -1;
        captured.mCall = call;
        captured.mType = event->type;
        captured.mByteSize = event->byteSize;
        captured.mDeltaFrames = event->deltaFrames;
        if (event->type == vst2::kEventMidi)
            std::memcpy(captured.mData, reinterpret_cast<const vst2::MidiEvent*>(event)->midiData,
                        sizeof(captured.mData));
        if (const auto* sysex = reinterpret_cast<const vst2::SysExEvent*>(event);
            event->type == vst2::kEventSysEx && sysex->sysexDump && sysex->dumpBytes > 0)
            captured.mSysEx.assign(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
        mEvents.push_back(captured);
    }
}

std::vector<CapturedEvent> VstHost::EventsFrom(std::size_t first)
{
    std::lock_guard lock(mCallbackMutex);
    if (first >= mEvents.size())
        return {};
    return std::vector<CapturedEvent>(mEvents.begin() + static_cast<std::ptrdiff_t>(first),
                                      mEvents.end());
}

int VstHost::CallbackCount(int32_t opcode) const noexcept
{
    if (opcode < 0 || opcode >= static_cast<int32_t>(mCallbackCounts.size()))
        return 0;
    return mCallbackCounts[static_cast<std::size_t>(opcode)];
}

void VstHost::ClearCaptures()
{
    ClearEvents();
    mCallbackCounts.fill(0);
}

void VstHost::ClearEvents() noexcept
{
    mEvents.clear();
    mAutomation.clear();
    mGestures.clear();
    mEventCalls = 0;
}

void VstHost::SetCallbackHook(std::function<void(VstHost&, int32_t)> hook)
{
    mHook = std::move(hook);
}

void VstHost::SetCallWatcher(std::function<void(const HostCall&)> watcher)
{
    mWatcher = std::move(watcher);
}

intptr_t VstHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (!mpEffect)
        return 0;
    return mpEffect->dispatcher(mpEffect, opcode, index, value, ptr, opt);
}

bool VstHost::HasEditor() const noexcept
{
    return mpEffect && (mpEffect->flags & vst2::kFlagHasEditor) != 0;
}

bool VstHost::EditorSize(int& width, int& height)
{
    vst2::EditorRect* rect = nullptr;
    if (Dispatch(vst2::effEditGetRect, 0, 0, &rect) == 0 || !rect)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0;
}

bool VstHost::OpenEditor(void* parent)
{
    return Dispatch(vst2::effEditOpen, 0, 0, parent) == 1;
}

bool VstHost::CloseEditor()
{
    return Dispatch(vst2::effEditClose) == 1;
}

void VstHost::EditorIdle()
{
    Dispatch(vst2::effEditIdle);
}

void VstHost::Start(float sampleRate, int blockSize)
{
    Open();
    SetSampleRate(sampleRate);
    SetBlockSize(blockSize);
    Resume();
}

void VstHost::Open()
{
    Dispatch(vst2::effOpen);
}

void VstHost::SetSampleRate(float rate)
{
    mSampleRate = rate;
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate);
}

void VstHost::SetBlockSize(int frames)
{
    mBlockSize = frames;
    Dispatch(vst2::effSetBlockSize, 0, frames);
}

void VstHost::Resume()
{
    Dispatch(vst2::effMainsChanged, 0, 1);
}

void VstHost::Suspend()
{
    Dispatch(vst2::effMainsChanged, 0, 0);
}

void VstHost::Close()
{
    if (!mpEffect)
        return;
    Dispatch(vst2::effClose);
    mpEffect = nullptr;
    mLibrary.Close();
}

void VstHost::SetParameter(int32_t index, float value)
{
    if (mpEffect && mpEffect->setParameter)
        mpEffect->setParameter(mpEffect, index, value);
}

float VstHost::GetParameter(int32_t index)
{
    return mpEffect && mpEffect->getParameter ? mpEffect->getParameter(mpEffect, index) : 0.0f;
}

std::string VstHost::ReadText(int32_t opcode, int32_t index, intptr_t* answer)
{
    char text[kTextBuffer] = {};
    const intptr_t result = Dispatch(opcode, index, 0, text);
    if (answer)
        *answer = result;
    text[kTextBuffer - 1] = '\0';
    return text;
}

std::string VstHost::ParamName(int32_t index)
{
    return ReadText(vst2::effGetParamName, index);
}

std::string VstHost::ParamLabel(int32_t index)
{
    return ReadText(vst2::effGetParamLabel, index);
}

std::string VstHost::ParamDisplay(int32_t index)
{
    return ReadText(vst2::effGetParamDisplay, index);
}

std::string VstHost::ProgramName()
{
    return ReadText(vst2::effGetProgramName, 0);
}

std::string VstHost::ProgramNameIndexed(int32_t index, intptr_t* answer)
{
    return ReadText(vst2::effGetProgramNameIndexed, index, answer);
}

std::string VstHost::EffectName()
{
    return ReadText(vst2::effGetEffectName, 0);
}

std::string VstHost::VendorString()
{
    return ReadText(vst2::effGetVendorString, 0);
}

std::string VstHost::ProductString()
{
    return ReadText(vst2::effGetProductString, 0);
}

intptr_t VstHost::CanDo(const char* query)
{
    return Dispatch(vst2::effCanDo, 0, 0, const_cast<char*>(query));
}

std::vector<uint8_t> VstHost::GetChunk(bool bank, const void** data)
{
    void* address = nullptr;
    const intptr_t size = Dispatch(vst2::effGetChunk, bank ? 0 : 1, 0, &address);
    if (data)
        *data = address;
    if (size <= 0 || !address)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(address);
    return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t VstHost::SetChunk(const std::vector<uint8_t>& bytes, bool bank)
{
    // Hand over a copy of our own, as a host restoring a project would.
    std::vector<uint8_t> copy = bytes;
    return Dispatch(vst2::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(copy.size()),
                    copy.empty() ? nullptr : copy.data());
}

intptr_t VstHost::SendMidi(uint8_t status, uint8_t data1, uint8_t data2, int32_t deltaFrames)
{
    vst2::MidiEvent event{};
    event.type = vst2::kEventMidi;
    event.byteSize = static_cast<int32_t>(sizeof(event));
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return SendEvents({reinterpret_cast<vst2::Event*>(&event)});
}

intptr_t VstHost::SendEvents(const std::vector<vst2::Event*>& events)
{
    // The list's pointer array holds as many entries as there are events.
    const std::size_t n = events.size();
    const std::size_t bytes =
        offsetof(vst2::Events, events) + std::max<std::size_t>(n, 2) * sizeof(vst2::Event*);
    std::vector<std::max_align_t> storage(bytes / sizeof(std::max_align_t) + 1);
    auto* list = new (storage.data()) vst2::Events{};
    list->numEvents = static_cast<int32_t>(n);
    vst2::Event** entries = list->events;
    for (std::size_t i = 0; i < n; ++i)
        entries[i] = events[i];
    return Dispatch(vst2::effProcessEvents, 0, 0, list);
}

} // namespace orxhost
