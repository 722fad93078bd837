// The editor's thread model: the engine and the host reach the editor from their own threads
// only through records under the instance lock; the editor's frame applies them. Here the host
// plays and automates on other threads while the editor is used: groove strokes, clicks on the
// melody grid, the span control, presets loaded from the menu, frame ticks. Built with
// ThreadSanitizer, it must report no race; in every build no edit may be lost and no check may
// fire. (Only edits the host does not hear are made while it plays: the test host itself is
// not made for two threads.)

#include "CheckCapture.h"
#include "ChordSequencerSpanControl.h"
#include "EditorHarness.h"
#include "OrlantixParamIndex.h"
#include "PresetNameControl.h"

#include <atomic>
#include <thread>

using namespace editor_test;

TEST(EditorThreads, WhatOtherThreadsDoReachesTheControlsAtTheNextFrame)
{
    CheckCapture checks;
    Harness h;
    IControl& vel = *h.ControlOf(kVel);
    const double before = vel.GetValue();
    std::thread automation([&] { h.Host().SetParameter(kVel, h.Normalised(kVel, 20)); });
    automation.join();
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 20.0);
    EXPECT_EQ(vel.GetValue(), before); // the control is the editor thread's alone
    h.Window().Tick();
    EXPECT_NEAR(vel.GetValue(), 20.0 / 127.0, 1e-6); // as the host sent it, a float

    h.Plug().ConfigPool().SetString(kConfigPresetFolder, ORX_SOURCE_DIR "/presets");
    h.Plug().RebuildPresetTree();
    std::atomic<bool> done{false};
    std::thread audio(
        [&]
        {
            for (int block = 0; block < 600; ++block)
                h.Host().Process(512);
            done = true;
        });
    int round = 0;
    const char* const presets[] = {"Four Chords", "Swung Groove"};
    while (!done || round < 12)
    {
        const int step = 10 + round % 30;
        h.Window().Drag(20 + 14 * step + 6, 560, 20 + 14 * step + 6, 600, 2);
        h.Window().Click(20 + 52 * (round % 12) + 5, 128 + 10 + 37); // a cell's lowest degree
        const int low = round % 3;
        auto& span = h.Editor().SpanControl();
        h.Window().Drag(span.PositionX(span.Low()), 118, span.PositionX(low), 118, 2);
        if (round % 5 == 4)
        {
            h.Window().AnswerMenu(presets[(round / 5) % 2]);
            h.Window().Click(600, 524);
        }
        h.Window().Tick();
        ++round;
    }
    audio.join();
    // Edits after the last load, on a steady instance: they stay as made.
    h.Window().Drag(20 + 14 * 47 + 6, 560, 20 + 14 * 47 + 6, 600, 2);
    h.Window().Tick();
    EXPECT_EQ(h.Plug().Engine().mGroove.Velocity(47), 28); // (614 - 600) * 2
    const int loads = round / 5;
    EXPECT_STREQ(h.Editor().PresetField().GetText(), presets[(loads - 1) % 2]);
    EXPECT_EQ(h.Editor().SpanControl().Low(), h.Plug().Engine().mProgression.BeginStep());
    // The marker shows where the audio thread left the groove cursor.
    EXPECT_EQ(h.Editor().Model().mGrooveCurrentStep, h.Plug().Engine().mGroove.Cursor());
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}
