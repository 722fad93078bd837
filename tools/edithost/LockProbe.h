#pragma once
// Whether a plug-in holds its instance lock, seen from outside as a host sees it: a thread of the
// host enters the plug-in (getParameter, which a plug-in that serialises its entries runs under
// the same lock as everything else) while the asking thread waits for it with a time-out. Asked
// from inside a host callback on the editor's thread, a call that does not get through means the
// plug-in called back while holding its lock: a host whose callback takes a lock of its own,
// held by its audio thread while that waits in process for the plug-in, deadlocks there.
// Portable: both editor test hosts use it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vst2
{
struct Effect;
}

namespace orxhost
{
class VstHost;
}

namespace edithost
{

class LockProbe
{
public:
    // Starts the probe's thread on effect, which must outlive the probe.
    explicit LockProbe(vst2::Effect* effect);
    // Waits for a call still inside the plug-in: destroy the probe while the plug-in is free.
    ~LockProbe();
    LockProbe(const LockProbe&) = delete;
    LockProbe& operator=(const LockProbe&) = delete;

    // True when the probe's thread got into and out of the plug-in within timeout from now.
    // A call still waiting from an earlier probe counts when it gets through now; otherwise a
    // new one starts, so there is never more than one.
    bool Enters(std::chrono::milliseconds timeout);

private:
    void Loop();

    vst2::Effect* mpEffect;
    std::mutex mMutex;
    std::condition_variable mChanged;
    long mRequested = 0;
    long mCompleted = 0;
    bool mStop = false;
    std::thread mThread;
};

// Whether the probe can see the lock at all, tried on a fresh instance of a library, which load
// makes (false when it makes none): from inside the first callback of a process call, where the
// plug-in holds its lock by design, the probe must not get through.
enum class ProbeCalibration
{
    kSeesLock,   // the probe waited, as it must
    kBlind,      // it got through: the plug-in's getParameter does not wait for its lock
    kNoCallback, // no callback during a process call, so nothing to try it in
    kNoInstance, // the library gave no instance
};
ProbeCalibration CalibrateLockProbe(const std::function<bool(orxhost::VstHost&)>& load);

// The calibration of name's library as the host reports it: a check that fails where the probe
// is blind, or only a note where nothing could try it.
struct CalibrationReport
{
    bool mIsCheck = true;
    bool mOk = false;
    std::string mText;
};
CalibrationReport DescribeCalibration(ProbeCalibration seen, const std::string& name);

} // namespace edithost
