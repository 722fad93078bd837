#include "HostCallWatch.h"

#include "VstHost.h"

#include <chrono>

namespace edithost
{

HostCallWatch::HostCallWatch(orxhost::VstHost& host, const std::string& name)
    : mHost(host), mEditorThread(std::this_thread::get_id()), mChecker(name, kProbeMs),
      mProbe(host.Effect())
{
    mHost.SetCallWatcher(
        [this](const orxhost::HostCall& call)
        {
            const bool editorThread = std::this_thread::get_id() == mEditorThread;
            LockSeen seen = LockSeen::kNotProbed;
            if (editorThread)
                seen = mProbe.Enters(std::chrono::milliseconds(kProbeMs)) ? LockSeen::kFree
                                                                          : LockSeen::kHeld;
            mChecker.Call(call.mOpcode, call.mIndex, editorThread, seen);
        });
}

HostCallWatch::~HostCallWatch()
{
    mHost.SetCallWatcher(nullptr);
}

void HostCallWatch::BeginEdit(int line, std::vector<uint8_t> before)
{
    if (mEditOpen)
        return;
    mEditOpen = true;
    mEditLine = line;
    mEditMark = mChecker.UpdateDisplays();
    mBefore = std::move(before);
}

void HostCallWatch::EndEdit(const std::vector<uint8_t>& after,
                            const std::function<void(int ms)>& wait)
{
    if (!mEditOpen)
        return;
    mEditOpen = false;
    mLastEditChanged = after != mBefore;
    if (!mLastEditChanged)
        return;
    for (int waited = 0; !mChecker.UpdatedSince(mEditMark) && waited < kUpdateAllowanceMs;
         waited += 20)
        wait(20);
    mChecker.StateChanged(mEditLine, mEditMark, kUpdateAllowanceMs);
}

} // namespace edithost
