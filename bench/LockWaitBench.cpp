// How long the audio thread waits for the instance lock while the editor is used as fast as it
// goes on another thread. The instance, with its editor in the headless window layer, is hosted
// in process by our own VST 2 host. The editor's thread runs round after round of what a
// musician does (a frame after each): presets loaded from the preset menu, commands from the
// right-click menus of melody cells and rows, degree clicks, groove strokes, knob drags, span
// drags, modifier buttons, undo and redo. The benchmark's own thread is the host's audio thread: it
// plays one short block after another, with a pause between them as a host's period would leave,
// and times only the wait, from asking for the lock to holding it, with a steady clock. The process
// call that follows takes the lock again, which the holder gets at once.
//
// Reported over all blocks of a run: the counters p50_ns, p99_ns, p999_ns and max_ns, the number
// of waits over a microsecond and how many editor rounds ran meanwhile; the
// same figures in microseconds go to the standard error stream. Every block also times the same
// ask of a lock no other thread takes (floor_p999_ns, floor_max_ns): what the machine alone adds
// to a wait in the same run, since a guest's processors may be held up for a hundred microseconds
// and more. The editor's sections that the audio thread runs for it when it takes the lock
// (IMutex::Run) are timed apart (handed_p999_ns, handed_max_ns, per block) and not counted as
// waiting. The waits that found another thread holding the lock are counted apart too
// (held_waits, held_max_ns): only those are the lock's; the rest are the machine's.
//
// The machine is shared: measure when it is quiet, and repeat (--benchmark_repetitions=5).
// Environment: ORX_LOCKWAIT_PIN=1 pins the audio thread to the first CPU and the editor's to the
// second, ORX_LOCKWAIT_RT=1 runs the audio thread at a real-time priority (SCHED_FIFO) as hosts
// do, when the system allows it; ORX_LOCKWAIT_BLOCKS sets the number of blocks (default 60000);
// ORX_LOCKWAIT_IDLE=1 leaves the editor idle, which shows the machine's own floor: the waits of an
// uncontended lock, stretched only by interrupts and the scheduler.

#include "ChordSequencerSpanControl.h"
#include "EditorLayout.h"
#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "ISwitchControl.h"
#include "MelodyGrid.h"
#include "MelodyGridLayout.h"
#include "ModifierPanes.h"
#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "OrlantixInProcess.h"
#include "StepSequencerControl.h"
#include "VstHost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int kBlockFrames = 128;
// Far shorter than any host's period (a 64-frame block at 48 kHz lasts 1.3 ms): the editor has
// the least room. ORX_LOCKWAIT_PAUSE_US sets another.
constexpr int kPauseUs = 150;

bool EnvFlag(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v && *v != '0';
}

int EnvInt(const char* name, int fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::max(1, std::atoi(v)) : fallback;
}

void PinTo(int cpu)
{
    if (!EnvFlag("ORX_LOCKWAIT_PIN") ||
        static_cast<int>(std::thread::hardware_concurrency()) <= cpu)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    pthread_setaffinity_np(pthread_self(), sizeof(set), &set);
}

// Real-time priority for the calling thread while alive, as hosts give their audio threads.
class RealTime
{
public:
    RealTime()
    {
        if (!EnvFlag("ORX_LOCKWAIT_RT"))
            return;
        pthread_getschedparam(pthread_self(), &mPolicy, &mParam);
        sched_param rt{};
        rt.sched_priority = 70;
        mOn = pthread_setschedparam(pthread_self(), SCHED_FIFO, &rt) == 0;
    }
    ~RealTime()
    {
        if (mOn)
            pthread_setschedparam(pthread_self(), mPolicy, &mParam);
    }
    bool On() const { return mOn; }

private:
    int mPolicy = SCHED_OTHER;
    sched_param mParam{};
    bool mOn = false;
};

class Rig
{
public:
    Rig()
    {
        if (!mHost.LoadEntry(&OrlantixInProcessEntry, "Orlantix (in process)"))
            return;
        mHost.Start(44100.0f, kBlockFrames);
        mHost.SetBufferChecks(false);
        mpPlug = static_cast<Orlantix*>(static_cast<IPlugVST*>(mHost.Effect()->object));
        mpPlug->ConfigPool().SetString(kConfigPresetFolder, ORX_SOURCE_DIR "/presets");
        mpPlug->RebuildPresetTree();
        mpEditor = OrlantixEditor::Of(*mpPlug);
        mpWindow = std::make_unique<HeadlessWindow>(mpEditor->Graphics());
        mpWindow->Open();
        mpWindow->Tick();
    }
    bool Ready() const { return mpWindow != nullptr; }

    // One round of the editor's thread: an edit, then a frame.
    void EditorRound(int round)
    {
        HeadlessWindow& w = *mpWindow;
        const int k = round % MAX_STEPS, v = (round / MAX_STEPS) % MAX_VARIATIONS_PER_CHORD;
        const IRect cell = melody_grid::CanvasRect(k, v);
        switch (round % 9)
        {
        case 0:
        {
            static const char* const kPresets[] = {"Four Chords", "Swung Groove", "Modifier Play",
                                                   "Variations", "Random Walk"};
            w.AnswerMenu(kPresets[(round / 9) % 5]);
            w.Click(600, 524);
            ++mPresetLoads;
            break;
        }
        case 1:
        {
            static const char* const kCommands[] = {"Rand",  "Flip L/R", "> 1",  "Copy",
                                                    "Paste", "^ 2",      "Clear"};
            w.AnswerMenu(kCommands[(round / 9) % 7]);
            w.RightClick((cell.mL + cell.mR) / 2, (cell.mT + cell.mB) / 2);
            break;
        }
        case 2:
        {
            static const char* const kCommands[] = {
                "Scramble (chord)", "> 3", "Random (pulse)", "Copy", "Paste", "Flip T/B",
                "Reverse (pulse)"};
            const IRect r = melody_grid::RowControlRect(v);
            w.AnswerMenu(kCommands[(round / 9) % 7]);
            w.RightClick((r.mL + r.mR) / 2, (r.mT + r.mB) / 2);
            break;
        }
        case 3:
        {
            const int from = (round * 7) % 40;
            w.Drag(20 + 14 * from + 6, 560 + round % 40, 20 + 14 * (from + 8) + 6, 600, 8);
            break;
        }
        case 4:
        {
            static const int kKnobs[] = {kVel, kSwing, kTonic, kStkProb, kMelProb};
            const IControl* knob = ControlOf(kKnobs[(round / 9) % 5]);
            if (!knob)
                break;
            const IRect& r = knob->GetRECT();
            const int x = (r.mL + r.mR) / 2, y = (r.mT + r.mB) / 2;
            w.Drag(x, y, x, y + ((round / 9) % 2 ? 24 : -24), 6);
            break;
        }
        case 5:
        {
            auto& span = mpEditor->SpanControl();
            w.Drag(span.PositionX(span.Low()), 118, span.PositionX(round % 4), 118, 4);
            break;
        }
        case 6:
            w.Click(cell.mL + 3, cell.mT + 3 + 7 * (round % 5));
            break;
        case 7:
        {
            const ModifierPane pane = round % 2 ? ModifierPane::kStrike : ModifierPane::kMelody;
            const IRect& r = mpEditor->Panes().Step(pane, round % 8)->mpModifier->GetRECT();
            w.Click((r.mL + r.mR) / 2, (r.mT + r.mB) / 2);
            break;
        }
        default:
        {
            // Undo the last edit, redo it, or a second frame: most of an editor's time is frames.
            IMouseKeys control;
            control.mC = true;
            if ((round / 9) % 3 == 0)
                w.Key(360, 300, 'Z', control);
            else if ((round / 9) % 3 == 1)
                w.Key(360, 300, 'Y', control);
            else
                w.Tick();
            break;
        }
        }
        w.Tick();
    }

    struct Waits
    {
        long long mLock = 0;   // for the instance lock, in nanoseconds
        long long mFloor = 0;  // for a lock no other thread knows
        long long mHanded = 0; // running the sections the editor handed over, once held
        bool mHeld = false;    // another thread held the instance lock at the ask
    };

    // One block on the audio thread. Besides the wait for the instance lock, the same ask of a
    // lock nobody else takes: the machine's own floor in the same run, stretched only by
    // interrupts and the hypervisor. The two are timed in turns right after the pause, where
    // a thread that slept is most often held up.
    Waits AudioBlock()
    {
        Waits waits;
        const bool floorFirst = mBlocks % 2 != 0;
        if (floorFirst)
            waits.mFloor = TimedAsk(mFloorMutex);
        IMutex& mutex = mpPlug->Mutex();
        waits.mLock = TimedAsk(mutex);
        // Work, not waiting: the editor's sections, which the audio thread runs itself.
        waits.mHanded = mutex.HandedWorkNs();
        waits.mLock -= waits.mHanded;
        waits.mHeld = mutex.AudioFoundHeld();
        mHost.Process(kBlockFrames);
        mutex.Leave();
        if (!floorFirst)
            waits.mFloor = TimedAsk(mFloorMutex);
        mFloorMutex.Leave();
        if (++mBlocks % 256 == 0)
        {
            auto lock = mHost.LockCallbacks();
            mHost.ClearEvents(); // only this thread's process calls add any
        }
        return waits;
    }

    int PresetLoads() const { return mPresetLoads; }

private:
    // Takes the lock as the audio thread does and answers how long that took.
    static long long TimedAsk(IMutex& mutex)
    {
        const Clock::time_point asked = Clock::now();
        mutex.EnterFirst();
        const Clock::time_point held = Clock::now();
        return std::chrono::duration_cast<std::chrono::nanoseconds>(held - asked).count();
    }

    const IControl* ControlOf(int paramIdx) const
    {
        IGraphicsWin& g = mpEditor->Graphics();
        for (int i = 0; i < g.NControls(); ++i)
            if (g.GetControl(i)->ParamIdx() == paramIdx)
                return g.GetControl(i);
        return nullptr;
    }

    orxhost::VstHost mHost;
    Orlantix* mpPlug = nullptr;
    OrlantixEditor* mpEditor = nullptr;
    std::unique_ptr<HeadlessWindow> mpWindow;
    IMutex mFloorMutex;
    int mBlocks = 0;
    int mPresetLoads = 0; // the editor thread's
};

double At(const std::vector<long long>& sorted, double fraction)
{
    const auto i = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1));
    return static_cast<double>(sorted[i]);
}
} // namespace

static void BM_AudioLockWaitWhileEditing(benchmark::State& state)
{
    Rig rig;
    if (!rig.Ready())
    {
        state.SkipWithError("the instance could not be hosted");
        return;
    }
    std::vector<long long> waits, floors, handed, held;
    waits.reserve(static_cast<std::size_t>(state.max_iterations));
    held.reserve(static_cast<std::size_t>(state.max_iterations));
    floors.reserve(static_cast<std::size_t>(state.max_iterations));
    handed.reserve(static_cast<std::size_t>(state.max_iterations));
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    const auto pause = std::chrono::microseconds(EnvInt("ORX_LOCKWAIT_PAUSE_US", kPauseUs));
    std::thread editor(
        [&]
        {
            PinTo(1);
            const bool idle = EnvFlag("ORX_LOCKWAIT_IDLE");
            while (!stop.load(std::memory_order_relaxed))
            {
                if (idle && rounds.load() >= 10)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                else
                    rig.EditorRound(rounds.fetch_add(1, std::memory_order_relaxed));
            }
        });
    PinTo(0);
    {
        const RealTime realTime;
        state.counters["realtime"] = realTime.On() ? 1 : 0;
        while (rounds.load() < 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(1)); // the editor is going
        for (auto _ : state)
        {
            const Rig::Waits w = rig.AudioBlock();
            waits.push_back(w.mLock);
            floors.push_back(w.mFloor);
            handed.push_back(w.mHanded);
            if (w.mHeld)
                held.push_back(w.mLock);
            std::this_thread::sleep_for(pause);
        }
    }
    stop = true;
    editor.join();

    std::sort(waits.begin(), waits.end());
    std::sort(floors.begin(), floors.end());
    const long sectionsRun = static_cast<long>(
        handed.size() - static_cast<std::size_t>(std::count(handed.begin(), handed.end(), 0)));
    std::sort(handed.begin(), handed.end());
    std::sort(held.begin(), held.end());
    const double heldMax = held.empty() ? 0.0 : static_cast<double>(held.back());
    const auto over = [](const std::vector<long long>& v, long long ns)
    { return static_cast<long>(v.end() - std::upper_bound(v.begin(), v.end(), ns)); };
    state.counters["p50_ns"] = At(waits, 0.5);
    state.counters["p99_ns"] = At(waits, 0.99);
    state.counters["p999_ns"] = At(waits, 0.999);
    state.counters["max_ns"] = static_cast<double>(waits.back());
    state.counters["waits_over_1us"] = static_cast<double>(over(waits, 1000));
    state.counters["floor_p999_ns"] = At(floors, 0.999);
    state.counters["floor_max_ns"] = static_cast<double>(floors.back());
    state.counters["editor_rounds"] = rounds.load();
    state.counters["handed_p999_ns"] = At(handed, 0.999);
    state.counters["handed_max_ns"] = static_cast<double>(handed.back());
    state.counters["held_waits"] = static_cast<double>(held.size());
    state.counters["held_max_ns"] = heldMax;
    std::fprintf(stderr,
                 "audio thread's lock wait over %zu blocks: p50 %.2f us, p99 %.2f us, p99.9 %.2f "
                 "us, max %.2f us; %ld waits over 1 us, %ld over 100 us; editor rounds %d (%d "
                 "preset loads)\n"
                 "the floor, a lock nobody else takes: p99.9 %.2f us, max %.2f us; %ld waits over "
                 "100 us\n"
                 "the editor's sections run by the audio thread: in %ld blocks; per block p99.9 "
                 "%.2f us, max %.2f us\n"
                 "waits that found another thread holding the lock: %zu, max %.2f us; %ld over "
                 "100 us\n",
                 waits.size(), At(waits, 0.5) / 1e3, At(waits, 0.99) / 1e3, At(waits, 0.999) / 1e3,
                 static_cast<double>(waits.back()) / 1e3, over(waits, 1000), over(waits, 100000),
                 rounds.load(), rig.PresetLoads(), At(floors, 0.999) / 1e3,
                 static_cast<double>(floors.back()) / 1e3, over(floors, 100000), sectionsRun,
                 At(handed, 0.999) / 1e3, static_cast<double>(handed.back()) / 1e3, held.size(),
                 heldMax / 1e3, over(held, 100000));
}
BENCHMARK(BM_AudioLockWaitWhileEditing)
    ->Iterations(EnvInt("ORX_LOCKWAIT_BLOCKS", 60000))
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// How often the machine takes the processor from a thread that never sleeps: the thread reads
// the clock as fast as it goes for ten seconds (on the editor's processor with
// ORX_LOCKWAIT_PIN=1) and counts the gaps between two readings. A holder of the instance lock is
// held up the same way; the audio thread then waits for as long, whatever the holder was doing.
// With Arg(1) a second such thread runs on the other processor, as when both are busy.
static void BM_ProcessorStalls(benchmark::State& state)
{
    const auto spin = [](long long* counts, long long& longest)
    {
        const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
        Clock::time_point last = Clock::now();
        while (last < end)
        {
            const Clock::time_point now = Clock::now();
            const long long gap =
                std::chrono::duration_cast<std::chrono::nanoseconds>(now - last).count();
            counts[0] += gap > 50000;
            counts[1] += gap > 100000;
            counts[2] += gap > 1000000;
            longest = std::max(longest, gap);
            last = now;
        }
    };
    long long counts[3] = {}, other[3] = {}, longest = 0, otherLongest = 0;
    for (auto _ : state)
    {
        std::thread second;
        if (state.range(0) != 0)
            second = std::thread(
                [&]
                {
                    PinTo(0);
                    spin(other, otherLongest);
                });
        std::thread first(
            [&]
            {
                PinTo(1);
                spin(counts, longest);
            });
        first.join();
        if (second.joinable())
            second.join();
    }
    state.counters["gaps_over_50us"] = static_cast<double>(counts[0]);
    state.counters["gaps_over_100us"] = static_cast<double>(counts[1]);
    state.counters["gaps_over_1ms"] = static_cast<double>(counts[2]);
    state.counters["longest_us"] = static_cast<double>(longest) / 1e3;
    std::fprintf(stderr,
                 "a thread that never sleeps, %s, over 10 s: %lld gaps over 50 us, %lld over "
                 "100 us, %lld over 1 ms, the longest %.1f us\n",
                 state.range(0) ? "beside another" : "alone", counts[0], counts[1], counts[2],
                 static_cast<double>(longest) / 1e3);
}
BENCHMARK(BM_ProcessorStalls)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
