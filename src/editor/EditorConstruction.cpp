// The construction of the editor, in its order: that order is the drawing order of the
// controls and, reversed, the order in which the mouse finds them. Every position, image and
// frame count comes from the layout table (resources/layout.txt, EditorLayout.h).

#include "ChordSequencerSpanControl.h"
#include "EditNames.h"
#include "EditorLayout.h"
#include "IContactControl.h"
#include "IGraphicsWin.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "IKnobMultiControl.h"
#include "ISpinnerControl.h"
#include "ISwitchControl.h"
#include "ITextStyle.h"
#include "KeySpinner.h"
#include "MelodyGrid.h"
#include "ModifierPanes.h"
#include "ModulePath.h"
#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "PresetNameControl.h"
#include "ValueReadOut.h"

#include <algorithm>
#include <iterator>
#include <new>

using namespace editor_layout;

namespace
{
constexpr double kGearing = 8.0;
const IColorARGB kTextColor{255, 255, 255, 255};
} // namespace

void OrlantixEditor::Build()
{
    // 1. The read-out text style, the context, the background.
    ITextStyle readOutStyle("Arial", 14, kTextColor, ITextStyle::kStyleNormal,
                            ITextStyle::kAlignCenter);
    auto graphics = std::make_unique<IGraphicsWin>(&mPlug, kWidth, kHeight, &CreateWindowSystem,
                                                   mPlug.UniqueID());
    IGraphicsWin& g = *graphics;
    g.SetModule(orx::ModuleHandle());
    g.AttachBackground(kBackground, FindImage(kBackground)->mFile);
    {
        IMutexLock lock(mPlug.Mutex());
        CaptureEditorModel(mPlug, mModel);
    }
    // 2. The knobs' and the switch's images.
    for (int id : {104, 105, 106, 107, 108, 121})
        LoadImage(g, id);
    AddKnobs(g, readOutStyle);    // 3
    AddSequencerSwitch(g);        // 4
    AddSpinners(g, readOutStyle); // 5
    // 6. The melody grid (OrlantixGui exists with the instance): the 48 cells, then the row
    //    controls with their solo and mute switches.
    mpGrid = MelodyGrid::Build(g, mPlug, mModel);
    AddGroove(g);         // 7
    AddGrooveSwitches(g); // 8
    AddEditButtons(g);    // 9
    // 10. The strike modifier pane, then the melody modifier pane.
    mpPanes = ModifierPanes::Build(g, mPlug, mModel);
    if (!mpGrid || !mpPanes)
        throw std::bad_alloc();
    ITextStyle presetStyle("Arial", 16, kTextColor, ITextStyle::kStyleNormal,
                           ITextStyle::kAlignCenter);
    AddPresetName(g, presetStyle); // 11
    AddSpanControl(g);             // 12
    // 13. Attached: every control takes its parameter's value, the surfaces are made. From
    // here on the host's pushes wait for the next frame, and every frame starts with the
    // frame hook (CaptureFrame, then OnFrame).
    mPlug.AttachEditor(graphics.release());
    mpGraphics = &g;
    readOutStyle.ReleaseFont();
    presetStyle.ReleaseFont();
    g.DeferParamPushes();
    g.SetFrameHook(this);
}

void OrlantixEditor::AddKnobs(IGraphicsWin& g, const ITextStyle& readOutStyle)
{
    for (const Knob& k : kKnobs)
    {
        auto* knob = new IKnobMultiControl(&mPlug, k.mX, k.mY, ParamIndexNamed(mPlug, k.mName),
                                           LoadImage(g, KnobImageFor(k.mFrames)), kGearing);
        knob->SetEditName(KnobEditName(k));
        g.AddControl(knob);
        mReadOuts.push_back(MakeValueReadOut(mPlug, *knob, g, ReadOutRect(k), readOutStyle));
    }
}

void OrlantixEditor::AddSequencerSwitch(IGraphicsWin& g)
{
    for (const Switch& s : kSwitches)
    {
        auto* control = new ISwitchControl(&mPlug, s.mX, s.mY, ParamIndexNamed(mPlug, s.mName),
                                           LoadImage(g, s.mImage));
        control->SetEditName("Groove sequence");
        g.AddControl(control);
    }
}

void OrlantixEditor::AddSpinners(IGraphicsWin& g, const ITextStyle& readOutStyle)
{
    for (const Spinner& s : kSpinners)
    {
        const int paramIdx = ParamIndexNamed(mPlug, s.mName);
        // The Key spinner's menu also holds the choice of playing from the keys.
        auto* spinner =
            paramIdx == kTonic
                ? new KeySpinner(mPlug, SpinnerRect(s), paramIdx, readOutStyle)
                : new ISpinnerControl(&mPlug, SpinnerRect(s), paramIdx, readOutStyle, nullptr, true,
                                      false, ISpinnerControl::kVertical, kGearing);
        spinner->SetEditName(SpinnerEditName(s));
        g.AddControl(spinner);
    }
}

void OrlantixEditor::AddGroove(IGraphicsWin& g)
{
    GrooveMaker& groove = mPlug.Engine().mGroove;
    const IRect canvas(kGrooveCanvas.mX, kGrooveCanvas.mY, kGrooveCanvas.mR, kGrooveCanvas.mB);
    const IRect marker(kGrooveMarker.mX, kGrooveMarker.mY, kGrooveMarker.mR, kGrooveMarker.mB);
    mpGrooveCanvas = new IGrooveMakerCanvas(&mPlug, canvas, groove, mModel);
    mpGrooveCanvas->SetEditName("Groove stroke");
    g.AddControl(mpGrooveCanvas);
    mpGrooveMarker = new IGrooveMakerStepMarker(&mPlug, marker, mModel);
    g.AddControl(mpGrooveMarker);
}

void OrlantixEditor::AddGrooveSwitches(IGraphicsWin& g)
{
    const IBitmapHandle lock = LoadImage(g, kGrooveLocks.mImage);
    const IBitmapHandle mute = LoadImage(g, kGrooveMutes.mImage);
    const GrooveMaker& groove = mPlug.Engine().mGroove;
    IMutexLock guard(mPlug.Mutex());
    for (int i = 0; i < std::min(kNumGrooveSteps, kGrooveLocks.mCount); ++i)
    {
        // The parameters exist with the instance; they start from the groove's flags.
        IParameter* lockParam = mPlug.GetParam(kGrooveLock0 + i);
        IParameter* muteParam = mPlug.GetParam(kGrooveMute0 + i);
        lockParam->SetValue(
            std::clamp(groove.Locked(i) ? 1.0 : 0.0, lockParam->Min(), lockParam->Max()));
        muteParam->SetValue(
            std::clamp(groove.Muted(i) ? 1.0 : 0.0, muteParam->Min(), muteParam->Max()));
        auto* lockSwitch = new ISwitchControl(&mPlug, kGrooveLocks.mX + kGrooveLocks.mDx * i,
                                              kGrooveLocks.mY, kGrooveLock0 + i, lock);
        lockSwitch->SetEditName("Groove lock");
        g.AddControl(lockSwitch);
        auto* muteSwitch = new ISwitchControl(&mPlug, kGrooveMutes.mX + kGrooveMutes.mDx * i,
                                              kGrooveMutes.mY, kGrooveMute0 + i, mute);
        muteSwitch->SetEditName("Groove mute");
        g.AddControl(muteSwitch);
    }
}

void OrlantixEditor::AddEditButtons(IGraphicsWin& g)
{
    static_assert(std::size(kButtons) == kNumEditButtons);
    for (int i = 0; i < kNumEditButtons; ++i)
    {
        const Button& b = kButtons[i];
        auto* button = new IContactControl(&mPlug, b.mX, b.mY, ParamIndexNamed(mPlug, b.mName),
                                           LoadImage(g, b.mImage));
        button->SetDblAsSingleClick(true);
        button->SetEditName(EditButtonName(b.mName));
        g.AddControl(button);
        mpEditButtons[i] = button;
    }
}

void OrlantixEditor::AddPresetName(IGraphicsWin& g, const ITextStyle& presetStyle)
{
    const IRect rect(kPresetName.mX, kPresetName.mY, kPresetName.mR, kPresetName.mB);
    mpPresetName = new PresetNameControl(mPlug, rect, kPresetField, presetStyle);
    mpPresetName->SetEditName("Load preset");
    g.AddControl(mpPresetName);
}

void OrlantixEditor::AddSpanControl(IGraphicsWin& g)
{
    const IBitmapHandle thumb = LoadImage(g, kChordSpan.mImage);
    const int h = thumb.FrameHeight();
    const IRect rect(kChordSpan.mX - h / 2, kChordSpan.mY, kChordSpan.mR + h - h / 2,
                     kChordSpan.mB);
    mpSpan = new ChordSequencerSpanControl(mPlug, rect, thumb);
    mpSpan->SetEditName("Span");
    g.AddControl(mpSpan);
}
