#pragma once
// The change handlers of the parameter tables. Each runs under the instance lock with the
// parameter's plain value and converts it to an integer, where it needs one, by truncation
// toward zero.

#include "ParamChangeDesc.h"

namespace handlers
{

void NoChange(Orlantix& plug, const ParamChangeDesc& desc, double v);

// Timing and notes.
void TimeUnits(Orlantix& plug, const ParamChangeDesc& desc, double v);
void LengthUnits(Orlantix& plug, const ParamChangeDesc& desc, double v);
void Slow(Orlantix& plug, const ParamChangeDesc& desc, double v);
void Swing(Orlantix& plug, const ParamChangeDesc& desc, double v);
void Chan(Orlantix& plug, const ParamChangeDesc& desc, double v);
void Vel(Orlantix& plug, const ParamChangeDesc& desc, double v);
void VelJitt(Orlantix& plug, const ParamChangeDesc& desc, double v);
void LenJitt(Orlantix& plug, const ParamChangeDesc& desc, double v);
void Human(Orlantix& plug, const ParamChangeDesc& desc, double v);

// Harmony.
void Tonic(Orlantix& plug, const ParamChangeDesc& desc, double v);
void ChordDegree(Orlantix& plug, const ParamChangeDesc& desc, double v);
void Mode(Orlantix& plug, const ParamChangeDesc& desc, double v);
void IntervalSet(Orlantix& plug, const ParamChangeDesc& desc, double v);
void ScaleIndex(Orlantix& plug, const ParamChangeDesc& desc, double v);

// Progression, player and groove.
void NumStep(Orlantix& plug, const ParamChangeDesc& desc, double v);
void StepOne(Orlantix& plug, const ParamChangeDesc& desc, double v);
void NumPulse(Orlantix& plug, const ParamChangeDesc& desc, double v);
void StepDir(Orlantix& plug, const ParamChangeDesc& desc, double v);
void LifeProb(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqSteps(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqEnab(Orlantix& plug, const ParamChangeDesc& desc, double v);

// The two modifier sequencers; the pane follows from the parameter index.
void ModValue(Orlantix& plug, const ParamChangeDesc& desc, double v);
void ModPermanence(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqRun(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqDir(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqReset(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqCount(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqProb(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqBegin(Orlantix& plug, const ParamChangeDesc& desc, double v);
void SeqLen(Orlantix& plug, const ParamChangeDesc& desc, double v);

// The editor's commands and the rows' solo and mute.
void MelodyCommand(Orlantix& plug, const ParamChangeDesc& desc, double v);
void RowCommand(Orlantix& plug, const ParamChangeDesc& desc, double v);
void RowSolo(Orlantix& plug, const ParamChangeDesc& desc, double v);
void RowMute(Orlantix& plug, const ParamChangeDesc& desc, double v);

// The command code of a trigger index 212..232, or -1.
int CommandCode(int paramIdx) noexcept;

} // namespace handlers
