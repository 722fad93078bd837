#pragma once
// Our own declarations of the VST 2 interface records, opcodes and flags: the layouts hosts in
// the field use. Every size and the offsets hosts rely on are checked at compile time for the
// 32-bit and the 64-bit builds, so a layout slip fails the build instead of a host.

#include <cstddef>
#include <cstdint>

// Every function pointer of the interface uses the C calling convention; only 32-bit Windows
// has a different default for some compilers, so the attribute is spelt out there.
#if defined(_WIN32) && !defined(_WIN64)
#define ORX_VSTCALL __cdecl
#else
#define ORX_VSTCALL
#endif

// Hosts are built with 8-byte packing on Windows; on x86_64 Linux this equals natural alignment.
#pragma pack(push, 8)

namespace vst2
{

struct Effect;

using HostCallback = intptr_t(ORX_VSTCALL*)(Effect* effect, int32_t opcode, int32_t index,
                                            intptr_t value, void* ptr, float opt);
using DispatcherProc = intptr_t(ORX_VSTCALL*)(Effect* effect, int32_t opcode, int32_t index,
                                              intptr_t value, void* ptr, float opt);
using ProcessProc = void(ORX_VSTCALL*)(Effect* effect, float** inputs, float** outputs,
                                       int32_t frames);
using ProcessDoubleProc = void(ORX_VSTCALL*)(Effect* effect, double** inputs, double** outputs,
                                             int32_t frames);
using SetParameterProc = void(ORX_VSTCALL*)(Effect* effect, int32_t index, float value);
using GetParameterProc = float(ORX_VSTCALL*)(Effect* effect, int32_t index);

// The signature of the exported entry points VSTPluginMain and main.
using EntryProc = Effect*(ORX_VSTCALL*)(HostCallback host);

inline constexpr int32_t kEffectMagic = 0x56737450; // "VstP"

// The plug-in's record, handed to the host by the entry point.
struct Effect
{
    int32_t magic;
    DispatcherProc dispatcher;
    ProcessProc process; // the accumulating entry
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    void* resvd1; // the host's: never written by the plug-in after construction
    void* resvd2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object; // the plug-in instance
    void* user;
    int32_t uniqueID;
    int32_t version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum EffectFlags : int32_t
{
    kFlagHasEditor = 1,
    kFlagCanMono = 8,
    kFlagCanReplacing = 16,
    kFlagProgramChunks = 32,
    kFlagIsSynth = 256,
    kFlagNoSoundInStop = 512,
    kFlagCanDoubleReplacing = 4096,
};

struct TimeInfo
{
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t timeSigNumerator;
    int32_t timeSigDenominator;
    int32_t smpteOffset;
    int32_t smpteFrameRate;
    int32_t samplesToNextClock;
    int32_t flags;
};

enum TimeInfoFlags : int32_t
{
    kTimeChanged = 1,
    kTimePlaying = 2,
    kTimeCycleActive = 4,
    kTimeRecording = 8,
    kTimeAutomationWriting = 64,
    kTimeAutomationReading = 128,
    kTimeNanosValid = 256,
    kTimePpqValid = 512,
    kTimeTempoValid = 1024,
    kTimeBarsValid = 2048,
    kTimeCycleValid = 4096,
    kTimeSigValid = 8192,
    kTimeSmpteValid = 16384,
    kTimeClockValid = 32768,
};

// The header every event shares; MIDI and SysEx events extend it to 32 bytes or more.
struct Event
{
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    char data[16];
};

enum EventType : int32_t
{
    kEventMidi = 1,
    kEventSysEx = 6,
};

struct MidiEvent
{
    int32_t type; // kEventMidi
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags; // 1 = realtime
    int32_t noteLength;
    int32_t noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

// A system-exclusive message: the bytes lie behind sysexDump, the host's (or the plug-in's)
// storage, valid only during the call that hands the event over.
struct SysExEvent
{
    int32_t type; // kEventSysEx
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t dumpBytes;
    intptr_t resvd1;
    char* sysexDump;
    intptr_t resvd2;
};

// An event list; the array is declared with two entries as hosts do, and real lists may be
// longer (numEvents says how long).
struct Events
{
    int32_t numEvents;
    intptr_t reserved;
    Event* events[2];
};

struct PinProperties
{
    char label[64];
    int32_t flags;
    int32_t arrangementType;
    char shortLabel[8];
    char future[48];
};

enum PinFlags : int32_t
{
    kPinIsActive = 1,
    kPinIsStereo = 2,
    kPinUseSpeaker = 4,
};

struct Speaker
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32_t type;
    char future[28];
};

struct SpeakerArrangement
{
    int32_t type;
    int32_t numChannels;
    Speaker speakers[8];
};

enum SpeakerArrangementType : int32_t
{
    kArrUserDefined = -2,
    kArrEmpty = -1,
    kArrMono = 0,
    kArrStereo = 1,
};

struct EditorRect
{
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

struct MidiKeyName
{
    int32_t thisProgramIndex;
    int32_t thisKeyNumber;
    char keyName[64];
    int32_t reserved;
    int32_t flags;
};

// Dispatcher opcodes (host to plug-in).
enum EffectOpcode : int32_t
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetVstVersion = 58,
    effEditKeyDown = 59, // index: the key's character, value: a VST key code, opt: modifiers
    effEditKeyUp = 60,
    effGetMidiKeyName = 66,
    effGetSpeakerArrangement = 69,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetProcessPrecision = 77,
};

// The modifier keys of effEditKeyDown (its opt): Control is "command" on a Mac and "control" on a
// PC, and hosts differ in which of the two bits they send for it.
enum KeyModifier : int32_t
{
    kModifierShift = 1,
    kModifierAlternate = 2,
    kModifierCommand = 4,
    kModifierControl = 8,
};

// Host-callback opcodes (plug-in to host).
enum HostOpcode : int32_t
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

enum PlugCategory : int32_t
{
    kCategoryEffect = 1,
    kCategorySynth = 2,
};

inline constexpr int32_t kVstVersion = 2400;
inline constexpr intptr_t kIdentifyAnswer = 0x4E764566; // "NvEf"

// Layout checks: one set per pointer size.
inline constexpr bool kIs64 = sizeof(void*) == 8;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);

static_assert(sizeof(Effect) == (kIs64 ? 192 : 144));
static_assert(offsetof(Effect, dispatcher) == (kIs64 ? 8 : 4));
static_assert(offsetof(Effect, numPrograms) == (kIs64 ? 40 : 20));
static_assert(offsetof(Effect, flags) == (kIs64 ? 56 : 36));
static_assert(offsetof(Effect, resvd1) == (kIs64 ? 64 : 40));
static_assert(offsetof(Effect, initialDelay) == (kIs64 ? 80 : 48));
static_assert(offsetof(Effect, ioRatio) == (kIs64 ? 92 : 60));
static_assert(offsetof(Effect, object) == (kIs64 ? 96 : 64));
static_assert(offsetof(Effect, uniqueID) == (kIs64 ? 112 : 72));
static_assert(offsetof(Effect, version) == (kIs64 ? 116 : 76));
static_assert(offsetof(Effect, processReplacing) == (kIs64 ? 120 : 80));
static_assert(offsetof(Effect, processDoubleReplacing) == (kIs64 ? 128 : 84));
static_assert(offsetof(Effect, future) == (kIs64 ? 136 : 88));

static_assert(sizeof(TimeInfo) == 88);
static_assert(offsetof(TimeInfo, tempo) == 32);
static_assert(offsetof(TimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(TimeInfo, flags) == 84);

static_assert(sizeof(Event) == 32);
static_assert(sizeof(MidiEvent) == 32);
static_assert(offsetof(MidiEvent, deltaFrames) == 8);
static_assert(offsetof(MidiEvent, midiData) == 24);
static_assert(offsetof(MidiEvent, detune) == 28);
static_assert(sizeof(SysExEvent) == (kIs64 ? 48 : 32));
static_assert(offsetof(SysExEvent, dumpBytes) == 16);
static_assert(offsetof(SysExEvent, sysexDump) == (kIs64 ? 32 : 24));
static_assert(offsetof(Events, reserved) == (kIs64 ? 8 : 4));
static_assert(offsetof(Events, events) == (kIs64 ? 16 : 8));

static_assert(sizeof(PinProperties) == 128);
static_assert(offsetof(PinProperties, flags) == 64);
static_assert(offsetof(PinProperties, shortLabel) == 72);

static_assert(sizeof(Speaker) == 112);
static_assert(offsetof(Speaker, type) == 80);
static_assert(sizeof(SpeakerArrangement) == 904);
static_assert(offsetof(SpeakerArrangement, speakers) == 8);

static_assert(sizeof(EditorRect) == 8);
static_assert(sizeof(MidiKeyName) == 80);
static_assert(offsetof(MidiKeyName, keyName) == 8);

} // namespace vst2

#pragma pack(pop)
