#pragma once
// An Orlantix instance with the melody grid and the modifier panes built into a headless editor
// window, driven as a user would: clicks, drags, wheels and menus at editor coordinates, frame
// ticks that first take the editor model as the editor's frame does, and a view that hands what
// the instance and the engine report straight to the grid and the panes. Also the event stream
// of an instance played from the start, to hear what an edit changed.

#include "AudioThreadRole.h"
#include "EditorModel.h"
#include "EventStream.h"
#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "MelodyGrid.h"
#include "ModifierPanes.h"
#include "Orlantix.h"
#include "OrlantixGui.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

// What the instance and the engine report, passed on at once (the tests run on one thread): what
// the engine reports while it plays reaches the controls as the editor's frame would bring it,
// on the main thread.
class ForwardingView : public OrlantixView
{
public:
    MelodyGrid* mpGrid = nullptr;
    ModifierPanes* mpPanes = nullptr;

    void SetPlayMarker(int chordStep, int variation, int pulse) noexcept override
    {
        const MainThreadRole frame;
        mpGrid->ShowPlayMarker(chordStep, variation, pulse);
    }
    void RedrawVariation(int chordStep, int variation) noexcept override
    {
        const MainThreadRole frame;
        mpGrid->RedrawVariation(chordStep, variation);
    }
    void SetStepHighlight(ModifierPane pane, int step, bool on) noexcept override
    {
        const MainThreadRole frame;
        mpPanes->SetStepHighlight(pane, step, on);
    }
    void RedrawColumn(int chordStep) noexcept override { mpGrid->RedrawColumn(chordStep); }
    void RedrawAll() noexcept override { mpGrid->RedrawAll(); }
    void RedrawPane(ModifierPane pane) noexcept override { mpPanes->RepaintAll(pane); }
    void ShowRowSwitches(int row, bool solo, bool mute) noexcept override
    {
        mpGrid->ShowRowSwitches(row, solo, mute);
    }
};

// Every handler in index order, as the host's open request does.
inline void OpenInstance(Orlantix& plug)
{
    for (int i = 0; i < plug.NParams(); ++i)
        plug.HandleParamChange(i);
}

// The instance's notes from the start of the song, in blocks of 512 samples at 120 BPM, 4/4.
inline std::vector<StreamEvent> Play(Orlantix& plug, int bars, long long from = 0)
{
    std::vector<StreamEvent> stream;
    const long long end = from + static_cast<long long>(bars) * 88200;
    TransportState t;
    for (long long pos = from; pos < end; pos += 512)
    {
        IMutexLock lock(plug.Mutex());
        t.mSamplePos = static_cast<int>(pos);
        PlayEngineBlock(plug.Engine(), t, 512);
        AppendBlock(stream, pos, plug.Engine().mMidiOut);
    }
    return stream;
}

struct EditorRig
{
    std::unique_ptr<Orlantix> mpPlug = std::make_unique<Orlantix>(nullptr);
    EditorModel mModel;
    IGraphicsWin* mpG = new IGraphicsWin(mpPlug.get(), 720, 650, &CreateWindowSystem);
    std::unique_ptr<MelodyGrid> mpGrid;
    std::unique_ptr<ModifierPanes> mpPanes;
    ForwardingView mView;
    std::unique_ptr<HeadlessWindow> mpWindow;

    EditorRig()
    {
        mpG->AttachBackground(100, "img/velta-bg-v1-1.png");
        mpGrid = MelodyGrid::Build(*mpG, *mpPlug, mModel);
        mpPanes = ModifierPanes::Build(*mpG, *mpPlug, mModel);
        mView.mpGrid = mpGrid.get();
        mView.mpPanes = mpPanes.get();
        mpPlug->SetView(&mView);
        mpPlug->AttachEditor(mpG);
        OpenInstance(*mpPlug);
        mpWindow = std::make_unique<HeadlessWindow>(*mpG);
        mpWindow->Open();
        Frame();
    }
    ~EditorRig() { mpPlug->SetView(nullptr); }

    Orlantix& Plug() { return *mpPlug; }
    OrlantixGui& Gui() { return mpPlug->Gui(); }
    HeadlessWindow& W() { return *mpWindow; }
    Melody& LiveMelody(int chordStep, int variation)
    {
        return *mpPlug->Engine().mProgression.GetMelody(chordStep, variation);
    }
    // The editor's frame: the model under the lock, then collect and paint.
    void Frame(int n = 1)
    {
        for (int i = 0; i < n; ++i)
        {
            RefreshEditorModel(*mpPlug, mModel);
            mpWindow->Tick();
        }
    }
    IColorARGB Pixel(int x, int y) const { return mpG->GetPixel(x, y); }
};

// Where things are on the editor, as a user finds them; canvas points relative to the canvas.
inline constexpr auto CellLeft = [](int chordStep) { return 20 + 52 * chordStep; };
inline constexpr auto CellTop = [](int variation) { return 128 + 63 * variation; };
inline constexpr auto CanvasX = [](int chordStep, int x) { return CellLeft(chordStep) + x; };
inline constexpr auto CanvasY = [](int variation, int y) { return CellTop(variation) + 10 + y; };
inline constexpr auto RowTop = [](int row) { return 138 + 63 * row; };
// The left button with control held.
inline const IMouseKeys kControl{true, false, false, true, false};

// The events of after that before lacks, counting repeats; removed tells whether before had any
// that after lacks.
inline std::vector<StreamEvent> AddedEvents(std::vector<StreamEvent> before,
                                            std::vector<StreamEvent> after, bool& removed)
{
    const auto less = [](const StreamEvent& a, const StreamEvent& b)
    {
        return std::tie(a.mTime, a.mStatus, a.mData1, a.mData2) <
               std::tie(b.mTime, b.mStatus, b.mData1, b.mData2);
    };
    std::sort(before.begin(), before.end(), less);
    std::sort(after.begin(), after.end(), less);
    std::vector<StreamEvent> added, gone;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added), less);
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(gone), less);
    removed = !gone.empty();
    return added;
}
