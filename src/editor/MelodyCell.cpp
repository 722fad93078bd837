#include "MelodyCell.h"

#include "CounterControl.h"
#include "EditorModel.h"
#include "EnableControl.h"
#include "MelodyCanvas.h"
#include "MelodyGrid.h"
#include "PlayMarkerCanvas.h"

const Melody& MelodyCell::ShownMelody() const noexcept
{
    return mpGrid->Model().mProgression.GetStep(mChordStep)->mMelodies[mVariation];
}

bool MelodyCell::Live() const noexcept
{
    return IsLive(ShownMelody());
}

bool MelodyCell::StepActive() const noexcept
{
    return mpGrid->Model().mProgression.GetStep(mChordStep)->mActive;
}

bool MelodyCell::Selected() const noexcept
{
    return mpGrid->Model().mSelected[mChordStep][mVariation];
}

void MelodyCell::MarkDirty() const noexcept
{
    mpCanvas->MarkDirty(false);
    mpPlayMarker->MarkDirty(false);
    mpEnable->MarkDirty(false);
    mpCounter->MarkDirty(false);
}
