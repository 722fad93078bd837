// A second thread calls the plug-in the way hosts' user-interface threads do while the first
// one processes: parameter changes with absurd values, state saved and loaded, the editor opened
// and closed. The stream stays valid, parameters stay normalised, state reads back what was
// loaded.

#include "Scenario.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace orxvalidate
{
namespace
{

// Plays blocks on this thread while `other` runs on a second one, until both have done their
// share (or 6 seconds have gone by, 10 minutes in a long run). beforeBlock(b) runs on this
// thread before block b.
template <class Other, class Before>
void WhileProcessing(Context& cx, Subject& s, int blocks, int otherRounds, Other other,
                     Before beforeBlock)
{
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    const uint64_t seed = cx.Rng().Next();
    std::thread second(
        [&]
        {
            Random rng(seed);
            while (!stop.load())
            {
                other(rng);
                done.fetch_add(1);
            }
        });
    const auto limit = std::chrono::steady_clock::now() +
                       (cx.Long() ? std::chrono::seconds(600) : std::chrono::seconds(6));
    for (int b = 0;
         (b < blocks || done.load() < otherRounds) && std::chrono::steady_clock::now() < limit; ++b)
    {
        beforeBlock(b);
        s.Play(64 + (b * 37) % 448);
    }
    stop.store(true);
    second.join();
}

template <class Other>
void WhileProcessing(Context& cx, Subject& s, int blocks, int otherRounds, Other other)
{
    WhileProcessing(cx, s, blocks, otherRounds, other, [](int) {});
}

float OddValue(Random& rng)
{
    const float odd[] = {NAN,  INFINITY, -INFINITY, -1.0f,
                         2.0f, 1.0e30f,  -0.0f,     std::numeric_limits<float>::denorm_min(),
                         1.0f, 0.0f};
    return rng.Below(2) ? odd[rng.Below(10)] : static_cast<float>(rng.Unit());
}

void ParameterFuzz(Context& cx)
{
    auto s = cx.Make();
    if (!s)
        return;
    vst2::Effect* e = s->Effect();
    const int n = s->NumParams();
    std::atomic<int> badReads{0};
    WhileProcessing(cx, *s, cx.Rounds(6000, 200000), cx.Rounds(50000, 2000000),
                    [&](Random& rng)
                    {
                        const int32_t index = rng.Below(20) == 0
                                                  ? (rng.Below(2) ? INT_MAX : -1 - rng.Below(3))
                                                  : rng.Below(n + 2);
                        e->setParameter(e, index, OddValue(rng));
                        if (n > 0)
                        {
                            const float v = e->getParameter(e, rng.Below(n));
                            if (!(v >= 0.0f && v <= 1.0f))
                                badReads.fetch_add(1);
                            char text[512] = {};
                            e->dispatcher(e, vst2::effGetParamDisplay, rng.Below(n), 0, text, 0);
                        }
                    });
    if (badReads.load() > 0)
        cx.Fail("parameter fuzz: " + std::to_string(badReads.load()) +
                " reads of a parameter outside 0 .. 1 while values were set");
    s->StopAndDrain();
    cx.Judge(*s, "parameter fuzz while processing");
    cx.ExpectNormalisedParams(*s, "parameter fuzz while processing");
}

// Two states to load in turn: each as a fresh instance saves it after its parameters moved.
std::vector<uint8_t> SomeState(Context& cx, uint64_t seed)
{
    auto s = cx.Make();
    Random rng(seed);
    for (int k = 0; k < 30 && s->NumParams() > 0; ++k)
        s->Host().SetParameter(rng.Below(s->NumParams()), static_cast<float>(rng.Unit()));
    return s->State();
}

void StateWhileProcessing(Context& cx, bool editorOpen)
{
    auto s = cx.Make();
    if (!s || !s->HasChunks())
        return;
    vst2::Effect* e = s->Effect();
    const std::vector<uint8_t> states[2] = {SomeState(cx, 1), SomeState(cx, 2)};
    if (editorOpen)
        e->dispatcher(e, vst2::effEditOpen, 0, 0, nullptr, 0.0f);
    // The pattern may evolve while it plays, so the state read back is compared only when no
    // playing block ran since it was loaded: the transport plays 60 blocks, then stands still
    // until the second thread has gone round three times.
    std::atomic<int> mismatches{0}, compared{0}, rounds{0};
    int quietFrom = 0, inPhase = 0;
    std::atomic<bool> stopped{false};
    std::atomic<int> phase{0};
    WhileProcessing(
        cx, *s, cx.Rounds(2000, 200000), cx.Rounds(1000, 100000),
        [&](Random& rng)
        {
            const std::vector<uint8_t>& want = states[rng.Below(2)];
            const int phaseBefore = phase.load();
            const bool quietBefore = stopped.load();
            std::vector<uint8_t> copy = want;
            e->dispatcher(e, vst2::effSetChunk, 0, static_cast<intptr_t>(copy.size()), copy.data(),
                          0.0f);
            if (editorOpen)
                e->dispatcher(e, vst2::effEditIdle, 0, 0, nullptr, 0.0f);
            void* data = nullptr;
            const intptr_t size = e->dispatcher(e, vst2::effGetChunk, 0, 0, &data, 0.0f);
            rounds.fetch_add(1);
            if (!quietBefore || !stopped.load() || phase.load() != phaseBefore)
                return;
            compared.fetch_add(1);
            if (size != static_cast<intptr_t>(want.size()) || !data ||
                std::memcmp(data, want.data(), want.size()) != 0)
                mismatches.fetch_add(1);
        },
        [&](int)
        {
            ++inPhase;
            bool play = s->Transport().mPlaying;
            if (play && inPhase > 60)
            {
                play = false;
                inPhase = 0;
            }
            else if (!play && inPhase > 1 && !stopped.load())
            {
                stopped.store(true); // the first stopped block has run
                quietFrom = rounds.load();
            }
            else if (!play && stopped.load() && rounds.load() >= quietFrom + 3)
            {
                play = true;
                inPhase = 0;
                phase.fetch_add(1);
                stopped.store(false);
            }
            auto lock = s->Host().LockCallbacks();
            s->Transport().mPlaying = play;
        });
    if (editorOpen)
        e->dispatcher(e, vst2::effEditClose, 0, 0, nullptr, 0.0f);
    const std::string step = editorOpen ? "state loaded and saved while processing, editor open"
                                        : "state loaded and saved while processing";
    if (mismatches.load() > 0)
        cx.Fail(step + ": " + std::to_string(mismatches.load()) + " of " +
                std::to_string(compared.load()) +
                " times the saved state was not the one just loaded");
    if (compared.load() == 0)
        cx.Fail(step + ": no state was loaded while the transport stood still");
    s->StopAndDrain();
    cx.Judge(*s, step);
}

void StateThreaded(Context& cx)
{
    StateWhileProcessing(cx, false);
    StateWhileProcessing(cx, true);
}

void EditorThreaded(Context& cx)
{
    auto s = cx.Make();
    if (!s)
        return;
    vst2::Effect* e = s->Effect();
    const int n = s->NumParams();
    WhileProcessing(cx, *s, cx.Rounds(2000, 200000), cx.Rounds(1000, 100000),
                    [&](Random& rng)
                    {
                        void* rect = nullptr;
                        e->dispatcher(e, vst2::effEditGetRect, 0, 0, &rect, 0.0f);
                        e->dispatcher(e, vst2::effEditOpen, 0, 0, nullptr, 0.0f);
                        for (int k = 0; k < 3; ++k)
                        {
                            e->dispatcher(e, vst2::effEditIdle, 0, 0, nullptr, 0.0f);
                            e->dispatcher(e, vst2::effIdle, 0, 0, nullptr, 0.0f);
                        }
                        if (n > 0)
                            e->setParameter(e, rng.Below(n), static_cast<float>(rng.Unit()));
                        e->dispatcher(e, vst2::effEditGetRect, 0, 0, nullptr, 0.0f);
                        e->dispatcher(e, vst2::effEditClose, 0, 0, nullptr, 0.0f);
                        e->dispatcher(e, vst2::effEditClose, 0, 0, nullptr, 0.0f);
                    });
    s->StopAndDrain();
    cx.Judge(*s, "editor opened and closed while processing");
    cx.ExpectNormalisedParams(*s, "editor opened and closed while processing");
}

} // namespace

void AddThreadScenarios(std::vector<Scenario>& out)
{
    out.push_back({"parameter-fuzz-threaded",
                   "NaN, infinities and out-of-range values and indices set from a second "
                   "thread while the first processes",
                   true, ParameterFuzz});
    out.push_back({"state-threaded",
                   "state loaded and saved from a second thread while processing, with and "
                   "without the editor open",
                   true, StateThreaded});
    out.push_back({"editor-threaded", "editor opened, idled and closed while processing", true,
                   EditorThreaded});
}

} // namespace orxvalidate
