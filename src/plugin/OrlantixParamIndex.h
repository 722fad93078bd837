#pragma once
// Where each setting of the plug-in lives in the parameter list. The names are the keys of the
// preset files, so indices and names never move; the first kNumDeclaredParams are the ones the
// host sees and automates.

enum EOrlantixParam
{
    kTimeUnits = 0,
    kLengthUnits = 1,
    kSlow = 2,
    kSwing = 3,
    kChan = 4,
    kVel = 5,
    kVelJitt = 6,
    kLenJitt = 7,
    kHuman = 8,
    kTonic = 9,
    kNumStep = 10,
    kNumPulse = 11,
    kIval1 = 12, // ival1..ival12: root degree of chord steps 0..11
    kSeqSteps = 24,
    kSeqEnab = 25,
    kMode = 26,
    kLifeProb = 27,
    kStepOne = 28,
    kStepDir = 29,
    kNumDeclaredParams = 60,

    kPresetField = 60, // carried by the preset field, so it opens its menu; blank

    kGrooveLock0 = 62,  // gmLock0..gmLock47
    kGrooveMute0 = 111, // gmMute0..gmMute47
    kCellTrigger = 160, // carried by the melody canvases; does nothing
    kStkMod1 = 162,
    kStkModT1 = 171,
    kStkRun = 180,
    kSMDir = 181,
    kStkRst = 182,
    kStkCount = 183,
    kStkProb = 184,
    kStkBegin = 185,
    kStkLen = 186,
    kMelMod1 = 187,
    kMekModT1 = 196,
    kMelRun = 205,
    kMelDir = 206,
    kMelRst = 207,
    kMelCount = 208,
    kMelProb = 209,
    kMelBegin = 210,
    kMelLen = 211,
    kFirstCommand = 212, // the "M" and "R" command triggers, 212..232
    kFirstRowCommand = 221,
    kLastCommand = 232,
    kInterval = 233,
    kScale = 234,
    kRowSel1 = 235,
    kRowSolo1 = 240,
    kRowMute1 = 245,
    kNumOrlantixParams = 250
};

inline constexpr int kNumGrooveSteps = 48;
inline constexpr int kNumAppendedParams = kNumOrlantixParams - kNumDeclaredParams;
