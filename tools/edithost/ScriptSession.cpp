// The course of a run: the plug-ins loaded and watched, the commands carried out in order with
// every input judged as an edit, and everything closed at the end.

#include "ScriptSession.h"

#include "LockProbe.h"
#include "ScriptReport.h"

#include <cstring>

namespace edithost
{

const ScriptSession::Spec ScriptSession::kCommands[] = {
    {"window", &ScriptSession::Window, 0},
    {"open", &ScriptSession::Open, 0},
    {"close", &ScriptSession::Close, 0},
    {"destroy-window", &ScriptSession::DestroyWindow, 0},
    {"target", &ScriptSession::SetTarget, 0},
    {"pump", &ScriptSession::Pump, 0},
    {"idle-every", &ScriptSession::IdleEvery, 0},
    {"idle", &ScriptSession::Idle, 0},
    {"click", &ScriptSession::Click, kEdit | kNeedsEditor},
    {"rclick", &ScriptSession::Click, kEdit | kNeedsEditor},
    {"ctrlclick", &ScriptSession::Click, kEdit | kNeedsEditor},
    {"dblclick", &ScriptSession::DoubleClick, kEdit | kNeedsEditor},
    {"drag", &ScriptSession::Drag, kEdit | kNeedsEditor},
    {"press", &ScriptSession::PressMoveRelease, kEdit | kNeedsEditor},
    {"move", &ScriptSession::PressMoveRelease, kEdit | kNeedsEditor},
    {"release", &ScriptSession::PressMoveRelease, kEdit}, // may follow a close
    {"wheel", &ScriptSession::Wheel, kEdit | kNeedsEditor},
    {"type", &ScriptSession::Type, kEdit | kNeedsEditor},
    {"key", &ScriptSession::Key, kEdit | kNeedsEditor},
    {"menukeys", &ScriptSession::MenuKeys, 0},
    {"menuchoose", &ScriptSession::MenuChoose, 0},
    {"menushot", &ScriptSession::MenuShot, 0},
    {"play", &ScriptSession::Play, 0},
    {"midi", &ScriptSession::Midi, 0},
    {"cover", &ScriptSession::Cover, 0},
    {"expect", &ScriptSession::Expect, 0},
    {"expect-edited", &ScriptSession::ExpectEdited, 0},
    {"expect-chunk", &ScriptSession::ExpectChunk, 0},
    {"keep-chunk", &ScriptSession::KeepChunk, 0},
    {"expect-chunk-as", &ScriptSession::ExpectChunkAs, 0},
    {"expect-windows", &ScriptSession::ExpectWindows, 0},
    {"expect-popups", &ScriptSession::ExpectPopups, 0},
    {"expect-popup", &ScriptSession::ExpectPopup, 0},
    {"expect-editor-at", &ScriptSession::ExpectEditorAt, 0},
    {"expect-title", &ScriptSession::ExpectTitle, 0},
    {"expect-file", &ScriptSession::ExpectFile, 0},
    {"expect-font", &ScriptSession::ExpectFont, 0},
    {"distinct-classes", &ScriptSession::DistinctClasses, 0},
    {"counts", &ScriptSession::RecordCounts, 0},
    {"same-counts", &ScriptSession::SameCounts, 0},
    {"screenshot", &ScriptSession::Screenshot, 0},
    {"screen", &ScriptSession::Screen, 0},
    {"same-picture", &ScriptSession::SamePicture, 0},
};

const ScriptSession::Spec* ScriptSession::Lookup(const std::string& name)
{
    for (const Spec& spec : kCommands)
        if (name == spec.mName)
            return &spec;
    return nullptr;
}

ScriptSession::ScriptSession(InputDriver& driver, ScriptReport& report, std::string outFolder)
    : mDriver(driver), mReport(report), mOut(std::move(outFolder))
{
}

ScriptSession::~ScriptSession() = default;

bool ScriptSession::Load(const Invocation& run, const PlugInLoader& load)
{
    int order = 0;
    for (const auto& [name, path] : run.mPlugins)
    {
        auto slot = std::make_unique<Slot>();
        slot->mName = name;
        slot->mPath = path;
        slot->mOrder = order++;
        if (!load(slot->mHost, path))
        {
            mReport.Check(false, 0, name + ": " + slot->mHost.Error());
            return false;
        }
        // Watched before it starts, so its opening is checked too; this is the host's thread.
        slot->mWatch = std::make_unique<HostCallWatch>(slot->mHost, name);
        slot->mHost.Start();
        mDriver.PlugInLoaded(name, slot->mHost);
        mSlots[name] = std::move(slot);
    }
    return true;
}

void ScriptSession::CheckEditors()
{
    for (auto& [name, slot] : mSlots)
    {
        int w = 0, h = 0;
        const bool editor = slot->mHost.HasEditor() && slot->mHost.EditorSize(w, h);
        mReport.Check(editor, 0,
                      name + " has an editor of " + std::to_string(w) + " x " + std::to_string(h));
    }
}

// A fresh instance of each library shows first whether the lock probe can see its instance
// lock at all; where it cannot, the checks of calls under the lock would never fail.
void ScriptSession::CalibrateProbes(const PlugInLoader& load)
{
    std::map<std::string, std::string> libraries; // path -> a plug-in's name
    for (const auto& [name, slot] : mSlots)
        libraries.emplace(slot->mPath, name);
    for (const auto& library : libraries)
    {
        const CalibrationReport report = DescribeCalibration(
            CalibrateLockProbe([&](orxhost::VstHost& host) { return load(host, library.first); }),
            library.second);
        if (report.mIsCheck)
            mReport.Check(report.mOk, 0, report.mText);
        else
            mReport.Say("note: " + report.mText);
    }
}

void ScriptSession::Run(const std::vector<Command>& commands)
{
    for (const Command& c : commands)
    {
        for (auto& [name, slot] : mSlots)
            slot->mWatch->Checker().SetLine(c.mLine);
        RunOne(c);
        EndEdits();
        ReportHostCalls();
        if (mStopped)
        {
            mReport.Say("stopped: line " + std::to_string(c.mLine) +
                        ": the rest of the script cannot run");
            return;
        }
    }
}

void ScriptSession::RunOne(const Command& c)
{
    const Spec* spec = Lookup(c.mName);
    if (spec && (spec->mKind & kNeedsEditor) && (!mpTarget || !mpTarget->mOpen))
    {
        mReport.Check(false, c.mLine, c.mName + ": no open editor to send input to");
        return;
    }
    if (spec && (spec->mKind & kEdit))
        BeginEdit(c);
    if (!spec || !(this->*spec->mRun)(c))
        mReport.Check(false, c.mLine, "cannot read the command '" + c.mName + "'");
}

// An input command starts an edit of its target unless one is open (a popup it opened still
// holds the host's thread, so its commands count as one edit with it).
void ScriptSession::BeginEdit(const Command& c)
{
    Slot* slot = mpTarget;
    if (!slot || !slot->mOpen || slot->mWatch->EditOpen() || !mDriver.Popups().empty())
        return;
    std::vector<uint8_t> before;
    if (ChunkOf(*slot, before))
        slot->mWatch->BeginEdit(c.mLine, std::move(before));
}

// Edits end once no popup holds the host's thread, so their chunk can be read.
void ScriptSession::EndEdits()
{
    bool open = false;
    for (auto& [name, slot] : mSlots)
        open = open || slot->mWatch->EditOpen();
    if (!open || !mDriver.Popups().empty())
        return;
    for (auto& [name, slot] : mSlots)
    {
        std::vector<uint8_t> after;
        if (slot->mWatch->EditOpen() && ChunkOf(*slot, after))
            slot->mWatch->EndEdit(after, [this](int ms) { mDriver.Wait(ms); });
    }
}

void ScriptSession::IdleOpenEditors()
{
    for (auto& [name, slot] : mSlots)
        if (slot->mOpen)
            slot->mHost.EditorIdle();
}

void ScriptSession::End()
{
    for (auto& [name, slot] : mSlots)
    {
        slot->mWatch->Checker().Finish();
        if (slot->mOpen)
            slot->mHost.CloseEditor();
        slot->mOpen = false;
        slot->mWatch->Checker().EditorClosed("by the host at the end");
    }
    ReportHostCalls();
    for (auto& [name, slot] : mSlots)
    {
        mReport.Say("note: " + name + " made " + std::to_string(slot->mWatch->Checker().Calls()) +
                    " host calls, " + std::to_string(slot->mWatch->Checker().Probed()) +
                    " of them on the host's thread, each checked for the instance lock");
        slot->mWatch.reset();
        slot->mHost.Close();
    }
}

void ScriptSession::ReportHostCalls()
{
    for (auto& [name, slot] : mSlots)
        if (slot->mWatch)
            for (const CheckerFinding& f : slot->mWatch->Checker().TakeFindings())
                mReport.Check(false, f.mLine, f.mText);
}

ScriptSession::Slot* ScriptSession::Find(const std::string& name, int line)
{
    const auto it = mSlots.find(name);
    if (it == mSlots.end())
    {
        mReport.Check(false, line, "no plug-in named " + name);
        return nullptr;
    }
    return it->second.get();
}

std::string ScriptSession::Out(const std::string& file) const
{
    return mOut + "/" + file;
}

bool ScriptSession::ChunkOf(Slot& slot, std::vector<uint8_t>& chunk, int timeoutMs)
{
    return mDriver.OnHostThread([&] { chunk = slot.mHost.GetChunk(true); }, timeoutMs);
}

void ScriptSession::Settle()
{
    mDriver.Wait(mDriver.SettleMs());
}

bool LoadPlugInLibrary(orxhost::VstHost& host, const std::string& path)
{
    return host.Load(path);
}

int RunEditorHost(const Invocation& run, InputDriver& driver, ScriptReport& report,
                  const PlugInLoader& load)
{
    ScriptSession session(driver, report, run.mOut);
    if (!session.Load(run, load))
    {
        report.Tally();
        return 1;
    }
    session.ReportHostCalls();
    session.CheckEditors();
    // Where the platform gives this process no window, no command can run. (32-bit programs
    // in the WoW64 mode of Debian 12's wine 8.0 get no display driver.)
    if (const std::string problem = driver.WindowProblem(); !problem.empty())
    {
        report.Say("SKIP: " + problem);
        report.Tally();
        return 77;
    }
    session.CalibrateProbes(load);
    const std::vector<Command> commands = ReadScript(run.mScriptText);
    driver.Run([&] { session.Run(commands); }, [&] { session.IdleOpenEditors(); });
    session.End();
    report.Tally();
    return report.Failed() == 0 && report.Passed() > 0 ? 0 : 1;
}

} // namespace edithost
