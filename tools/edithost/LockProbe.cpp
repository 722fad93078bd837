#include "LockProbe.h"

#include "VstHost.h"

#include <atomic>

namespace edithost
{

LockProbe::LockProbe(vst2::Effect* effect) : mpEffect(effect), mThread([this] { Loop(); }) {}

LockProbe::~LockProbe()
{
    {
        std::lock_guard lock(mMutex);
        mStop = true;
    }
    mChanged.notify_all();
    mThread.join();
}

bool LockProbe::Enters(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mMutex);
    const long before = mCompleted;
    if (mRequested == mCompleted)
    {
        ++mRequested;
        mChanged.notify_all();
    }
    return mChanged.wait_for(lock, timeout, [&] { return mCompleted > before; });
}

void LockProbe::Loop()
{
    std::unique_lock lock(mMutex);
    for (;;)
    {
        mChanged.wait(lock, [&] { return mStop || mRequested > mCompleted; });
        if (mRequested == mCompleted)
            return; // stopped, and no call left to make
        lock.unlock();
        mpEffect->getParameter(mpEffect, 0);
        lock.lock();
        mCompleted = mRequested;
        mChanged.notify_all();
    }
}

ProbeCalibration CalibrateLockProbe(const std::function<bool(orxhost::VstHost&)>& load)
{
    orxhost::VstHost host;
    if (!load(host))
        return ProbeCalibration::kNoInstance;
    host.Start();
    auto verdict = ProbeCalibration::kNoCallback;
    {
        LockProbe probe(host.Effect());
        std::atomic<bool> inProcess{false};
        bool tried = false;
        host.SetCallWatcher(
            [&](const orxhost::HostCall&)
            {
                if (!inProcess.load() || tried)
                    return;
                tried = true;
                verdict = probe.Enters(std::chrono::milliseconds(300))
                              ? ProbeCalibration::kBlind
                              : ProbeCalibration::kSeesLock;
            });
        inProcess = true;
        host.Process(512);
        inProcess = false;
        host.SetCallWatcher(nullptr);
    }
    host.Suspend();
    host.Close();
    return verdict;
}

CalibrationReport DescribeCalibration(ProbeCalibration seen, const std::string& name)
{
    if (seen == ProbeCalibration::kNoCallback || seen == ProbeCalibration::kNoInstance)
        return {false, true,
                name + "'s library " +
                    (seen == ProbeCalibration::kNoInstance
                         ? std::string("gave no second instance")
                         : std::string("calls the host from no process call")) +
                    ": its lock probe is untried"};
    return {true, seen == ProbeCalibration::kSeesLock,
            "the lock probe (getParameter from a second thread) waits while " + name +
                "'s library processes, so it sees the instance lock"};
}

} // namespace edithost
