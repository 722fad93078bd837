// Painting the real Orlantix editor, as built for every instance: a full repaint, and a frame
// while playing, in which only what one pulse changes is painted (the play markers of the
// melody grid, the modifier panes' step highlights, the groove canvas and its cursor). The
// frame includes its hook: the lock, the copy of the pattern and the recorded work. Reported as
// multiples of one memcpy of the surface (x_memcpy) and in milliseconds.

#include "IGraphicsWin.h"
#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "SurfaceTiming.h"
#include "ThreadRole.h"

#include <benchmark/benchmark.h>

#include <memory>

using surface_timing::Timed;

namespace
{
struct Editor
{
    std::unique_ptr<Orlantix> mpPlug = std::make_unique<Orlantix>(nullptr);
    OrlantixEditor* mpEditor = nullptr;
    TransportState mTransport;

    Editor()
    {
        OrlantixEditor::Create(*mpPlug);
        mpEditor = OrlantixEditor::Of(*mpPlug);
        Frame();
    }

    bool Frame()
    {
        IGraphicsWin& g = mpEditor->Graphics();
        IRect r;
        return g.CollectDirty(r) && g.PaintDirty(r);
    }

    // One pulse of the default "1/8" at 120 BPM, processed as the binding does.
    void PlayPulse()
    {
        constexpr int kPulse = 11025;
        const orx::ProcessCallScope audio;
        IMutexLock lock(mpPlug->Mutex());
        mpPlug->Engine().ProcessBlock(mTransport, kPulse);
        mTransport.mSamplePos += kPulse;
    }
};
} // namespace

static void BM_EditorFullRepaint(benchmark::State& state)
{
    Editor editor;
    Timed(state,
          [&]
          {
              editor.mpEditor->Graphics().MarkAllDirty();
              benchmark::DoNotOptimize(editor.Frame());
          });
}
BENCHMARK(BM_EditorFullRepaint);

static void BM_EditorPlayingFrame(benchmark::State& state)
{
    Editor editor;
    Timed(
        state, [&] { editor.PlayPulse(); }, [&] { benchmark::DoNotOptimize(editor.Frame()); });
}
BENCHMARK(BM_EditorPlayingFrame);

// A frame in which nothing changed: the hook and the search for dirty controls.
static void BM_EditorIdleFrame(benchmark::State& state)
{
    Editor editor;
    Timed(state, [&] { benchmark::DoNotOptimize(editor.Frame()); });
}
BENCHMARK(BM_EditorIdleFrame);
