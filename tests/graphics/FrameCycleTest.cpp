// The frame cycle (observers, dirty collection, painting with the clip rectangle), value pushes
// between the plug-in and its controls, and drawing into the surface.

#include "GraphicsTestSupport.h"
#include "IFrameHook.h"
#include "IGraphicsLice.h"
#include "IKnobMultiControl.h"
#include "ITextStyle.h"
#include "LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <thread>

namespace
{
struct Frames : ::testing::Test
{
    EditorPlug mPlug;
    IGraphicsLice* mpG = new IGraphicsLice(&mPlug, 100, 100);
    void SetUp() override { mPlug.AttachEditor(mpG); }
    // One frame as the window layer runs it; answers the painted rectangle.
    IRect Frame()
    {
        IRect r;
        if (mpG->CollectDirty(r))
            mpG->PaintDirty(r);
        return r;
    }
};

struct Recorder : IObserverInterface
{
    std::vector<std::string>* mpLog;
    std::string mName;
    Recorder(std::vector<std::string>* log, const char* name) : mpLog(log), mName(name) {}
    void Update(ISubject&) noexcept override { mpLog->push_back(mName); }
};

// Draws a bitmap over its whole rectangle, then fills a rectangle to its right.
struct DrawingControl : IControl
{
    IBitmapHandle mBitmap;
    IRect mFill;
    DrawingControl(IEditorHost* plug, const IRect& r, const IBitmapHandle& b, const IRect& fill)
        : IControl(plug, r), mBitmap(b), mFill(fill)
    {
    }
    bool Paint(IGraphics& g) noexcept override
    {
        g.DrawBitmap(mBitmap, GetRECT(), 0, 0, nullptr);
        return g.FillRect({255, 0, 0, 255}, mFill, nullptr);
    }
};
} // namespace

TEST_F(Frames, HostValuesPaintOnTwoFramesAndUnchangedOnesNotAtAll)
{
    auto* c = new CountingControl(&mPlug, IRect(0, 0, 10, 10), kGain);
    mpG->AddControl(c);
    EXPECT_EQ(Frame(), IRect(0, 0, 10, 10)); // dirty from construction
    EXPECT_EQ(Frame(), IRect());
    EXPECT_EQ(c->mPaints, 1);

    PushFromHost(*mpG, kGain, 0.3, true);
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(c->mPaints, 3); // painted on two successive frames
    PushFromHost(*mpG, kGain, 0.3, true);
    Frame();
    EXPECT_EQ(c->mPaints, 3); // the same value again: nothing to paint
    c->SetValueFromUser(0.7);
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(c->mPaints, 5);
    c->MarkDirty(false);
    Frame();
    Frame();
    EXPECT_EQ(c->mPaints, 6);
}

TEST_F(Frames, ObserversHearOncePerFrameInControlOrder)
{
    std::vector<std::string> log;
    Recorder a(&log, "a"), b(&log, "b"), c(&log, "c");
    auto* first = new CountingControl(&mPlug, IRect(0, 0, 10, 10));
    auto* second = new CountingControl(&mPlug, IRect(10, 0, 20, 10));
    mpG->AddControl(first);
    mpG->AddControl(second);
    second->Attach(&c);
    first->Attach(&a);
    first->Attach(&b);
    first->Attach(&a); // once only
    Frame();
    EXPECT_EQ(log, (std::vector<std::string>{})); // construction raised no flag
    second->MarkDirty(false);
    first->MarkDirty(false);
    first->MarkDirty(false);
    first->SetHidden(true);
    Frame();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
    Frame();
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(Frames, OnlyControlsMeetingTheDirtyAreaPaintButAllAreCleaned)
{
    auto* left = new CountingControl(&mPlug, IRect(0, 0, 10, 10));
    auto* right = new CountingControl(&mPlug, IRect(10, 0, 20, 10)); // touches, no overlap
    auto* hidden = new CountingControl(&mPlug, IRect(0, 0, 20, 10));
    mpG->AddControl(left);
    mpG->AddControl(right);
    mpG->AddControl(hidden);
    hidden->SetHidden(true);
    EXPECT_TRUE(mpG->PaintDirty(IRect(0, 0, 10, 10)));
    EXPECT_EQ(left->mPaints, 1);
    EXPECT_EQ(right->mPaints, 0);
    EXPECT_EQ(hidden->mPaints, 0);
    EXPECT_FALSE(right->NeedsRepaint());
    EXPECT_TRUE(hidden->NeedsRepaint()); // hiding asked for one more frame
}

TEST_F(Frames, BitmapsAndFillsKeepToTheClipRectangle)
{
    Filmstrip green(60, 60, 1);
    mpG->FillRect({255, 0, 0, 0}, IRect(0, 0, 100, 100), nullptr);
    mpG->AddControl(
        new DrawingControl(&mPlug, IRect(0, 0, 60, 60), green.mHandle, IRect(70, 0, 100, 10)));
    mpG->PaintDirty(IRect(10, 10, 30, 30));
    // Compared without alpha: an opaque source-alpha copy leaves the surface's alpha at 0.
    const auto rgb = [&](int x, int y) { return mpG->GetPixel(x, y).Packed() & 0xFFFFFFu; };
    EXPECT_EQ(rgb(10, 10), FrameColor(1) & 0xFFFFFFu);
    EXPECT_EQ(rgb(29, 29), FrameColor(1) & 0xFFFFFFu);
    EXPECT_EQ(rgb(9, 9), 0u);
    EXPECT_EQ(rgb(30, 30), 0u);
    EXPECT_EQ(rgb(80, 5), 0u); // outside the clip rectangle

    // A 60-frame knob at 0.5 shows frame 31.
    Filmstrip strip(8, 8, 60);
    auto* knob = new IKnobMultiControl(&mPlug, 40, 40, -1, strip.mHandle);
    mpG->AddControl(knob);
    knob->SetValueFromUser(0.5);
    mpG->PaintDirty(knob->GetRECT());
    EXPECT_EQ(rgb(44, 44), FrameColor(31) & 0xFFFFFFu);
}

TEST_F(Frames, LinesAreClampedIntoTheSurfaceAndReversedOnesDrawNothing)
{
    const IColorARGB white(255, 255, 255, 255), black(255, 0, 0, 0);
    mpG->FillRect(black, IRect(0, 0, 100, 100), nullptr);
    EXPECT_FALSE(mpG->DrawHorizontalLine(white, 5, 20, 10));
    EXPECT_EQ(mpG->GetPixel(15, 5), black);
    EXPECT_TRUE(mpG->DrawHorizontalLine(white, 500, 90, 400)); // to the last row and column
    EXPECT_EQ(mpG->GetPixel(99, 99), white);
    EXPECT_EQ(mpG->GetPixel(89, 99), black);
    EXPECT_TRUE(mpG->DrawRectOutline(white, IRect(10, 10, 20, 20)));
    EXPECT_EQ(mpG->GetPixel(19, 19), white); // the outline keeps inside the rectangle
    EXPECT_EQ(mpG->GetPixel(20, 20), black);
    EXPECT_EQ(mpG->GetPixel(15, 15), black);
    EXPECT_FALSE(mpG->DrawRectOutline(white, IRect(30, 30, 20, 20)));
}

// Every drawing operation, drawn by a control reaching past its rectangle and painted in a
// frame over part of it, writes exactly the pixels it writes unclipped inside the frame's area
// within the control's rectangle, and nothing anywhere else: so no frame leaves a trace that
// a full repaint would not, whatever the operation.
TEST_F(Frames, EveryDrawingOperationWritesOnlyInsideTheClipAsItWouldUnclipped)
{
    Filmstrip image(30, 30, 1), mask(24, 24, 1), top(24, 24, 2);
    const ITextStyle text("Arial", 14, {255, 250, 240, 200});
    const IColorARGB ink(200, 250, 120, 30);
    const IBlendSpec half{IBlendSpec::kBlendNone, 0.5f};
    const std::vector<std::pair<const char*, std::function<void(IGraphics&)>>> operations = {
        {"bitmap",
         [&](IGraphics& g) { g.DrawBitmap(image.mHandle, IRect(5, 8, 35, 38), 0, 0, &half); }},
        {"turned bitmap",
         [&](IGraphics& g) { g.DrawRotatedBitmap(image.mHandle, 22, 24, 0.7, 2, nullptr); }},
        {"turned mask", [&](IGraphics& g)
         { g.DrawRotatedMask(mask.mHandle, mask.mHandle, top.mHandle, 12, 14, 33.0, nullptr); }},
        {"points",
         [&](IGraphics& g)
         {
             for (int i = 0; i < 40; ++i)
                 g.DrawPoint(ink, 3.3f + i, 5.7f + i * 0.6f, &half, false);
         }},
        {"pixels",
         [&](IGraphics& g)
         {
             for (int i = 0; i < 40; ++i)
                 g.SetPixel(ink, 4 + i, 40 - i / 2);
         }},
        {"line", [&](IGraphics& g) { g.DrawLine(ink, 2.0f, 3.0f, 47.0f, 37.0f, nullptr, true); }},
        {"arc",
         [&](IGraphics& g) { g.DrawArc(ink, 24.5f, 22.0f, 17.0f, -1.0f, 2.5f, nullptr, true); }},
        {"circle", [&](IGraphics& g) { g.DrawCircle(ink, 20.0f, 25.5f, 19.0f, &half, true); }},
        {"fill", [&](IGraphics& g) { g.FillRect(ink, IRect(3, 6, 44, 41), &half); }},
        {"text",
         [&](IGraphics& g) { g.DrawText(text, "Mixolydian\nFwdBack", IRect(12, 10, 30, 20)); }},
        {"lines",
         [&](IGraphics& g)
         {
             g.DrawHorizontalLine(ink, 21, 1, 48);
             g.DrawVerticalLine(ink, 25, 2, 46);
         }},
        {"outline", [&](IGraphics& g) { g.DrawRectOutline(ink, IRect(4, 7, 45, 42)); }},
    };
    struct Drawing : IControl
    {
        std::function<void(IGraphics&)> mDraw;
        using IControl::IControl;
        bool Paint(IGraphics& g) noexcept override
        {
            mDraw(g);
            return true;
        }
    };
    auto* control = new Drawing(&mPlug, IRect(10, 12, 38, 33));
    mpG->AddControl(control);
    const IColorARGB ground(255, 40, 60, 80);
    const auto pixels = [&]
    {
        std::vector<LICE_pixel> all;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                all.push_back(mpG->GetPixel(x, y).Packed());
        return all;
    };
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> at(0, 50), size(1, 40);
    for (const auto& [name, draw] : operations)
    {
        mpG->FillRect(ground, IRect(0, 0, 100, 100), nullptr);
        draw(*mpG); // outside a frame: the whole surface
        const std::vector<LICE_pixel> unclipped = pixels();
        control->mDraw = draw;
        for (int round = 0; round < 20; ++round)
        {
            const int l = at(rng), t = at(rng);
            const IRect frame(l, t, l + size(rng), t + size(rng));
            const IRect inside = frame.Intersect(control->GetRECT());
            mpG->FillRect(ground, IRect(0, 0, 100, 100), nullptr);
            mpG->PaintDirty(frame);
            const std::vector<LICE_pixel> painted = pixels();
            int wrong = 0;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x)
                    wrong += painted[y * 100 + x] !=
                             (inside.Contains(x, y) ? unclipped[y * 100 + x] : ground.Packed());
            EXPECT_EQ(wrong, 0) << name << " in a frame of (" << l << ", " << t << ")-(" << frame.mR
                                << ", " << frame.mB << ")";
        }
    }
}

TEST(PlugEditor, ValuesTravelBetweenThePlugInAndItsControls)
{
    EditorPlug plug;
    auto* g = new IGraphicsLice(&plug, 720, 650);
    Filmstrip strip(30, 30, 101);
    auto* gain = new IKnobMultiControl(&plug, 0, 0, kGain, strip.mHandle, 1.0);
    auto* steps = new CountingControl(&plug, IRect(40, 0, 50, 10), kSteps);
    g->AddControl(gain);
    g->AddControl(steps);
    plug.AttachEditor(g);
    ASSERT_NE(g->Surface(), nullptr);
    EXPECT_EQ(g->Surface()->getWidth(), 720);
    EXPECT_EQ(gain->GetValue(), 0.5); // the normalised value of 5 on 0..10, also the default
    EXPECT_EQ(gain->GetDefaultValue(), 0.5);
    EXPECT_DOUBLE_EQ(steps->GetValue(), 3.0 / 15.0);

    // Plain values from the plug-in are normalised with range and clamp.
    plug.GetParam(kGain)->SetValue(2.5);
    plug.GetParam(kSteps)->SetValue(40.0);
    plug.PushValuesToEditor();
    EXPECT_EQ(gain->GetValue(), 0.25);
    EXPECT_EQ(steps->GetValue(), 1.0);
    PushFromHost(*g, 99, 3.0, false); // no such parameter: ignored

    plug.mLog.clear();
    g->MouseDown(10, 20, {});
    g->MouseDrag(10, 5, {});
    g->MouseUp(10, 5, {});
    EXPECT_DOUBLE_EQ(plug.GetParam(kGain)->Value(), 7.5);
    EXPECT_EQ(plug.mLog, (std::vector<std::string>{"begin 0", "change 0", "report 0", "end 0"}));

    g->SetControlsForParam(kSteps, 0.0);
    EXPECT_EQ(plug.GetParam(kSteps)->Value(), 1.0);
    // Without a window a value prompt does nothing.
    gain->PromptForValue();
    g->Resize(300, 200);
    EXPECT_EQ(g->NControls(), 0);
    EXPECT_EQ(g->Surface()->getWidth(), 300);
    EXPECT_EQ(plug.mLog.back(), "resized");
}

// A host may push values from its audio thread while the editor paints: deferred, a push only
// records the value, and the next frame shows the latest one per parameter before the frame
// hook applies its work and before anything is collected or painted. The hook's capture runs
// under the plug-in's lock, everything else without it.
TEST(PlugEditor, DeferredPushesReachTheControlsAtTheStartOfTheNextFrame)
{
    EditorPlug plug;
    auto* g = new IGraphicsLice(&plug, 100, 100);
    auto* gain = new CountingControl(&plug, IRect(0, 0, 10, 10), kGain);
    g->AddControl(gain);
    plug.AttachEditor(g);
    g->DeferParamPushes();
    struct Hook : IFrameHook
    {
        EditorPlug* mpPlug;
        CountingControl* mpGain;
        std::vector<double> mSeen;
        std::vector<std::string> mLocks;
        void CaptureFrame(IGraphics&) noexcept override
        {
            mLocks.push_back(mpPlug->Mutex().HeldByCaller() ? "capture locked" : "capture");
        }
        void OnFrame(IGraphics&) noexcept override
        {
            mLocks.push_back(mpPlug->Mutex().HeldByCaller() ? "apply locked" : "apply");
            mSeen.push_back(mpGain->GetValue());
        }
    } hook;
    hook.mpPlug = &plug;
    hook.mpGain = gain;
    g->SetFrameHook(&hook);
    auto frame = [&]
    {
        IRect r;
        return g->CollectDirty(r) ? r : IRect();
    };
    frame();
    g->PaintDirty(IRect(0, 0, 100, 100));
    EXPECT_EQ(hook.mSeen, (std::vector<double>{0.5}));

    std::thread host(
        [&]
        {
            IMutexLock lock(plug.Mutex());
            g->PushParamValue(kGain, 1.0, false);
            g->PushParamValue(kGain, 2.5, false);
            g->PushParamValue(kSteps, 16.0, false); // no control of its own: nothing to show
        });
    host.join();
    EXPECT_EQ(gain->GetValue(), 0.5); // nothing touched the control yet
    EXPECT_EQ(frame(), IRect(0, 0, 10, 10));
    EXPECT_EQ(hook.mSeen, (std::vector<double>{0.5, 0.25}));
    EXPECT_EQ(gain->GetValue(), 0.25);
    frame();
    EXPECT_EQ(hook.mSeen.size(), 3u); // the hook runs every frame, pushes or not
    EXPECT_EQ(gain->GetValue(), 0.25);
    EXPECT_EQ(hook.mLocks, (std::vector<std::string>{"capture locked", "apply", "capture locked",
                                                     "apply", "capture locked", "apply"}));
    g->SetFrameHook(nullptr);
    frame();
    EXPECT_EQ(hook.mSeen.size(), 3u);
}

// A deferred push shows once: a frame that shows it forgets it. A control the user moves after
// that keeps the user's value through later frames, and through pushes to other parameters
// (any push at all makes the next frame look at the record).
TEST(PlugEditor, ADeferredPushShowsOnceAndNeverReturns)
{
    EditorPlug plug;
    auto* g = new IGraphicsLice(&plug, 100, 100);
    Filmstrip strip(30, 30, 101);
    auto* gain = new IKnobMultiControl(&plug, 0, 0, kGain, strip.mHandle, 1.0);
    auto* steps = new CountingControl(&plug, IRect(40, 0, 50, 10), kSteps);
    auto* mode = new CountingControl(&plug, IRect(60, 0, 70, 10), kMode);
    g->AddControl(gain);
    g->AddControl(steps);
    g->AddControl(mode);
    plug.AttachEditor(g);
    g->DeferParamPushes();
    auto frame = [&]
    {
        IRect r;
        if (g->CollectDirty(r))
            g->PaintDirty(r);
    };
    frame();

    PushFromHost(*g, kGain, 2.0, false); // automation: 0.2
    PushFromHost(*g, kSteps, 16.0, false);
    frame();
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.2);
    EXPECT_DOUBLE_EQ(steps->GetValue(), 1.0);

    // The user turns the knob up by half its range.
    g->MouseDown(10, 20, {});
    g->MouseDrag(10, 5, {});
    g->MouseUp(10, 5, {});
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.7);
    for (int round = 0; round < 3; ++round)
    {
        frame();
        PushFromHost(*g, kMode, round % 3, false); // the host moves another parameter
        frame();
        EXPECT_DOUBLE_EQ(gain->GetValue(), 0.7) << round;
        EXPECT_DOUBLE_EQ(steps->GetValue(), 1.0) << round;
        EXPECT_DOUBLE_EQ(mode->GetValue(), (round % 3) / 2.0) << round;
    }
    EXPECT_DOUBLE_EQ(plug.GetParam(kGain)->Value(), 7.0);
}

// After a load the plug-in asks a deferring context for every value at once: the next frame
// shows each parameter's value as it stands when the frame starts, later changes included, and
// the single pushes recorded before it do not come back afterwards. A context that does not
// defer declines, and is pushed each value.
TEST(PlugEditor, AllValuesAtTheNextFrameAreTheValuesOfThatFrame)
{
    EditorPlug plug;
    auto* g = new IGraphicsLice(&plug, 100, 100);
    auto* gain = new CountingControl(&plug, IRect(0, 0, 10, 10), kGain);
    auto* steps = new CountingControl(&plug, IRect(40, 0, 50, 10), kSteps);
    g->AddControl(gain);
    g->AddControl(steps);
    plug.AttachEditor(g);
    {
        IMutexLock lock(plug.Mutex());
        EXPECT_FALSE(g->PushAllAtNextFrame());
    }
    g->DeferParamPushes();
    auto frame = [&]
    {
        IRect r;
        if (g->CollectDirty(r))
            g->PaintDirty(r);
    };
    frame();

    {
        IMutexLock lock(plug.Mutex());
        g->PushParamValue(kGain, 1.0, false); // recorded before the load: superseded
        plug.GetParam(kGain)->SetValue(4.0);
        plug.GetParam(kSteps)->SetValue(9.0);
        EXPECT_TRUE(g->PushAllAtNextFrame());
    }
    EXPECT_EQ(gain->GetValue(), 0.5); // nothing shown before the frame
    plug.GetParam(kGain)->SetValue(6.0);
    frame();
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.6);
    EXPECT_DOUBLE_EQ(steps->GetValue(), 8.0 / 15.0);
    gain->SetValueFromUser(0.9);
    frame();
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.9);
    EXPECT_DOUBLE_EQ(steps->GetValue(), 8.0 / 15.0);
}
