// A host whose callback takes a lock of its own that its audio thread holds while it processes,
// as hosts guard their session and graph with a lock the process cycle holds. A plug-in that
// calls back from the user-interface thread while holding a lock its process call waits for
// (its instance lock) deadlocks such a host: the host's callback waits for the audio thread,
// which holds the host's lock and waits in process for the plug-in.
//
// Here the callback waits for the host's lock a few seconds at most; not getting it is the
// finding, naming the dispatcher call and the host opcode, and the callback then goes on without
// the lock, so the run goes on too.

#include "Scenario.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orxvalidate
{
namespace
{

using namespace std::chrono_literals;

constexpr auto kHostLockWait = 3s;
constexpr int kAudioBlock = 256;

class LockingHost
{
public:
    LockingHost(Context& cx, Subject& s) : mCx(cx), mS(s), mMain(std::this_thread::get_id())
    {
        mS.Host().SetCallWatcher([this](const orxhost::HostCall& call) { Callback(call); });
    }

    ~LockingHost()
    {
        StopAudio();
        mS.Host().SetCallWatcher(nullptr);
    }
    LockingHost(const LockingHost&) = delete;
    LockingHost& operator=(const LockingHost&) = delete;

    void StartAudio()
    {
        mStop = false;
        mAudio = std::thread([this] { AudioLoop(); });
    }

    void StopAudio()
    {
        mStop = true;
        if (mAudio.joinable())
            mAudio.join();
    }

    // The dispatcher call the main thread makes now, for the findings; it runs after.
    template <class Call>
    void Step(const char* name, Call call)
    {
        mStep = name;
        call(mS.Effect());
    }

    intptr_t Dispatch(vst2::Effect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                      void* ptr = nullptr, float opt = 0.0f)
    {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }

private:
    // The audio thread: the host's lock held around every process call, a short rest between.
    void AudioLoop()
    {
        while (!mStop.load())
        {
            {
                std::lock_guard lock(mHostLock);
                mCycles.fetch_add(1);
                mS.Host().Process(kAudioBlock);
            }
            std::this_thread::sleep_for(1ms);
        }
    }

    // The host's callback on the main thread takes the host's lock, once the audio thread has
    // begun a cycle after the call came: where the plug-in holds the lock that cycle waits for,
    // the host's lock stays held. The audio thread's own calls need no more than it holds.
    void Callback(const orxhost::HostCall& call)
    {
        if (std::this_thread::get_id() != mMain || !mAudio.joinable())
            return;
        const std::pair<std::string, int32_t> key{mStep, call.mOpcode};
        if (mFound.count(key) != 0)
            return; // once for each call and opcode, so a faulty plug-in costs seconds, not minutes
        const long before = mCycles.load();
        for (int waited = 0; mCycles.load() == before && waited < 200; ++waited)
            std::this_thread::sleep_for(1ms);
        if (TakeHostLock())
        {
            mHostLock.unlock();
            return;
        }
        mFound.insert(key);
        mCx.Fail(mStep + ": the plug-in called " + orxhost::HostOpcodeName(call.mOpcode) +
                 " while holding a lock its process call waits for: the host's callback did not "
                 "get the host's lock in 3 s, held by the audio thread waiting in process (a host "
                 "that takes its lock there deadlocks)");
    }

    // The host's lock within kHostLockWait, tried every millisecond: a plain lock tried, since
    // ThreadSanitizer does not see the timed lock of the standard library taken.
    bool TakeHostLock()
    {
        const auto end = std::chrono::steady_clock::now() + kHostLockWait;
        while (!mHostLock.try_lock())
        {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    Context& mCx;
    Subject& mS;
    std::thread::id mMain;
    std::mutex mHostLock;
    std::atomic<long> mCycles{0};
    std::atomic<bool> mStop{false};
    std::string mStep = "before the first call";
    std::set<std::pair<std::string, int32_t>> mFound;
    std::thread mAudio;
};

void HostLockDeadlock(Context& cx)
{
    auto s = cx.Make(false);
    if (!s)
        return;
    {
        LockingHost h(cx, *s);
        // Opened while the audio thread already processes it (a host that opens twice, or
        // before it stops processing what it has): what the plug-in asks on opening is judged.
        h.StartAudio();
        h.Step("effOpen", [&](vst2::Effect* e) { h.Dispatch(e, vst2::effOpen); });
        // Rate and block size change while the host processes none of it, as hosts do them.
        h.StopAudio();
        s->Host().SetSampleRate(48000.0f);
        s->Host().SetBlockSize(kAudioBlock);
        s->Host().Resume();
        h.StartAudio();
        h.Step("setParameter",
               [&](vst2::Effect* e)
               {
                   for (int32_t i = 0; i < e->numParams && cx.TimeLeft(); ++i)
                   {
                       e->setParameter(e, i, i % 2 ? 0.75f : 0.25f);
                       e->setParameter(e, i, 0.5f);
                   }
               });
        h.Step("effSetProgram",
               [&](vst2::Effect* e)
               {
                   for (int32_t p = 0; p < e->numPrograms && p < 8; ++p)
                       h.Dispatch(e, vst2::effSetProgram, 0, p);
               });
        char name[] = "Deadlock";
        h.Step("effSetProgramName",
               [&](vst2::Effect* e) { h.Dispatch(e, vst2::effSetProgramName, 0, 0, name); });
        std::vector<uint8_t> state;
        h.Step("effGetChunk",
               [&](vst2::Effect* e)
               {
                   void* data = nullptr;
                   const intptr_t size = h.Dispatch(e, vst2::effGetChunk, 0, 0, &data);
                   if (size > 0 && data)
                       state.assign(static_cast<uint8_t*>(data),
                                    static_cast<uint8_t*>(data) + size);
               });
        h.Step("effSetChunk",
               [&](vst2::Effect* e)
               {
                   if (!state.empty())
                       h.Dispatch(e, vst2::effSetChunk, 0, static_cast<intptr_t>(state.size()),
                                  state.data());
               });
        // The editor where the plug-in has one: there is no window to open it in, so a plug-in
        // may refuse to open, but what it calls on the way is judged.
        if (s->Effect()->flags & vst2::kFlagHasEditor)
        {
            h.Step("effEditOpen",
                   [&](vst2::Effect* e)
                   {
                       void* rect = nullptr;
                       h.Dispatch(e, vst2::effEditGetRect, 0, 0, &rect);
                       h.Dispatch(e, vst2::effEditOpen);
                   });
            h.Step("effEditIdle",
                   [&](vst2::Effect* e)
                   {
                       for (int k = 0; k < 3; ++k)
                           h.Dispatch(e, vst2::effEditIdle);
                   });
            h.Step("effEditClose", [&](vst2::Effect* e) { h.Dispatch(e, vst2::effEditClose); });
        }
        h.Step("effMainsChanged",
               [&](vst2::Effect* e)
               {
                   h.Dispatch(e, vst2::effStopProcess);
                   h.Dispatch(e, vst2::effMainsChanged, 0, 0);
                   h.Dispatch(e, vst2::effMainsChanged, 0, 1);
                   h.Dispatch(e, vst2::effStartProcess);
               });
    }
    s->Host().Suspend();
}

} // namespace

void AddDeadlockScenarios(std::vector<Scenario>& out)
{
    out.push_back({"host-lock-deadlock",
                   "a host whose callback takes a lock its audio thread holds around process: "
                   "every dispatcher call that may call back, made while it processes",
                   true, HostLockDeadlock});
}

} // namespace orxvalidate
