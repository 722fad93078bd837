#pragma once
// One run of the script runner (ScriptRunner.h): the plug-ins under watch, the command table
// and what the commands keep between them (the target, the next menu's plan, the count
// records, the kept state chunks). The actions are in ScriptActions.cpp, the checks in
// ScriptChecks.cpp and ScriptChunks.cpp, the run's course in ScriptSession.cpp. Internal to the
// runner.

#include "EditScript.h"
#include "HostCallWatch.h"
#include "HostTransport.h"
#include "InputDriver.h"
#include "ScriptRunner.h"
#include "VstHost.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace edithost
{

class ScriptReport;

class ScriptSession
{
public:
    ScriptSession(InputDriver& driver, ScriptReport& report, std::string outFolder);
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // On the host's thread, before the script: loads run's plug-ins (false, with a failed
    // check, when one does not load), checks that each has an editor, and tries each library's
    // lock probe on a fresh instance.
    bool Load(const Invocation& run, const PlugInLoader& load);
    void CheckEditors();
    void CalibrateProbes(const PlugInLoader& load);
    // On the script's thread: every command in order, each input judged as an edit.
    void Run(const std::vector<Command>& commands);
    // On the host's thread: idle time for the open editors.
    void IdleOpenEditors();
    // On the host's thread, after the script: closes the editors and the plug-ins.
    void End();
    // The findings of every plug-in's host calls so far, as failed checks.
    void ReportHostCalls();

private:
    struct Slot
    {
        std::string mName;
        std::string mPath;
        int mOrder = 0;
        orxhost::VstHost mHost;
        std::unique_ptr<HostCallWatch> mWatch;
        std::atomic<bool> mOpen{false};
        std::vector<PlayedStretch> mPlayed; // what the host played, for screenshots
    };

    // A command's handler; false when it cannot read the command's arguments.
    using Handler = bool (ScriptSession::*)(const Command&);
    enum Kind : unsigned
    {
        kEdit = 1,       // input that may change the target's state: judged as an edit
        kNeedsEditor = 2 // input for the target's open editor
    };
    struct Spec
    {
        const char* mName;
        Handler mRun;
        unsigned mKind;
    };
    static const Spec kCommands[];
    static const Spec* Lookup(const std::string& name);

    void RunOne(const Command& c);
    void BeginEdit(const Command& c);
    void EndEdits();
    Slot* Find(const std::string& name, int line);
    std::string Out(const std::string& file) const;
    bool ChunkOf(Slot& slot, std::vector<uint8_t>& chunk, int timeoutMs = 30000);
    bool MakeWindow(Slot& slot, int line);
    void Settle();
    // Whether condition holds within timeoutMs, the host's loop running meanwhile.
    bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
    void CheckMenu(const MenuOutcome& outcome, int line);

    // Actions (ScriptActions.cpp).
    bool Window(const Command& c);
    bool Open(const Command& c);
    bool Close(const Command& c);
    bool DestroyWindow(const Command& c);
    bool SetTarget(const Command& c);
    bool Pump(const Command& c);
    bool IdleEvery(const Command& c);
    bool Idle(const Command& c);
    bool Click(const Command& c);
    bool DoubleClick(const Command& c);
    bool Drag(const Command& c);
    bool PressMoveRelease(const Command& c);
    bool Wheel(const Command& c);
    bool MenuKeys(const Command& c);
    bool MenuChoose(const Command& c);
    bool MenuShot(const Command& c);
    bool Type(const Command& c);
    bool Key(const Command& c);
    bool Play(const Command& c);
    bool Midi(const Command& c);
    bool Cover(const Command& c);

    // Checks (ScriptChecks.cpp).
    bool Expect(const Command& c);
    bool ExpectEdited(const Command& c);
    bool ExpectWindows(const Command& c);
    bool ExpectPopups(const Command& c);
    bool ExpectPopup(const Command& c);
    bool ExpectEditorAt(const Command& c);
    bool ExpectTitle(const Command& c);
    bool ExpectFile(const Command& c);
    bool ExpectFont(const Command& c);
    bool DistinctClasses(const Command& c);
    bool RecordCounts(const Command& c);
    bool SameCounts(const Command& c);
    bool Screenshot(const Command& c);
    bool Screen(const Command& c);
    bool SamePicture(const Command& c);

    // Checks of the state chunks (ScriptChunks.cpp).
    bool ExpectChunk(const Command& c);
    bool KeepChunk(const Command& c);
    bool ExpectChunkAs(const Command& c);

    InputDriver& mDriver;
    ScriptReport& mReport;
    std::string mOut;
    std::map<std::string, std::unique_ptr<Slot>> mSlots; // fixed once loaded
    Slot* mpTarget = nullptr;
    MenuPlan mMenu;                                          // for the next click that opens a menu
    std::map<std::string, Counts> mCounts;                   // by label
    std::map<std::string, std::vector<uint8_t>> mKeptChunks; // by label
    std::set<std::string> mNotesSaid;                        // the counts' notes, each said once
    bool mStopped = false; // a check failed that the rest of the script depends on
};

} // namespace edithost
