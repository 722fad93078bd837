#pragma once
// Checks of the thread tags (ThreadTags.h). Each tagged entry states its tag at its top with
// one of the macros below; a call from the wrong thread, or without the lock the tag demands,
// becomes a check report (Check.h) naming the file and line of the entry, and the call carries
// on as before.
//
// How a role is known. A thread is the audio thread while it is inside a process call: the
// binding opens a ProcessCallScope around each process entry, and around the dispatcher
// requests that hosts make from their audio thread (MIDI events, start and stop of
// processing). So
//   [audio-thread]  = inside a process call on this thread;
//   [main-thread]   = not inside one (whatever thread it is: hosts use more than one);
//   (locked)        = the calling thread holds the instance lock (IMutex::HeldByCaller).
// [any-thread] and "(some hosts: audio-thread)" promise no role, so only what follows them in
// parentheses is checked; "(takes lock)" promises nothing of the caller.
// The mark is per thread, not per instance: a host that calls a second instance's main-thread
// entry from inside the first one's process call is reported too.
//
// The switch is the compile definition ORX_THREAD_CHECKS (the CMake option of the same name,
// on in the test builds, off in the builds whose libraries ship). Off, every macro is nothing
// and no thread-local storage exists. On, a check is a read of a thread-local int (constant
// initialiser: no allocation, no initialisation call) and a predicted branch; the lock check
// also reads the lock's owner word.

#include "Check.h"

#ifndef ORX_THREAD_CHECKS
#define ORX_THREAD_CHECKS 0
#endif

namespace orx
{

inline constexpr bool kThreadChecks = ORX_THREAD_CHECKS != 0;

#if ORX_THREAD_CHECKS
namespace thread_role_detail
{
// Process calls the calling thread is inside (they nest when a host calls the dispatcher from
// its own callback during a process call). In the static part of the thread's storage: read as
// a plain load, and never allocated on a thread's first use, also in a library loaded at run
// time (the dynamic model would allocate its block then, and look it up on every read).
#if defined(__ELF__)
[[gnu::tls_model("initial-exec")]]
#endif
inline thread_local constinit int tProcessDepth = 0;
} // namespace thread_role_detail

// True while the calling thread is inside a process call.
inline bool InProcessCall() noexcept
{
    return thread_role_detail::tProcessDepth > 0;
}

// Marks the calling thread as the audio thread for its scope (when active).
class ProcessCallScope
{
public:
    explicit ProcessCallScope(bool active = true) noexcept : mActive(active)
    {
        if (mActive)
            ++thread_role_detail::tProcessDepth;
    }
    ~ProcessCallScope()
    {
        if (mActive)
            --thread_role_detail::tProcessDepth;
    }
    ProcessCallScope(const ProcessCallScope&) = delete;
    ProcessCallScope& operator=(const ProcessCallScope&) = delete;

private:
    bool mActive;
};

// For its scope the calling thread works for a thread outside process calls: the audio thread
// running a section another thread handed it (IMutex::Run) while that thread waits. The
// section's checks then see the role of the thread it belongs to.
class HandedWorkScope
{
public:
    HandedWorkScope() noexcept : mDepth(thread_role_detail::tProcessDepth)
    {
        thread_role_detail::tProcessDepth = 0;
    }
    ~HandedWorkScope() { thread_role_detail::tProcessDepth = mDepth; }
    HandedWorkScope(const HandedWorkScope&) = delete;
    HandedWorkScope& operator=(const HandedWorkScope&) = delete;

private:
    int mDepth;
};
#else
inline bool InProcessCall() noexcept
{
    return false;
}

class ProcessCallScope
{
public:
    explicit ProcessCallScope(bool /*active*/ = true) noexcept {}
    ProcessCallScope(const ProcessCallScope&) = delete;
    ProcessCallScope& operator=(const ProcessCallScope&) = delete;
};

class HandedWorkScope
{
public:
    HandedWorkScope() noexcept {}
    HandedWorkScope(const HandedWorkScope&) = delete;
    HandedWorkScope& operator=(const HandedWorkScope&) = delete;
};
#endif

// The path of a source file from its top folder ("framework/...", "src/...", "tools/..."), for
// the reports: the cold path of a failed check only.
const char* SourceTag(const char* path) noexcept;

} // namespace orx

// The texts of the reports, one per broken promise.
#define ORX_THREAD_TEXT_MAIN "[main-thread] entry called inside a process call"
#define ORX_THREAD_TEXT_AUDIO "[audio-thread] entry called outside a process call"
#define ORX_THREAD_TEXT_LOCKED "(locked) entry called without the instance lock"
#define ORX_THREAD_TEXT_UNLOCKED "entry called with the instance lock held"

#if ORX_THREAD_CHECKS
#define ORX_THREAD_CHECK_(cond, text) ORX_CHECK(::orx::SourceTag(__FILE__), (cond), text)
#define ORX_MAIN_THREAD() ORX_THREAD_CHECK_(!::orx::InProcessCall(), ORX_THREAD_TEXT_MAIN)
#define ORX_AUDIO_THREAD() ORX_THREAD_CHECK_(::orx::InProcessCall(), ORX_THREAD_TEXT_AUDIO)
// mutex: the instance lock (an IMutex), which the caller must hold.
#define ORX_LOCKED(mutex) ORX_THREAD_CHECK_((mutex).HeldByCaller(), ORX_THREAD_TEXT_LOCKED)
// For entries that call the host, which must not wait for our lock.
#define ORX_UNLOCKED(mutex) ORX_THREAD_CHECK_(!(mutex).HeldByCaller(), ORX_THREAD_TEXT_UNLOCKED)
#else
#define ORX_MAIN_THREAD() static_cast<void>(0)
#define ORX_AUDIO_THREAD() static_cast<void>(0)
// Unevaluated: the argument counts as used and costs nothing.
#define ORX_LOCKED(mutex) static_cast<void>(sizeof(mutex))
#define ORX_UNLOCKED(mutex) static_cast<void>(sizeof(mutex))
#endif

#define ORX_MAIN_THREAD_LOCKED(mutex)                                                              \
    do                                                                                             \
    {                                                                                              \
        ORX_MAIN_THREAD();                                                                         \
        ORX_LOCKED(mutex);                                                                         \
    } while (0)
#define ORX_AUDIO_THREAD_LOCKED(mutex)                                                             \
    do                                                                                             \
    {                                                                                              \
        ORX_AUDIO_THREAD();                                                                        \
        ORX_LOCKED(mutex);                                                                         \
    } while (0)
