#pragma once
// The rules a host holds a plug-in's calls to while its editor is used, as hosts need them to
// keep a musician's work: fed with every host call as it comes and with what the host saw
// around each script command, it finds
//   - an end-edit (44) for a parameter without an open begin-edit (43);
//   - a begin-edit left open when the editor closes or the run ends (each begin needs its end);
//   - a host call on the editor's thread while the plug-in held its instance lock (the host's
//     lock probe could not get in: a host that takes its own lock in the callback deadlocks);
//   - a begin-edit, end-edit or update-display (42) from another thread (a process call);
//   - a command that changed the plug-in's state chunk without an update-display (42) after it
//     began, within the host's allowance (hosts mark the project modified only on that call).
// Portable and thread-safe: calls arrive on the plug-in's threads, the rest on the script's.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace edithost
{

// What the host's lock probe found during a call.
enum class LockSeen
{
    kNotProbed,
    kFree,
    kHeld,
};

struct CheckerFinding
{
    int mLine = 0; // the script line whose command ran (0: before the script)
    std::string mText;
};

class HostCallChecker
{
public:
    // plugin names the instance in findings; probeMs is the probe's time-out, for their text.
    HostCallChecker(std::string plugin, int probeMs);

    // The script line whose command runs from now on.
    void SetLine(int line);
    // A host call; onEditorThread when it came on the host's user-interface thread.
    void Call(int32_t opcode, int32_t index, bool onEditorThread, LockSeen lock);

    // Update-display calls so far: a command's mark, taken before it runs.
    int UpdateDisplays() const;
    bool UpdatedSince(int mark) const;
    // The commands from firstLine to the current one changed the state chunk; mark was taken
    // before the first of them, and the host has waited its allowance of allowanceMs.
    void StateChanged(int firstLine, int mark, int allowanceMs);
    // The editor closed (effEditClose, or its window destroyed under it); how, for the text.
    void EditorClosed(const std::string& how);
    // The run ends: every begin-edit still open is a finding.
    void Finish();

    // The findings since the last call, in order, a finding repeated within the same command
    // given once with its count.
    std::vector<CheckerFinding> TakeFindings();
    // Every call seen, and those the probe looked at, for the run's summary.
    int Calls() const;
    int Probed() const;

private:
    void Add(const std::string& text);
    void CloseAllOpen(const std::string& when);

    mutable std::mutex mMutex;
    std::string mPlugin;
    int mProbeMs;
    int mLine = 0;
    int mUpdates = 0;
    int mCalls = 0;
    int mProbed = 0;
    struct Open
    {
        int mCount = 0;
        int mLine = 0; // of the first begin-edit still open
    };
    std::map<int32_t, Open> mOpen; // by parameter
    std::vector<CheckerFinding> mFindings;
};

} // namespace edithost
