#include "MelodyCell.h"

#include "CounterControl.h"
#include "EditorModel.h"
#include "EnableControl.h"
#include "MelodyCanvas.h"
#include "MelodyGrid.h"
#include "PlayMarkerCanvas.h"
#include "ThreadRole.h"

const Melody& MelodyCell::ShownMelody() const noexcept
{
    ORX_MAIN_THREAD();
    return mpGrid->Model().mProgression.GetStep(mChordStep)->mMelodies[mVariation];
}

bool MelodyCell::Live() const noexcept
{
    ORX_MAIN_THREAD();
    return IsLive(ShownMelody());
}

bool MelodyCell::StepActive() const noexcept
{
    ORX_MAIN_THREAD();
    return mpGrid->Model().mProgression.GetStep(mChordStep)->mActive;
}

bool MelodyCell::Selected() const noexcept
{
    ORX_MAIN_THREAD();
    return mpGrid->Model().mSelected[mChordStep][mVariation];
}

void MelodyCell::MarkDirty() const noexcept
{
    ORX_MAIN_THREAD();
    mpCanvas->MarkDirty(false);
    mpPlayMarker->MarkDirty(false);
    mpEnable->MarkDirty(false);
    mpCounter->MarkDirty(false);
}
