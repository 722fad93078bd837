// The editor's thread model: the engine and the host reach the editor from their own threads
// only through records under the instance lock; the editor's frame applies them. Here the host
// plays and automates on other threads while the editor is used: groove strokes, clicks on the
// melody grid, its menus, the modifier panes, the span control, presets loaded from the menu,
// frame ticks. Built with ThreadSanitizer (the tsan preset runs this file alone), it must
// report no race; in every build no edit may be lost and no check may fire.

#include "CheckCapture.h"
#include "ChordSequencerSpanControl.h"
#include "EditorHarness.h"
#include "ISwitchControl.h"
#include "MelodyGrid.h"
#include "MelodyGridLayout.h"
#include "ModifierPanes.h"
#include "OrlantixParamIndex.h"
#include "PresetNameControl.h"
#include "StepSequencerControl.h"

#if ORX_COUNT_ALLOCATIONS
#include "AllocationCounter.h"
#endif

#include <atomic>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace editor_test;

namespace
{
// Plays blocks on a thread of its own, transport running, until stopped, and automates the
// velocity from there now and then, as some hosts do.
class AudioThread
{
public:
    explicit AudioThread(Harness& h)
        : mThread(
              [this, &h]
              {
                  while (!mStop)
                  {
                      h.Host().Process(256);
                      if (mBlocks % 16 == 0)
                          h.Host().SetParameter(kVel, (mBlocks / 16 % 128) / 127.0f);
                      if (++mBlocks % 512 == 0)
                      {
                          auto lock = h.Host().LockCallbacks();
                          h.Host().ClearEvents(); // only this thread's process calls add any
                      }
                  }
              })
    {
    }
    ~AudioThread() { Stop(); }
    void Stop()
    {
        mStop = true;
        if (mThread.joinable())
            mThread.join();
    }
    int Blocks() const { return mBlocks; }

private:
    std::atomic<bool> mStop{false};
    std::atomic<int> mBlocks{0};
    std::thread mThread;
};

// Reads the instance under its lock, as the editor's own code does.
template <class Read>
auto Locked(Harness& h, Read read)
{
    IMutexLock lock(h.Plug().Mutex());
    return read(h.Plug());
}

int BaseMask(Harness& h, int chordStep, int variation, int pulse)
{
    return Locked(h,
                  [&](Orlantix& p) {
                      return p.Engine()
                          .mProgression.GetMelody(chordStep, variation)
                          ->mPitchSets[pulse]
                          .mBaseMask;
                  });
}

double Value(Harness& h, int paramIdx)
{
    return h.Plug().GetParam(paramIdx)->Value();
}

std::pair<int, int> CentreOf(const IRect& r)
{
    return {(r.mL + r.mR) / 2, (r.mT + r.mB) / 2};
}
} // namespace

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

// The editor used for a few hundred rounds while the host plays without pause: every edit (and
// some undone and redone) is checked right after it is made, against the instance's own data.
TEST(EditorThreads, EveryEditLandsWhileTheHostPlays)
{
    CheckCapture checks;
    Harness h;
    h.Plug().ConfigPool().SetString(kConfigPresetFolder, ORX_SOURCE_DIR "/presets");
    h.Plug().RebuildPresetTree();
    const char* const presets[] = {"Four Chords", "Swung Groove", "Modifier Play"};
    std::vector<std::string> lost;
    const auto expect = [&](bool landed, int round, const std::string& edit)
    {
        if (!landed)
            lost.push_back("round " + std::to_string(round) + ": " + edit);
    };

#if ORX_COUNT_ALLOCATIONS
    const long handedAllocations = AllocationCounter::InHandedWork();
#endif
    AudioThread audio(h);
    constexpr int kRounds = 240;
    for (int round = 0; round < kRounds; ++round)
    {
        const int k = round % MAX_STEPS, v = (round / MAX_STEPS) % MAX_VARIATIONS_PER_CHORD;
        const IRect canvas = melody_grid::CanvasRect(k, v);
        switch (round % 8)
        {
        case 0:
        {
            // A degree of the first pulse, whatever the pulse count.
            const int pulses =
                Locked(h, [&](Orlantix& p)
                       { return p.Engine().mProgression.GetMelody(k, v)->mNumPulses; });
            const int degree = round % kNumPitchDegrees, bit = 1 << degree;
            // The click toggles the degree as the canvas shows it (the model of the last frame)
            // in what plays, in what a pending temporary change restores (which stays pending)
            // and in the edited mask. Holding the lock keeps the audio thread from moving the
            // masks between the click and the reading.
            IMutexLock lock(h.Plug().Mutex());
            const bool shown =
                (h.Editor().Model().mProgression.GetMelody(k, v)->mPitchSets[0].mPlayingMask &
                 bit) != 0;
            const bool pending =
                h.Plug().Engine().mProgression.GetMelody(k, v)->mPitchSets[0].mRestorePending;
            h.Window().Click(canvas.mL + melody_grid::PulseColumn(pulses, 0).mFrom + 2,
                             canvas.mT + melody_grid::DegreeRow(degree).mFrom + 2);
            const PitchSet& set = h.Plug().Engine().mProgression.GetMelody(k, v)->mPitchSets[0];
            const bool restored = set.mRestorePending ? (set.mSavedMask & bit) != 0 : !shown;
            expect(((set.mPlayingMask & bit) != 0) != shown &&
                       ((set.mBaseMask & bit) != 0) != shown && restored != shown &&
                       set.mRestorePending == pending,
                   round, "degree click");
            break;
        }
        case 1:
        {
            const int step = (round / 8) % GrooveMaker::MAX_STEPS;
            const int x = 20 + 14 * step + 6, y = 560 + round % 50;
            const auto [locked, before] =
                Locked(h,
                       [&](Orlantix& p) {
                           return std::pair(p.Engine().mGroove.Locked(step),
                                            p.Engine().mGroove.Velocity(step));
                       });
            h.Window().Drag(x, 556, x, y, 2);
            const int velocity =
                Locked(h, [&](Orlantix& p) { return p.Engine().mGroove.Velocity(step); });
            expect(velocity == (locked ? before : (614 - y) * 2), round, "groove stroke");
            break;
        }
        case 2:
            h.Window().AnswerMenu("Clear");
            h.Window().RightClick(CentreOf(canvas).first, CentreOf(canvas).second);
            for (int pulse = 0; pulse < kPitchSetsPerMelody; ++pulse)
                expect(BaseMask(h, k, v, pulse) == 0, round, "cell menu Clear");
            break;
        case 3:
        {
            const IRect& r =
                h.Editor().Panes().Step(ModifierPane::kStrike, round % 8)->mpModifier->GetRECT();
            const double before = Value(h, kStkMod1 + round % 8);
            h.Window().Click(CentreOf(r).first, CentreOf(r).second);
            expect(Value(h, kStkMod1 + round % 8) == (before >= 12.0 ? 0.0 : before + 1.0), round,
                   "strike modifier button");
            break;
        }
        case 4:
        {
            const IRect& r =
                h.Editor().Panes().Step(ModifierPane::kMelody, round % 8)->mpModifier->GetRECT();
            h.Window().AnswerMenu("Rand");
            h.Window().RightClick(CentreOf(r).first, CentreOf(r).second);
            expect(Value(h, kMelMod1 + round % 8) == 17.0, round, "melody step menu");
            break;
        }
        case 5:
        {
            auto& span = h.Editor().SpanControl();
            const int low = round % 3;
            h.Window().Drag(span.PositionX(span.Low()), 118, span.PositionX(low), 118, 2);
            expect(Locked(h, [](Orlantix& p) { return p.Engine().mProgression.BeginStep(); }) ==
                           low &&
                       span.Low() == low,
                   round, "span thumb");
            break;
        }
        case 6:
        {
            const int row = round % MAX_VARIATIONS_PER_CHORD;
            const IRect& r = h.Editor().Grid().MuteSwitch(row)->GetRECT();
            const double before = Value(h, kRowMute1 + row);
            h.Window().Click(CentreOf(r).first, CentreOf(r).second);
            expect(Value(h, kRowMute1 + row) == 1.0 - before, round, "row mute switch");
            // Taken back and done again with the keys.
            IMouseKeys control;
            control.mC = true;
            h.Window().Key(300, 300, 'Z', control);
            expect(Value(h, kRowMute1 + row) == before, round, "undo");
            h.Window().Key(300, 300, 'Y', control);
            expect(Value(h, kRowMute1 + row) == 1.0 - before, round, "redo");
            break;
        }
        default:
        {
            const char* preset = presets[(round / 8) % 3];
            h.Window().AnswerMenu(preset);
            h.Window().Click(600, 524);
            h.Window().Tick();
            expect(std::strcmp(h.Editor().PresetField().GetText(), preset) == 0, round,
                   std::string("preset ") + preset);
            break;
        }
        }
        h.Window().Tick();
    }
    audio.Stop();
    EXPECT_TRUE(lost.empty()) << lost.size() << " edits lost, the first: " << lost.front();
    // The host played all along: many blocks, a good share of them during the rounds.
    EXPECT_GT(audio.Blocks(), kRounds);
#if ORX_COUNT_ALLOCATIONS
    // The audio thread made the editor's edits, undo steps and preset loads meanwhile, and
    // allocated nothing for them.
    EXPECT_EQ(AllocationCounter::InHandedWork(), handedAllocations);
#endif
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}

// A preset loaded from the menu while the host plays is one change for the audio thread: every
// block starts from the whole of one preset, its parameter values and what their handlers made
// of them, never from part of a load.
TEST(EditorThreads, EveryBlockPlaysAWholePreset)
{
    CheckCapture checks;
    Harness h;
    h.Plug().ConfigPool().SetString(kConfigPresetFolder, ORX_SOURCE_DIR "/presets");
    h.Plug().RebuildPresetTree();
    // What the instance holds after each of two presets that differ in many parameters.
    const auto state = [](Orlantix& p)
    {
        std::vector<double> s;
        for (int i = 0; i < p.NParams(); ++i)
            s.push_back(p.GetParam(i)->Value());
        const PatternEngine& e = p.Engine();
        s.insert(s.end(), {double(e.mTonic), double(e.mGroove.NumStepsActive()),
                           double(e.mProgression.StepCount()), double(e.mGroove.Muted(3))});
        s.insert(s.end(), std::begin(e.mChordDegrees), std::end(e.mChordDegrees));
        return s;
    };
    const char* const presets[] = {"Four Chords", "Swung Groove"};
    std::vector<double> whole[2];
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_TRUE(h.Plug().ReadPreset(
            (std::string(ORX_SOURCE_DIR "/presets/") + presets[i] + ".preset").c_str()));
        whole[i] = state(h.Plug());
    }
    ASSERT_NE(whole[0], whole[1]);

    // Looked at inside the process calls, where the audio thread holds the lock.
    std::atomic<int> looks{0}, torn{0};
    h.Host().SetCallbackHook(
        [&](orxhost::VstHost&, int32_t opcode)
        {
            if (opcode != vst2::audioMasterGetTime || !h.Plug().Mutex().HeldByCaller())
                return;
            const std::vector<double> now = state(h.Plug());
            ++looks;
            if (now != whole[0] && now != whole[1])
                ++torn;
        });
    std::atomic<bool> stop{false};
    std::thread audio(
        [&]
        {
            while (!stop)
            {
                h.Host().Process(64);
                auto lock = h.Host().LockCallbacks();
                h.Host().ClearEvents();
            }
        });
    for (int load = 0; load < 120; ++load)
    {
        h.Window().AnswerMenu(presets[load % 2]);
        h.Window().Click(600, 524);
        h.Window().Tick();
    }
    stop = true;
    audio.join();
    h.Host().SetCallbackHook(nullptr);
    EXPECT_EQ(state(h.Plug()), whole[1]);
    EXPECT_GT(looks.load(), 120);
    EXPECT_EQ(torn.load(), 0) << "of " << looks.load() << " looks";
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}

// A controller can be bound to any parameter, and its changes arrive with the host's MIDI, on
// the audio thread: every parameter's handler must then keep to what the audio thread may do,
// and the editor shows the value at its next frame.
TEST(EditorThreads, EveryParameterCanFollowAControllerFromTheAudioThread)
{
    CheckCapture checks;
    Harness h;
    for (int param = 0; param < h.Plug().NParams(); ++param)
    {
        h.Plug().AssignController(7, param, 1u);
        for (int value : {127, 0, 64})
        {
            EXPECT_EQ(h.Host().SendMidi(0xB0, 7, static_cast<uint8_t>(value)), 1);
            h.Host().Process(256);
        }
        h.Window().Tick();
        const IParameter& p = *h.Plug().GetParam(param);
        if (IControl* control = h.ControlOf(param))
        {
            EXPECT_NEAR(control->GetValue(), p.Normalised(), 1e-6) << p.Name();
        }
    }
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}
