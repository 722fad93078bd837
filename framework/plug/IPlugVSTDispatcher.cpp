// IPlugVST: the dispatcher table, chunks, events, pins and capabilities.
// Everything here runs under the instance lock taken by VSTDispatcher.

#include "IPlugVST.h"

#include "IPlugEditor.h"
#include "TextUtil.h"
#include "Trace.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{

// Text copies into host buffers copy the whole field, terminating NUL included.
intptr_t CopyToHost(void* ptr, const char* text, std::size_t fieldSize) noexcept
{
    if (!ptr)
        return 0;
    orx::CopyText(static_cast<char*>(ptr), fieldSize, text);
    return 1;
}

const char* const kMidiCanDos[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                   "receiveVstMidiEvent"};

} // namespace

intptr_t IPlugVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    switch (opcode)
    {
    case vst2::effOpen:
        HostSetup();
        for (int i = 0; i < NParams(); ++i)
            HandleParamChange(i);
        return 0;
    case vst2::effSetProgram:
        if (!DoesChunks())
            StoreCurrentPreset();
        BeginHostLoad();
        LoadPresetSlot(orx::ClampToInt(value));
        EndHostLoad();
        return 0;
    case vst2::effGetProgram:
        return CurrentPreset();
    case vst2::effSetProgramName:
        if (ptr)
        {
            char name[IPresetSlot::kNameSize];
            orx::CopyText(name, sizeof(name), static_cast<const char*>(ptr));
            StoreCurrentPreset(name);
        }
        return 0;
    case vst2::effGetProgramName:
        CopyToHost(ptr, PresetSlotName(CurrentPreset()), IPresetSlot::kNameSize);
        return 0;
    case vst2::effGetParamLabel:
        if (const IParameter* param = GetParam(index))
            CopyToHost(ptr, param->Label(), IParameter::kTextSize);
        return 0;
    case vst2::effGetParamDisplay:
        if (const IParameter* param = GetParam(index); param && ptr)
            param->DisplayText(param->Value(), false, static_cast<char*>(ptr),
                               IParameter::kTextSize);
        return 0;
    case vst2::effGetParamName:
        if (const IParameter* param = GetParam(index))
            CopyToHost(ptr, param->Name(), IParameter::kTextSize);
        return 0;
    case vst2::effSetSampleRate:
        // A rate of zero or less would divide every timing by nothing: keep the last one.
        if (std::isfinite(opt) && opt > 0.0f)
        {
            SetSampleRate(opt);
            HandleReset();
        }
        return 0;
    case vst2::effSetBlockSize:
        SetBlockLength(orx::ClampToInt(value));
        HandleReset();
        return 0;
    case vst2::effMainsChanged:
        if (value != 0)
            HandleActivate(true);
        else
        {
            HandleActivate(false);
            HandleReset();
        }
        return 0;
    case vst2::effEditGetRect:
        if (!ptr || !GetEditor() || !GetEditor()->HasScreen())
            return 0;
        *static_cast<vst2::EditorRect**>(ptr) = &mEditorRect;
        return 1;
    case vst2::effEditOpen:
        if (IPlugEditor* editor = GetEditor();
            editor && editor->HasScreen() && editor->OpenWindow(ptr))
        {
            HandleEditorOpen();
            return 1;
        }
        return 0;
    case vst2::effEditClose:
        if (IPlugEditor* editor = GetEditor())
        {
            HandleEditorClose();
            editor->CloseWindow();
            return 1;
        }
        return 0;
    case vst2::effEditKeyDown:
    {
        // Undo and redo keys the host passes on while the editor has the keyboard.
        const int modifiers = std::isfinite(opt) ? static_cast<int>(opt) : 0;
        const bool control = (modifiers & (vst2::kModifierCommand | vst2::kModifierControl)) != 0;
        IPlugEditor* editor = GetEditor();
        return editor && editor->IsWindowOpen() &&
                       editor->KeyFromHost(index, control, (modifiers & vst2::kModifierShift) != 0)
                   ? 1
                   : 0;
    }
    case vst2::effIdentify:
        return vst2::kIdentifyAnswer;
    case vst2::effGetChunk:
        return GetChunk(index, ptr);
    case vst2::effSetChunk:
        return SetChunk(index, value, ptr);
    case vst2::effProcessEvents:
        return ProcessEvents(static_cast<const vst2::Events*>(ptr));
    case vst2::effCanBeAutomated:
        return 1;
    case vst2::effGetProgramNameIndexed:
        if (!ptr)
            return 0;
        CopyToHost(ptr, PresetSlotName(index), IPresetSlot::kNameSize);
        return static_cast<const char*>(ptr)[0] ? 1 : 0;
    case vst2::effGetInputProperties:
    case vst2::effGetOutputProperties:
        return PinProperties(opcode == vst2::effGetInputProperties, index, ptr);
    case vst2::effGetPlugCategory:
        return IsInstrument() ? vst2::kCategorySynth : vst2::kCategoryEffect;
    case vst2::effProcessVarIo:
        return 0;
    case vst2::effSetSpeakerArrangement:
        SetSpeakerArrangements(reinterpret_cast<const vst2::SpeakerArrangement*>(value),
                               static_cast<const vst2::SpeakerArrangement*>(ptr));
        return 1;
    case vst2::effGetEffectName:
        return CopyToHost(ptr, EffectName(), kNameSize);
    case vst2::effGetVendorString:
        return CopyToHost(ptr, MfrName(), kNameSize);
    case vst2::effGetProductString:
        return CopyToHost(ptr, ProductName(), kNameSize);
    case vst2::effVendorSpecific:
        if (index == 7 && ptr && value >= 0 && value < NParams())
        {
            GetParam(static_cast<int>(value))
                ->DisplayText(opt, true, static_cast<char*>(ptr), IParameter::kTextSize);
            return kVendorSpecificAnswer;
        }
        return 0;
    case vst2::effCanDo:
        return ptr ? CanDo(static_cast<const char*>(ptr)) : 0;
    case vst2::effGetVstVersion:
        return vst2::kVstVersion;
    case vst2::effGetMidiKeyName:
        if (auto* key = static_cast<vst2::MidiKeyName*>(ptr))
        {
            key->keyName[0] = '\0';
            const bool named =
                GetMidiNoteText(key->thisKeyNumber, key->keyName, sizeof(key->keyName));
            key->keyName[sizeof(key->keyName) - 1] = '\0';
            return named ? 1 : 0;
        }
        return 0;
    case vst2::effGetSpeakerArrangement:
        if (value)
            *reinterpret_cast<vst2::SpeakerArrangement**>(value) = &mInputSpkrArr;
        if (ptr)
            *static_cast<vst2::SpeakerArrangement**>(ptr) = &mOutputSpkrArr;
        return 1;
    default:
        return 0;
    }
}

intptr_t IPlugVST::GetChunk(int32_t index, void* ptr)
{
    if (!ptr)
        return 0;
    const bool bank = index == 0;
    IByteChunk& chunk = bank ? mBankChunk : mProgramChunk;
    if (!WriteHostChunk(chunk, bank) || chunk.Size() == 0)
        return 0;
    *static_cast<void**>(ptr) = chunk.Data();
    return chunk.Size();
}

intptr_t IPlugVST::SetChunk(int32_t index, intptr_t size, const void* ptr)
{
    if (!ptr || size < 0 || size > INT32_MAX)
        return 0;
    const bool bank = index == 0;
    IByteChunk& chunk = bank ? mBankChunk : mProgramChunk;
    // The host may hand back the pointer effGetChunk gave it, i.e. this chunk's own bytes.
    if (!chunk.Assign(ptr, static_cast<int>(size)))
        return 0;
    return ReadHostChunk(chunk, bank) ? 1 : 0;
}

intptr_t IPlugVST::ProcessEvents(const vst2::Events* events)
{
    if (!events)
        return 0;
    // Hosts size the pointer array to numEvents; read it through a plain pointer.
    vst2::Event* const* entries = events->events;
    for (int32_t i = 0; i < events->numEvents; ++i)
    {
        vst2::Event* event = entries[i];
        if (!event)
            continue;
        if (event->type == vst2::kEventMidi)
        {
            const auto* midi = reinterpret_cast<const vst2::MidiEvent*>(event);
            IMidiMessage msg;
            msg.mOffset = midi->deltaFrames;
            msg.mStatus = static_cast<uint8_t>(midi->midiData[0]);
            msg.mData1 = static_cast<uint8_t>(midi->midiData[1]);
            msg.mData2 = static_cast<uint8_t>(midi->midiData[2]);
            HandleMidiMessage(msg);
        }
        else if (event->type == vst2::kEventSysEx)
        {
            const auto* sysex = reinterpret_cast<const vst2::SysExEvent*>(event);
            // A dump without bytes, or without a size that makes sense, carries nothing.
            if (sysex->dumpBytes <= 0 || !sysex->sysexDump)
                continue;
            ISysExMessage msg;
            msg.mOffset = sysex->deltaFrames;
            msg.mpData = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            msg.mSize = sysex->dumpBytes;
            HandleSysEx(msg);
        }
        else
        {
            vst2::Events one{};
            one.numEvents = 1;
            one.events[0] = event;
            CallHost(vst2::audioMasterProcessEvents, 0, 0, &one);
        }
    }
    return 1;
}

intptr_t IPlugVST::PinProperties(bool input, int32_t index, void* ptr) const
{
    const int count = input ? NInChannels() : NOutChannels();
    if (!ptr || index < 0 || index >= count)
        return 0;
    auto* pin = static_cast<vst2::PinProperties*>(ptr);
    std::memset(pin, 0, sizeof(*pin));
    pin->flags = vst2::kPinIsActive;
    if (index % 2 == 0 && index < count - 1)
        pin->flags |= vst2::kPinIsStereo;
    std::snprintf(pin->label, sizeof(pin->label), input ? "Input %d" : "Output %d", index + 1);
    return 1;
}

intptr_t IPlugVST::CanDo(const char* query)
{
    ORX_TRACE("IPlugVST::VSTDispatcher", "VSTCanDo(%s)", query);
    if (std::strcmp(query, "receiveVstTimeInfo") == 0)
        return 1;
    if (mDoesMidi)
        for (const char* midi : kMidiCanDos)
            if (std::strcmp(query, midi) == 0)
                return 1;
    if (std::strcmp(query, "hasCockosExtensions") == 0)
    {
        mHostCapabilities |= kCockosExtensions;
        return kCockosAnswer;
    }
    if (std::strcmp(query, "hasCockosViewAsConfig") == 0)
    {
        mHostCapabilities |= kCockosViewAsConfig;
        return kCockosAnswer;
    }
    return 0;
}

void IPlugVST::SetSpeakerArrangements(const vst2::SpeakerArrangement* in,
                                      const vst2::SpeakerArrangement* out) noexcept
{
    if (in)
    {
        const int n = std::max(0, std::min(in->numChannels, NInChannels()));
        SetInputConnections(0, n, true);
        SetInputConnections(n, NInChannels() - n, false);
    }
    if (out)
    {
        const int n = std::max(0, std::min(out->numChannels, NOutChannels()));
        SetOutputConnections(0, n, true);
        SetOutputConnections(n, NOutChannels() - n, false);
    }
}
