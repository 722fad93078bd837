#include "HostCallChecker.h"

#include "VstHost.h"

#include <utility>

namespace edithost
{
namespace
{

bool NamesParameter(int32_t opcode)
{
    return opcode == vst2::audioMasterAutomate || opcode == vst2::audioMasterBeginEdit ||
           opcode == vst2::audioMasterEndEdit;
}

std::string CallText(int32_t opcode, int32_t index)
{
    std::string text = orxhost::HostOpcodeName(opcode);
    if (NamesParameter(opcode))
        text += " for parameter " + std::to_string(index);
    return text;
}

} // namespace

HostCallChecker::HostCallChecker(std::string plugin, int probeMs)
    : mPlugin(std::move(plugin)), mProbeMs(probeMs)
{
}

void HostCallChecker::SetLine(int line)
{
    std::lock_guard lock(mMutex);
    mLine = line;
}

void HostCallChecker::Call(int32_t opcode, int32_t index, bool onEditorThread, LockSeen seen)
{
    std::lock_guard lock(mMutex);
    ++mCalls;
    if (seen != LockSeen::kNotProbed)
        ++mProbed;
    if (seen == LockSeen::kHeld)
        Add(mPlugin + " called " + CallText(opcode, index) +
            " on the editor's thread while holding its instance lock: a second thread of the "
            "host could not enter the plug-in (getParameter) within " +
            std::to_string(mProbeMs) + " ms");
    const bool editorCall = opcode == vst2::audioMasterUpdateDisplay ||
                            opcode == vst2::audioMasterBeginEdit ||
                            opcode == vst2::audioMasterEndEdit;
    if (editorCall && !onEditorThread)
        Add(mPlugin + " sent " + CallText(opcode, index) +
            " from a thread other than the editor's (a process call)");
    if (opcode == vst2::audioMasterUpdateDisplay)
        ++mUpdates;
    else if (opcode == vst2::audioMasterBeginEdit)
    {
        Open& open = mOpen[index];
        if (open.mCount++ == 0)
            open.mLine = mLine;
    }
    else if (opcode == vst2::audioMasterEndEdit)
    {
        const auto it = mOpen.find(index);
        if (it == mOpen.end())
            Add(mPlugin + " sent " + CallText(opcode, index) + " without an open begin-edit");
        else if (--it->second.mCount == 0)
            mOpen.erase(it);
    }
}

int HostCallChecker::UpdateDisplays() const
{
    std::lock_guard lock(mMutex);
    return mUpdates;
}

bool HostCallChecker::UpdatedSince(int mark) const
{
    return UpdateDisplays() > mark;
}

void HostCallChecker::StateChanged(int firstLine, int mark, int allowanceMs)
{
    std::lock_guard lock(mMutex);
    if (mUpdates > mark)
        return;
    const std::string commands =
        firstLine == mLine ? "the command"
                           : "the commands from line " + std::to_string(firstLine) + " to here";
    mFindings.push_back({firstLine, commands + " changed " + mPlugin + "'s state chunk, but no " +
                                        orxhost::HostOpcodeName(vst2::audioMasterUpdateDisplay) +
                                        " came within " + std::to_string(allowanceMs) +
                                        " ms after: the host never marks its project modified"});
}

void HostCallChecker::EditorClosed(const std::string& how)
{
    std::lock_guard lock(mMutex);
    CloseAllOpen("when the editor closed (" + how + ")");
}

void HostCallChecker::Finish()
{
    std::lock_guard lock(mMutex);
    CloseAllOpen("when the run ended");
}

std::vector<CheckerFinding> HostCallChecker::TakeFindings()
{
    std::lock_guard lock(mMutex);
    std::vector<CheckerFinding> out;
    int repeats = 0;
    for (std::size_t i = 0; i < mFindings.size(); ++i)
    {
        const CheckerFinding& f = mFindings[i];
        if (!out.empty() && out.back().mLine == f.mLine && mFindings[i - 1].mText == f.mText)
        {
            ++repeats;
            continue;
        }
        if (repeats > 0)
            out.back().mText += " (" + std::to_string(repeats + 1) + " times)";
        repeats = 0;
        out.push_back(f);
    }
    if (repeats > 0)
        out.back().mText += " (" + std::to_string(repeats + 1) + " times)";
    mFindings.clear();
    return out;
}

int HostCallChecker::Calls() const
{
    std::lock_guard lock(mMutex);
    return mCalls;
}

int HostCallChecker::Probed() const
{
    std::lock_guard lock(mMutex);
    return mProbed;
}

void HostCallChecker::Add(const std::string& text)
{
    mFindings.push_back({mLine, text});
}

void HostCallChecker::CloseAllOpen(const std::string& when)
{
    for (const auto& [index, open] : mOpen)
        mFindings.push_back(
            {mLine, mPlugin + "'s " + orxhost::HostOpcodeName(vst2::audioMasterBeginEdit) +
                        " for parameter " + std::to_string(index) + " (line " +
                        std::to_string(open.mLine) +
                        (open.mCount > 1 ? ", " + std::to_string(open.mCount) + " of them" : "") +
                        ") was never ended " + when});
    mOpen.clear();
}

} // namespace edithost
