#pragma once
// The Orlantix editor: built once with the instance (Create), in the order that is also its
// drawing order, and kept for the instance's life; the host only opens and closes its window.
// It is the instance's OrlantixView, and the graphics context's frame hook.
//
// Threads. The engine (audio thread) and the parameter handlers (main thread, or the audio
// thread for hosts that automate from there) call the view with the instance lock held. A view
// call never touches a control: it records what to do in the members under "work", guarded by
// the instance lock. Once per frame, on the editor's thread, the graphics context takes the
// lock and calls CaptureFrame, which copies the pattern into the model and takes the recorded
// work, and nothing else: the audio thread waits meanwhile. Without the lock the context then
// shows the values the host pushed since the last frame (IGraphics::DeferParamPushes) and calls
// OnFrame, which applies the work to the controls. Collecting and painting read only the
// controls, the model and the groove's atomic words. Mouse edits run on the editor's thread and
// take the lock for pattern data (through the instance, OrlantixGui and the parameters).
//
// What the instance keeps of the editor (the graphics context is the plug-in base's) lives
// here: the melody grid and the modifier panes (built by their own builders at steps 6 and 10
// of the construction, EditorConstruction.cpp), the groove canvas and its step marker, the
// fifteen edit buttons, the preset field, the span control and the knobs' read-outs.

#include "EditorModel.h"
#include "IFrameHook.h"
#include "OrlantixView.h"
#include "PresetName.h"

#include <cstdint>
#include <memory>
#include <vector>

class ChordSequencerSpanControl;
class IContactControl;
class IGraphicsWin;
class IGrooveMakerCanvas;
class IGrooveMakerStepMarker;
class MelodyGrid;
class ModifierPanes;
class Orlantix;
class PresetNameControl;
class ValueReadOut;
struct ITextStyle;

class OrlantixEditor final : public OrlantixView, public IFrameHook
{
public:
    static constexpr int kNumEditButtons = 15;

    // [main-thread] Builds the editor of plug, attaches its graphics context to the plug-in
    // and makes it the instance's view (which owns it). Throws std::bad_alloc.
    static void Create(Orlantix& plug);
    // The editor of plug, or null when it has none.
    static OrlantixEditor* Of(Orlantix& plug) noexcept;

    OrlantixEditor(const OrlantixEditor&) = delete;
    OrlantixEditor& operator=(const OrlantixEditor&) = delete;
    // [main-thread] Leaves the graphics context without its frame hook.
    ~OrlantixEditor() override;

    // PatternView: [audio-thread] (locked) Each only records.
    void SetPlayMarker(int chordStep, int variation, int pulse) noexcept override;
    void SetStepHighlight(ModifierPane pane, int step, bool on) noexcept override;
    // PatternView: [any-thread] (locked) Each only records.
    void RedrawVariation(int chordStep, int variation) noexcept override;
    void RedrawGroove() noexcept override;
    // OrlantixView: [any-thread] (locked) Each only records: the parameter handlers call them,
    // on the audio thread too when a bound controller moves.
    void ShowSpan(int low, int high) noexcept override;
    void RedrawColumn(int chordStep) noexcept override;
    void RedrawAll() noexcept override;
    void RedrawPane(ModifierPane pane) noexcept override;
    void ShowRowSwitches(int row, bool solo, bool mute) noexcept override;
    // [main-thread] (locked) Only records.
    void ShowPresetName(const char* name) noexcept override;

    // IFrameHook: [main-thread] (locked) Copies the model and takes the recorded work.
    void CaptureFrame(IGraphics& graphics) noexcept override;
    // IFrameHook: [main-thread] Applies the work CaptureFrame took to the controls.
    void OnFrame(IGraphics& graphics) noexcept override;

    IGraphicsWin& Graphics() const noexcept { return *mpGraphics; }
    MelodyGrid& Grid() const noexcept { return *mpGrid; }
    ModifierPanes& Panes() const noexcept { return *mpPanes; }
    const EditorModel& Model() const noexcept { return mModel; }
    IGrooveMakerCanvas& GrooveCanvas() const noexcept { return *mpGrooveCanvas; }
    IGrooveMakerStepMarker& GrooveMarker() const noexcept { return *mpGrooveMarker; }
    IContactControl& EditButton(int i) const noexcept { return *mpEditButtons[i]; }
    PresetNameControl& PresetField() const noexcept { return *mpPresetName; }
    ChordSequencerSpanControl& SpanControl() const noexcept { return *mpSpan; }
    const std::vector<std::unique_ptr<ValueReadOut>>& ReadOuts() const noexcept
    {
        return mReadOuts;
    }

private:
    // What the view calls recorded since the last frame (all under the instance lock).
    struct Work
    {
        static constexpr int kCells = MAX_STEPS * MAX_VARIATIONS_PER_CHORD;
        int mMarkerPulse[MAX_STEPS][MAX_VARIATIONS_PER_CHORD]; // the latest per cell, -1 hidden
        uint64_t mMarkersChanged = 0;                          // bit step * 4 + variation
        uint64_t mVariations = 0;                              // the same bits: cells to redraw
        uint32_t mColumns = 0;                                 // bit per chord step
        bool mAll = false;                                     // every cell (a load)
        bool mGroove = false;
        bool mPanes[2] = {};
        bool mHighlight[2][EditorModel::kPaneSteps] = {};
        uint32_t mHighlightsChanged[2] = {};
        bool mSpan = false;
        int mSpanLow = 0;
        int mSpanHigh = MAX_STEPS;
        bool mRowsChanged[MAX_VARIATIONS_PER_CHORD] = {};
        bool mSolo[MAX_VARIATIONS_PER_CHORD] = {};
        bool mMute[MAX_VARIATIONS_PER_CHORD] = {};
        bool mPresetName = false;
        char mPresetNameText[PresetName::kMaxNameLength + 1] = {};
    };

    explicit OrlantixEditor(Orlantix& plug);

    // The construction, step by step (EditorConstruction.cpp).
    void Build();
    void AddKnobs(IGraphicsWin& g, const ITextStyle& readOutStyle);
    void AddSequencerSwitch(IGraphicsWin& g);
    void AddSpinners(IGraphicsWin& g, const ITextStyle& readOutStyle);
    void AddGroove(IGraphicsWin& g);
    void AddGrooveSwitches(IGraphicsWin& g);
    void AddEditButtons(IGraphicsWin& g);
    void AddPresetName(IGraphicsWin& g, const ITextStyle& presetStyle);
    void AddSpanControl(IGraphicsWin& g);

    // The taken work of the melody grid and the modifier panes (OnFrame).
    void ApplyGridAndPaneWork() noexcept;
    static bool ValidCell(int chordStep, int variation) noexcept;

    Orlantix& mPlug;
    IGraphicsWin* mpGraphics = nullptr; // the plug-in base owns it once attached
    EditorModel mModel;
    std::unique_ptr<MelodyGrid> mpGrid;
    std::unique_ptr<ModifierPanes> mpPanes;
    std::vector<std::unique_ptr<ValueReadOut>> mReadOuts;
    IGrooveMakerCanvas* mpGrooveCanvas = nullptr;
    IGrooveMakerStepMarker* mpGrooveMarker = nullptr;
    IContactControl* mpEditButtons[kNumEditButtons] = {};
    PresetNameControl* mpPresetName = nullptr;
    ChordSequencerSpanControl* mpSpan = nullptr;
    Work mWork;  // under the instance lock
    Work mTaken; // the editor thread's: what the current frame applies
};
