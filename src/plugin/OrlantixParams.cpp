// The parameter tables: index, name, kind, range, default, display texts and change handler of
// every parameter, and the instance's initialisation of its records from them.

#include "BeatClock.h"
#include "Check.h"
#include "Modifiers.h"
#include "Orlantix.h"
#include "OrlantixHandlers.h"
#include "Scale.h"

#include <array>
#include <cstdio>
#include <iterator>
#include <new>

namespace
{

using namespace handlers;

constexpr std::array<const char*, kNumBeatDivisions> MakeDivisionNames()
{
    std::array<const char*, kNumBeatDivisions> names{};
    for (int i = 0; i < kNumBeatDivisions; ++i)
        names[i] = beatDivisionParamsTable[i].mText;
    return names;
}
constexpr std::array<const char*, kNumBeatDivisions> kDivisionNames = MakeDivisionNames();

// "C0" .. "G10": the pitch class, then the octave as note / 12.
struct NoteNames
{
    char mText[128][5] = {};

    constexpr NoteNames()
    {
        constexpr const char* kClasses[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                              "F#", "G",  "G#", "A",  "A#", "B"};
        for (int note = 0; note < 128; ++note)
        {
            int n = 0;
            for (const char* c = kClasses[note % 12]; *c; ++c)
                mText[note][n++] = *c;
            const int octave = note / 12;
            if (octave >= 10)
                mText[note][n++] = static_cast<char>('0' + octave / 10);
            mText[note][n++] = static_cast<char>('0' + octave % 10);
        }
    }
};
constexpr NoteNames kNoteNames;

constexpr std::array<const char*, 128> MakeNoteNamePointers()
{
    std::array<const char*, 128> names{};
    for (int i = 0; i < 128; ++i)
        names[i] = kNoteNames.mText[i];
    return names;
}
constexpr std::array<const char*, 128> kNoteNamePointers = MakeNoteNamePointers();

constexpr const char* kDegreeNames[7] = {"1", "2", "3", "4", "5", "6", "7"};

constexpr IntParamDesc kIntParams[] = {
    {{"Chan", "", kChan, &Chan}, 1, 1, 16},
    {{"Vel", "", kVel, &Vel}, 100, 0, 127},
    {{"NumStep", "", kNumStep, &NumStep}, 12, 1, 12},
    {{"NumPulse", "", kNumPulse, &NumPulse}, 4, 2, 4},
    {{"SeqSteps", "", kSeqSteps, &SeqSteps}, 48, 1, 48},
    {{"StepOne", "", kStepOne, &StepOne}, 1, 1, 12},
    {{"StkCount", "", kStkCount, &SeqCount}, 1, 1, 64},
    {{"StkBegin", "", kStkBegin, &SeqBegin}, 1, 1, 8},
    {{"StkLen", "", kStkLen, &SeqLen}, 8, 1, 8},
    {{"MelCount", "", kMelCount, &SeqCount}, 1, 1, 64},
    {{"MelBegin", "", kMelBegin, &SeqBegin}, 1, 1, 8},
    {{"MelLen", "", kMelLen, &SeqLen}, 8, 1, 8},
};

constexpr BoolParamDesc kBoolParams[] = {
    {{"SeqEnab", "", kSeqEnab, &SeqEnab}, true},
    {{"StkRun", "", kStkRun, &SeqRun}, true},
    {{"MelRun", "", kMelRun, &SeqRun}, true},
    {{"RowSolo1", "", kRowSolo1, &RowSolo}, false},
    {{"RowSolo2", "", kRowSolo1 + 1, &RowSolo}, false},
    {{"RowSolo3", "", kRowSolo1 + 2, &RowSolo}, false},
    {{"RowSolo4", "", kRowSolo1 + 3, &RowSolo}, false},
    {{"RowMute1", "", kRowMute1, &RowMute}, false},
    {{"RowMute2", "", kRowMute1 + 1, &RowMute}, false},
    {{"RowMute3", "", kRowMute1 + 2, &RowMute}, false},
    {{"RowMute4", "", kRowMute1 + 3, &RowMute}, false},
};

constexpr const char* const* kDivisionTexts = kDivisionNames.data();
constexpr const char* const* kNoteTexts = kNoteNamePointers.data();

constexpr EnumParamDesc kEnumParams[] = {
    {{"TimeUnits", "", kTimeUnits, &TimeUnits},
     kDefaultBeatDivision,
     kNumBeatDivisions,
     kDivisionTexts},
    {{"LengthUnits", "", kLengthUnits, &LengthUnits},
     kDefaultBeatDivision,
     kNumBeatDivisions,
     kDivisionTexts},
    {{"Tonic", "", kTonic, &Tonic}, 60, 128, kNoteTexts},
    {{"ival1", "", kIval1, &ChordDegree}, 0, 7, kDegreeNames},
    {{"ival2", "", kIval1 + 1, &ChordDegree}, 2, 7, kDegreeNames},
    {{"ival3", "", kIval1 + 2, &ChordDegree}, 4, 7, kDegreeNames},
    {{"ival4", "", kIval1 + 3, &ChordDegree}, 0, 7, kDegreeNames},
    {{"ival5", "", kIval1 + 4, &ChordDegree}, 2, 7, kDegreeNames},
    {{"ival6", "", kIval1 + 5, &ChordDegree}, 5, 7, kDegreeNames},
    {{"ival7", "", kIval1 + 6, &ChordDegree}, 0, 7, kDegreeNames},
    {{"ival8", "", kIval1 + 7, &ChordDegree}, 3, 7, kDegreeNames},
    {{"ival9", "", kIval1 + 8, &ChordDegree}, 5, 7, kDegreeNames},
    {{"ival10", "", kIval1 + 9, &ChordDegree}, 1, 7, kDegreeNames},
    {{"ival11", "", kIval1 + 10, &ChordDegree}, 3, 7, kDegreeNames},
    {{"ival12", "", kIval1 + 11, &ChordDegree}, 5, 7, kDegreeNames},
    {{"mode", "", kMode, &Mode}, 0, kNumModes, kModeNames},
    {{"StepDir", "", kStepDir, &StepDir}, 0, kNumSequencerModes, kDirectionNames},
    {{"stkMod1", "", kStkMod1, &ModValue}, kStrikeNone, kNumStrikeModifiers, kStrikeModifierNames},
    {{"stkMod2", "", kStkMod1 + 1, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkMod3", "", kStkMod1 + 2, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkMod4", "", kStkMod1 + 3, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkMod5", "", kStkMod1 + 4, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkMod6", "", kStkMod1 + 5, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkMod7", "", kStkMod1 + 6, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkMod8", "", kStkMod1 + 7, &ModValue},
     kStrikeNone,
     kNumStrikeModifiers,
     kStrikeModifierNames},
    {{"stkModT1", "", kStkModT1, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT2", "", kStkModT1 + 1, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT3", "", kStkModT1 + 2, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT4", "", kStkModT1 + 3, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT5", "", kStkModT1 + 4, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT6", "", kStkModT1 + 5, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT7", "", kStkModT1 + 6, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"stkModT8", "", kStkModT1 + 7, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"SMDir", "", kSMDir, &SeqDir}, 0, kNumSequencerModes, kDirectionNames},
    {{"melMod1", "", kMelMod1, &ModValue}, kMelodyNone, kNumMelodyModifiers, kMelodyModifierNames},
    {{"melMod2", "", kMelMod1 + 1, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"melMod3", "", kMelMod1 + 2, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"melMod4", "", kMelMod1 + 3, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"melMod5", "", kMelMod1 + 4, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"melMod6", "", kMelMod1 + 5, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"melMod7", "", kMelMod1 + 6, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"melMod8", "", kMelMod1 + 7, &ModValue},
     kMelodyNone,
     kNumMelodyModifiers,
     kMelodyModifierNames},
    {{"MekModT1", "", kMekModT1, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT2", "", kMekModT1 + 1, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT3", "", kMekModT1 + 2, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT4", "", kMekModT1 + 3, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT5", "", kMekModT1 + 4, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT6", "", kMekModT1 + 5, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT7", "", kMekModT1 + 6, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MekModT8", "", kMekModT1 + 7, &ModPermanence}, kTemporary, 2, kPermanenceNames},
    {{"MelDir", "", kMelDir, &SeqDir}, 0, kNumSequencerModes, kDirectionNames},
    {{"Interval", "", kInterval, &IntervalSet}, 0, kNumIntervalSets, kIntervalSetNames},
    {{"Scale", "", kScale, &ScaleIndex}, 0, kNumScales, kScaleNames},
};

constexpr DoubleParamDesc kDoubleParams[] = {
    {{"Slow", "", kSlow, &Slow}, 1.0, 0.1, 4.0, 0.01},
    {{"Swing", "", kSwing, &Swing}, 0.0, 0.0, 1.0, 0.01},
    {{"VelJitt", "", kVelJitt, &VelJitt}, 0.0, 0.0, 1.0, 0.01},
    {{"LenJitt", "", kLenJitt, &LenJitt}, 0.0, 0.0, 1.0, 0.01},
    {{"Human", "", kHuman, &Human}, 0.0, 0.0, 1.0, 0.01},
    {{"LifeProb", "", kLifeProb, &LifeProb}, 0.0, 0.0, 1.0, 0.01},
    {{"StkProb", "", kStkProb, &SeqProb}, 1.0, 0.0, 1.0, 0.01},
    {{"MelProb", "", kMelProb, &SeqProb}, 1.0, 0.0, 1.0, 0.01},
};

constexpr TriggerParamDesc kTriggerParams[] = {
    {{"", "", kCellTrigger, &NoChange}},
    {{"StkRst", "", kStkRst, &SeqReset}},
    {{"MelRst", "", kMelRst, &SeqReset}},
    {{"M L", "", kFirstCommand, &MelodyCommand}},
    {{"M R", "", kFirstCommand + 1, &MelodyCommand}},
    {{"M U", "", kFirstCommand + 2, &MelodyCommand}},
    {{"M D", "", kFirstCommand + 3, &MelodyCommand}},
    {{"M LR", "", kFirstCommand + 4, &MelodyCommand}},
    {{"M TB", "", kFirstCommand + 5, &MelodyCommand}},
    {{"M C", "", kFirstCommand + 6, &MelodyCommand}},
    {{"M E", "", kFirstCommand + 7, &MelodyCommand}},
    {{"M D", "", kFirstCommand + 8, &MelodyCommand}},
    {{"R L", "", kFirstRowCommand, &RowCommand}},
    {{"R R", "", kFirstRowCommand + 1, &RowCommand}},
    {{"R U", "", kFirstRowCommand + 2, &RowCommand}},
    {{"R D", "", kFirstRowCommand + 3, &RowCommand}},
    {{"R LR", "", kFirstRowCommand + 4, &RowCommand}},
    {{"R TB", "", kFirstRowCommand + 5, &RowCommand}},
    {{"R C", "", kFirstRowCommand + 6, &RowCommand}},
    {{"R E", "", kFirstRowCommand + 7, &RowCommand}},
    {{"R D", "", kFirstRowCommand + 8, &RowCommand}},
    {{"R Lp", "", kFirstRowCommand + 9, &RowCommand}},
    {{"R Rp", "", kFirstRowCommand + 10, &RowCommand}},
    {{"R LRp", "", kFirstRowCommand + 11, &RowCommand}},
    {{"RowSel1", "", kRowSel1, &NoChange}},
    {{"RowSel2", "", kRowSel1 + 1, &NoChange}},
    {{"RowSel3", "", kRowSel1 + 2, &NoChange}},
    {{"RowSel4", "", kRowSel1 + 3, &NoChange}},
};

static_assert(std::size(kIntParams) == 12 && std::size(kBoolParams) == 11 &&
              std::size(kEnumParams) == 53 && std::size(kDoubleParams) == 8 &&
              std::size(kTriggerParams) == 28);
static_assert(kFirstRowCommand + 11 == kLastCommand);

constexpr ParamTables kTables = {
    kIntParams,     static_cast<int>(std::size(kIntParams)),
    kBoolParams,    static_cast<int>(std::size(kBoolParams)),
    kEnumParams,    static_cast<int>(std::size(kEnumParams)),
    kDoubleParams,  static_cast<int>(std::size(kDoubleParams)),
    kTriggerParams, static_cast<int>(std::size(kTriggerParams)),
};

} // namespace

const ParamTables& OrlantixParamTables() noexcept
{
    return kTables;
}

void Orlantix::RegisterDesc(const ParamChangeDesc& desc)
{
    const int idx = desc.mParamIdx;
    ORX_CHECK(kTag, idx >= 0 && idx < kNumOrlantixParams,
              "pDesc->mParamIdx >= 0 && pDesc->mParamIdx < NumParams()");
    if (idx < 0 || idx >= kNumOrlantixParams)
        return;
    ORX_CHECK(kTag, mpParamChangeDesc[idx] == nullptr,
              "mpParamChangeDesc[ pDesc->mParamIdx ] == 0");
    mpParamChangeDesc[idx] = &desc;
}

void Orlantix::InitParams()
{
    const ParamTables& t = OrlantixParamTables();
    for (int i = 0; i < t.mNumInts; ++i)
    {
        const IntParamDesc& d = t.mpInts[i];
        RegisterDesc(d);
        if (IParameter* p = GetParam(d.mParamIdx))
            p->InitInt(d.mName, d.mDefault, d.mMin, d.mMax, d.mLabel);
    }
    for (int i = 0; i < t.mNumBools; ++i)
    {
        const BoolParamDesc& d = t.mpBools[i];
        RegisterDesc(d);
        if (IParameter* p = GetParam(d.mParamIdx))
            p->InitBool(d.mName, d.mDefault);
    }
    for (int i = 0; i < t.mNumEnums; ++i)
    {
        const EnumParamDesc& d = t.mpEnums[i];
        RegisterDesc(d);
        if (IParameter* p = GetParam(d.mParamIdx))
        {
            p->InitEnum(d.mName, d.mDefault, d.mCount);
            for (int k = 0; k < d.mCount; ++k)
                if (!p->AddDisplayText(k, d.mpTexts[k]))
                    throw std::bad_alloc();
        }
    }
    for (int i = 0; i < t.mNumDoubles; ++i)
    {
        const DoubleParamDesc& d = t.mpDoubles[i];
        RegisterDesc(d);
        if (IParameter* p = GetParam(d.mParamIdx))
            p->InitDouble(d.mName, d.mDefault, d.mMin, d.mMax, d.mStep, d.mLabel);
    }
    for (int i = 0; i < t.mNumTriggers; ++i)
    {
        const TriggerParamDesc& d = t.mpTriggers[i];
        RegisterDesc(d);
        if (IParameter* p = GetParam(d.mParamIdx))
            p->InitDouble(d.mName, 0.0, 0.0, 1.0, 1.0, d.mLabel);
    }
}

void Orlantix::MakeGrooveParams()
{
    const GrooveMaker& groove = mEngine.mGroove;
    char name[IParameter::kTextSize];
    for (int n = 0; n < kNumGrooveSteps; ++n)
    {
        std::snprintf(name, sizeof(name), "gmLock%d", n);
        if (IParameter* p = GetParam(kGrooveLock0 + n))
        {
            p->InitInt(name, 0, 0, 1);
            p->SetValue(groove.Locked(n) ? 1.0 : 0.0);
        }
        std::snprintf(name, sizeof(name), "gmMute%d", n);
        if (IParameter* p = GetParam(kGrooveMute0 + n))
        {
            p->InitInt(name, 0, 0, 1);
            p->SetValue(groove.Muted(n) ? 1.0 : 0.0);
        }
    }
}
