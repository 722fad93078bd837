// Painting the editor: a full repaint of the 720 x 650 surface with the background and 100
// bitmap controls, and a frame in which two small controls changed. Each is also reported as a
// multiple of one memcpy of the surface measured in the same run (counter x_memcpy, the best
// iteration against the best memcpy).

#include "IBitmapControl.h"
#include "IGraphicsLice.h"
#include "IKnobMultiControl.h"
#include "IPlugBase.h"
#include "LICE_Blit.h"
#include "LICE_Pixel.h"
#include "LICE_SysBitmap.h"
#include "SurfaceTiming.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

using surface_timing::Timed;

namespace
{
class BenchPlug : public IPlugBase
{
public:
    BenchPlug() : IPlugBase(0, "1-1", 1, "Bench", "Bench", "Bench", 1, 1, 1, 0, true, false, true)
    {
    }
    void BeginParamGesture(int) override {}
    void ReportParamChange(int, double) override {}
    void EndParamGesture(int) override {}
    int TransportSamplePosition() override { return 0; }
    double TransportTempo() override { return 120.0; }
    void TransportTimeSignature(int* n, int* d) override { *n = *d = 4; }
    void TransportTimeInfo(ITimeInfo*) override {}
    bool TransportIsRunning() override { return true; }
    void EditorResized() override {}
    void HostSetup() override {}
    bool EmitMidiMessage(const IMidiMessage&) override { return true; }
    bool EmitMidiMessages(const IMidiMessage*, int) override { return true; }
    bool EmitSysEx(const ISysExMessage&) override { return true; }
};

// The editor's background and 100 controls from its images: 60 knobs (alpha blended), 40
// two-frame buttons, laid out in a grid.
struct Editor
{
    BenchPlug mPlug;
    IGraphicsLice mG{&mPlug, 720, 650};
    std::vector<IControl*> mControls;

    Editor()
    {
        mG.CreateSurfaces();
        mG.AttachBackground(100, "velta-bg-v1-1.png");
        const IBitmapHandle knob = mG.LoadBitmap(105, "silver-knob128.png", 128);
        const IBitmapHandle button = mG.LoadBitmap(110, "mute-button.png", 2);
        for (int i = 0; i < 100; ++i)
        {
            const int x = 10 + (i % 10) * 70;
            const int y = 10 + (i / 10) * 60;
            IControl* c =
                i < 60 ? static_cast<IControl*>(new IKnobMultiControl(&mPlug, x, y, -1, knob))
                       : new IBitmapControl(&mPlug, x, y, -1, button);
            c->SetValueFromUser((i % 7) / 6.0);
            mG.AddControl(c);
            mControls.push_back(c);
        }
        Frame();
    }

    void Frame()
    {
        IRect r;
        if (mG.CollectDirty(r))
            mG.PaintDirty(r);
    }
};

} // namespace

static void BM_SurfaceMemcpy(benchmark::State& state)
{
    const std::size_t bytes = 720u * 650u * 4u;
    std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
    for (auto _ : state)
    {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["x_memcpy"] = 1.0;
}
BENCHMARK(BM_SurfaceMemcpy);

static void BM_FullRepaint(benchmark::State& state)
{
    Editor editor;
    Timed(state,
          [&]
          {
              editor.mG.MarkAllDirty();
              editor.Frame();
          });
}
BENCHMARK(BM_FullRepaint);

// Only the background behind each of the two: the dirty rectangle is their union.
static void BM_TwoSmallControls(benchmark::State& state)
{
    Editor editor;
    int n = 0;
    Timed(state,
          [&]
          {
              ++n;
              editor.mControls[60]->SetValueFromUser(n & 1);
              editor.mControls[61]->SetValueFromUser(n & 1);
              editor.Frame();
          });
}
BENCHMARK(BM_TwoSmallControls);

// The blits of a full repaint apart: the background's plain copy, and the knobs' and buttons'
// copies with source alpha.
static void BM_BackgroundBlit(benchmark::State& state)
{
    Editor editor;
    const IBitmapHandle bg = editor.mG.LoadBitmap(100, "velta-bg-v1-1.png");
    Timed(state,
          [&] {
              LICE::Blit(editor.mG.Surface(), bg.mpBitmap, 0, 0, nullptr, 1.0f,
                         LICE_BLIT_MODE_COPY);
          });
}
BENCHMARK(BM_BackgroundBlit);

static void BM_ControlBlits(benchmark::State& state)
{
    Editor editor;
    Timed(state,
          [&]
          {
              for (IControl* c : editor.mControls)
              {
                  const auto* k = dynamic_cast<IKnobMultiControl*>(c);
                  const IBitmapHandle& b =
                      k ? k->Bitmap() : static_cast<IBitmapControl*>(c)->Bitmap();
                  const IRect& r = c->GetRECT();
                  LICE::BlitPart(editor.mG.Surface(), b.mpBitmap, r.mL, r.mT, 0,
                                 FrameTop(b.mH, b.mN, FrameForValue(c->GetValue(), b.mN)), r.W(),
                                 r.H(), 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
              }
          });
}
BENCHMARK(BM_ControlBlits);
