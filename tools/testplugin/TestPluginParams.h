#pragma once
// The parameters of the test plug-ins. The first kNumDeclared are declared to the host; the
// probes after them record what the plug-in saw (transport answers, handler calls) so a test
// can read them back through the host's parameter display.

#include "TextUtil.h"

enum TestParam
{
    kGain = 0, // real 0..2, step 0.01, label "x"
    kTransp,   // integer -24..24, the transposition of echoed notes
    kMode,     // enumeration "Alpha", "Beta", "Gamma"
    kEcho,     // boolean: echo incoming notes
    kCurve,    // real 0..1, step 0.001, shape 2
    kAtten,    // real 0..60, step 0.5, label "dB", shown negated
    kNumDeclared,

    kBlocks = kNumDeclared, // process-block calls
    kSubFrames,             // frames of the last process-block call
    kSeenPos,               // TransportSamplePosition
    kSeenTempo,             // TransportTempo
    kSeenNum,               // TransportTimeSignature
    kSeenDen,
    kSeenRun, // TransportIsRunning
    kTiPos,   // TransportTimeInfo, field by field
    kTiTempo,
    kTiPpq,
    kTiBar,
    kTiNum,
    kTiDen,
    kTiCycS,
    kTiCycE,
    kTiPlay,
    kTiCyc,
    kResets,       // HandleReset calls
    kActive,       // last HandleActivate argument, -1 before the first
    kParamChanges, // HandleParamChange calls
    kOverlaps,     // handler calls that found a process block running at the same time
    kHostId,       // HostId, as of the last reset or process block
    kNumParams,
};

inline constexpr int kTestUniqueId = orx::FourCC("OxTp");
inline constexpr int kTestEditorUniqueId = orx::FourCC("OxE1"); // the editor plug-ins
inline constexpr int kTestEditor2UniqueId = orx::FourCC("OxE2");
inline constexpr int kTestStateMagic = orx::FourCC("OXTP");
inline constexpr int kTestVersion = 0x010203;
inline constexpr int kGainController = 7; // control change 7 sets kGain, a bound controller
