#pragma once
// For tests that call a plug-in's audio-thread entries directly: they play the role the host's
// audio thread has when the binding calls them, inside a process call (as the binding marks it,
// ThreadRole.h) and, given the instance lock, holding it.

#include "IMutex.h"
#include "ThreadRole.h"

class AudioThreadRole
{
public:
    // Inside a process call, without a lock (an engine on its own has none).
    AudioThreadRole() noexcept = default;
    explicit AudioThreadRole(IMutex& lock) noexcept : mpLock(&lock) { lock.Enter(); }
    ~AudioThreadRole()
    {
        if (mpLock)
            mpLock->Leave();
    }
    AudioThreadRole(const AudioThreadRole&) = delete;
    AudioThreadRole& operator=(const AudioThreadRole&) = delete;

private:
    orx::ProcessCallScope mProcess;
    IMutex* mpLock = nullptr;
};

// Runs work in that role and answers what it answers.
template <class Work>
decltype(auto) AsAudioThread(IMutex& lock, Work&& work)
{
    const AudioThreadRole role(lock);
    return work();
}

// One block of a pattern engine played as the audio thread plays it; the lock, where the engine
// belongs to a plug-in, is the test's to hold.
template <class Engine, class Transport>
void PlayEngineBlock(Engine& engine, const Transport& transport, int frames)
{
    const AudioThreadRole audio;
    engine.ProcessBlock(transport, frames);
}

// The reverse: for a test rig on one thread that hands what the engine reports from inside a
// process call straight to the editor's controls, as the editor's next frame would on the main
// thread. Outside any process call for its scope.
class MainThreadRole
{
public:
    MainThreadRole() noexcept
    {
#if ORX_THREAD_CHECKS
        mSaved = orx::thread_role_detail::tProcessDepth;
        orx::thread_role_detail::tProcessDepth = 0;
#endif
    }
    ~MainThreadRole()
    {
#if ORX_THREAD_CHECKS
        orx::thread_role_detail::tProcessDepth = mSaved;
#endif
    }
    MainThreadRole(const MainThreadRole&) = delete;
    MainThreadRole& operator=(const MainThreadRole&) = delete;

private:
    [[maybe_unused]] int mSaved = 0;
};
