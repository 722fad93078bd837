#pragma once
// One plug-in instance of an editor test host under watch: every host call goes to a
// HostCallChecker, a call on the editor's thread is first probed for the instance lock (the
// call waits for the probe, as a host taking its own lock there would wait for its audio
// thread), and the host's edits are judged by the state chunk before and after them.
// Portable: both editor test hosts use it.

#include "HostCallChecker.h"
#include "LockProbe.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace orxhost
{
class VstHost;
}

namespace edithost
{

class HostCallWatch
{
public:
    static constexpr int kProbeMs = 2000;
    // How long after an edit command (and its own settling) the host waits for update-display:
    // ten editor frames, so a loaded machine gives no false finding.
    static constexpr int kUpdateAllowanceMs = 400;

    // Watches the calls of host's loaded plug-in from now on (start it after this, so its
    // opening is watched too); the calling thread is the editor's.
    HostCallWatch(orxhost::VstHost& host, const std::string& name);
    // Stops watching; before the plug-in closes.
    ~HostCallWatch();
    HostCallWatch(const HostCallWatch&) = delete;
    HostCallWatch& operator=(const HostCallWatch&) = delete;

    HostCallChecker& Checker() noexcept { return mChecker; }

    // An edit: script commands that may change the plug-in's state, from the one at line with
    // the state chunk before it, to the first moment the host can read the chunk again.
    // Starting one while one is open extends the open one.
    void BeginEdit(int line, std::vector<uint8_t> before);
    bool EditOpen() const noexcept { return mEditOpen; }
    // Ends the open edit with the chunk now. When it changed, waits (wait(ms) runs the host for
    // ms) until update-display comes or the allowance has gone, and judges.
    void EndEdit(const std::vector<uint8_t>& after, const std::function<void(int ms)>& wait);
    // Whether the last edit that ended changed the state: a script's proof that its input
    // reached the plug-in, so the update-display check had something to judge.
    bool LastEditChanged() const noexcept { return mLastEditChanged; }

private:
    orxhost::VstHost& mHost;
    std::thread::id mEditorThread;
    HostCallChecker mChecker;
    LockProbe mProbe;
    bool mEditOpen = false;
    int mEditLine = 0;
    int mEditMark = 0;
    bool mLastEditChanged = false;
    std::vector<uint8_t> mBefore;
};

} // namespace edithost
