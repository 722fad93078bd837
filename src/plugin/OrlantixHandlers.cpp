#include "OrlantixHandlers.h"

#include "Check.h"
#include "Orlantix.h"
#include "OrlantixGui.h"
#include "TextUtil.h"

#include <algorithm>

namespace
{

int Truncate(double v) noexcept
{
    return orx::TruncateToInt(v);
}

// The strike sequencer's parameters come before the melody sequencer's.
ModifierPane PaneOf(const ParamChangeDesc& desc) noexcept
{
    return desc.mParamIdx < kMelMod1 ? ModifierPane::kStrike : ModifierPane::kMelody;
}

bool ValidDivision(int idx) noexcept
{
    const bool valid = idx >= 0 && idx < kNumBeatDivisions;
    ORX_CHECK(Orlantix::kTag, valid, "idx >= 0 && idx < NUM_ENTRIES(beatDivisionParamsTable)");
    return valid;
}

// The span control shows the progression's span; it only displays it, so a handler never
// writes NumStep or StepOne back before the other one has been read.
void ShowSpan(Orlantix& plug) noexcept
{
    const ChordProgression& progression = plug.Engine().mProgression;
    plug.View().ShowSpan(progression.BeginStep(),
                         progression.BeginStep() + progression.StepCount());
    plug.Gui().RedrawAll();
}

constexpr int kCommandCodes[kLastCommand - kFirstCommand + 1] = {
    2,  5,  8,  12, 0, 1, 24, 20, 21,    // M L, M R, M U, M D, M LR, M TB, M C, M E, M D
    12, 13, 10, 11, 5, 7, 4,  0,  1,  8, // R L, R R, R U, R D, R LR, R TB, R C, R E, R D, R Lp
    9,  6,                               // R Rp, R LRp
};

} // namespace

namespace handlers
{

void NoChange(Orlantix&, const ParamChangeDesc&, double) {}

void TimeUnits(Orlantix& plug, const ParamChangeDesc&, double v)
{
    const int idx = Truncate(v);
    if (ValidDivision(idx))
        plug.Engine().SetDivision(idx);
}

void LengthUnits(Orlantix& plug, const ParamChangeDesc&, double v)
{
    const int idx = Truncate(v);
    if (ValidDivision(idx))
        plug.Engine().SetNoteLengthDivision(idx);
}

void Slow(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.SetSlow(v);
}

void Swing(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetSwing(v);
}

void Chan(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetMidiChannel(Truncate(v) - 1);
}

void Vel(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetVelocity(Truncate(v));
}

void VelJitt(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetVelocityJitter(v);
}

void LenJitt(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetLengthJitter(v);
}

void Human(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetHumanise(v);
}

void Tonic(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetTonic(Truncate(v));
}

void ChordDegree(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Engine().SetChordDegree(desc.mParamIdx - kIval1, Truncate(v));
}

void Mode(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetMode(Truncate(v));
}

void IntervalSet(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetIntervalSet(Truncate(v));
}

void ScaleIndex(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetScale(Truncate(v));
}

void NumStep(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetStepCount(Truncate(v));
    ShowSpan(plug);
}

void StepOne(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetBeginStep(Truncate(v) - 1);
    ShowSpan(plug);
}

void NumPulse(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetPulsesPerChord(Truncate(v));
    plug.Gui().RedrawAll();
}

void StepDir(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetPlayerDirection(Truncate(v));
}

void LifeProb(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetLifeProbability(v);
}

void SeqSteps(Orlantix& plug, const ParamChangeDesc&, double v)
{
    // The groove cursor wraps at this count: never let it reach 0.
    plug.Engine().SetGrooveStepsActive(std::clamp(Truncate(v), 1, kNumGrooveSteps));
}

void SeqEnab(Orlantix& plug, const ParamChangeDesc&, double v)
{
    plug.Engine().SetGrooveEnabled(v >= 0.5);
}

void ModValue(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    const ModifierPane pane = PaneOf(desc);
    const int first = pane == ModifierPane::kStrike ? kStkMod1 : kMelMod1;
    plug.Engine().SetModifierValue(pane, desc.mParamIdx - first, Truncate(v));
}

void ModPermanence(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    const ModifierPane pane = PaneOf(desc);
    const int first = pane == ModifierPane::kStrike ? kStkModT1 : kMekModT1;
    plug.Engine().SetModifierPermanence(pane, desc.mParamIdx - first, Truncate(v));
}

void SeqRun(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Engine().SetSequencerRunning(PaneOf(desc), v > 0.5);
}

void SeqDir(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Engine().SetSequencerDirection(PaneOf(desc), Truncate(v));
}

void SeqReset(Orlantix& plug, const ParamChangeDesc& desc, double)
{
    plug.Engine().RewindSequencer(PaneOf(desc));
}

void SeqCount(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Engine().SetSequencerCount(PaneOf(desc), std::max(1, Truncate(v)));
}

void SeqProb(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Engine().SetSequencerProbability(PaneOf(desc), v);
}

void SeqBegin(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    const int begin = Truncate(v);
    if (begin < 1 || begin > kModifierSteps)
        return;
    plug.Engine().SetSequencerBegin(PaneOf(desc), begin);
    plug.View().RedrawPane(PaneOf(desc));
}

void SeqLen(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    const int length = Truncate(v);
    if (length < 1 || length > kModifierSteps)
        return;
    plug.Engine().SetSequencerLength(PaneOf(desc), length);
    plug.View().RedrawPane(PaneOf(desc));
}

int CommandCode(int paramIdx) noexcept
{
    if (paramIdx < kFirstCommand || paramIdx > kLastCommand)
        return -1;
    return kCommandCodes[paramIdx - kFirstCommand];
}

// The button's release (0) does nothing; only the press runs the command.
void MelodyCommand(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    if (v > 0.5)
        plug.Gui().ApplyMelodyCommandToSelection(CommandCode(desc.mParamIdx));
}

void RowCommand(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    if (v > 0.5)
        plug.Gui().ApplyRowCommandToSelectedRows(CommandCode(desc.mParamIdx));
}

void RowSolo(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Gui().RowSolo(desc.mParamIdx - kRowSolo1, v > 0.5);
}

void RowMute(Orlantix& plug, const ParamChangeDesc& desc, double v)
{
    plug.Gui().RowMute(desc.mParamIdx - kRowMute1, v > 0.5);
}

} // namespace handlers
