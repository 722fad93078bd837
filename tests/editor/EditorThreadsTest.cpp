// The editor's thread model: the engine and the host reach the editor from their own threads
// only through records under the instance lock; the editor's frame applies them. Here the host
// plays and automates on other threads while the editor draws and ticks.

#include "EditorHarness.h"
#include "IGrooveMakerStepMarker.h"
#include "OrlantixParamIndex.h"

#include <atomic>
#include <thread>

using namespace editor_test;

TEST(EditorThreads, WhatOtherThreadsDoReachesTheControlsAtTheNextFrame)
{
    Harness h;
    IControl& vel = *h.ControlOf(kVel);
    const double before = vel.GetValue();
    std::thread automation([&] { h.Host().SetParameter(kVel, h.Normalised(kVel, 20)); });
    automation.join();
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 20.0);
    EXPECT_EQ(vel.GetValue(), before); // the control is the editor thread's alone
    h.Window().Tick();
    EXPECT_NEAR(vel.GetValue(), 20.0 / 127.0, 1e-6); // as the host sent it, a float

    // Blocks played on another thread while the editor draws the groove and ticks.
    std::atomic<bool> done{false};
    std::thread audio(
        [&]
        {
            for (int block = 0; block < 400; ++block)
                h.Host().Process(512);
            done = true;
        });
    int strokes = 0;
    while (!done)
    {
        const int step = 10 + strokes % 30;
        h.Window().Drag(20 + 14 * step + 6, 560, 20 + 14 * step + 6, 600, 2);
        h.Window().Tick();
        ++strokes;
    }
    audio.join();
    h.Window().Tick();
    // The marker shows where the audio thread left the groove cursor.
    EXPECT_EQ(h.Editor().Model().mGrooveCurrentStep, h.Plug().Engine().mGroove.Cursor());
    EXPECT_GT(h.Plug().Engine().mGroove.Cursor(), 0);
    EXPECT_EQ(h.Plug().Engine().mGroove.Velocity(10), 28); // (614 - 600) * 2
    EXPECT_GT(strokes, 0);
}
