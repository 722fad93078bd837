#pragma once
// What an editor needs from the plug-in it edits: its parameters, its instance lock, the way a
// user's edit reaches it and the host, and the notice that the editor changed size. The plug-in
// base is one; the graphics layer knows the plug-in only through this, so neither includes the
// other. Thread tags: ThreadTags.h.

#include "IParamTable.h"
#include "ThreadRole.h"

#include <string>

class IMutex;

class IEditorHost : public IParamTable
{
public:
    // [any-thread] The instance lock: what the editor reads of the plug-in's state it reads
    // under it.
    virtual IMutex& Mutex() noexcept = 0;
    // [main-thread] (takes lock) A control's edit: the parameter takes the normalised value, its
    // handler runs, and the host hears of it once the lock is free.
    virtual void SetParameterFromGUI(int paramIdx, double normalised) = 0;
    // [main-thread] (takes lock) The host's edit gesture on a parameter: a press, a release.
    virtual void BeginParamGestureFromGUI(int paramIdx) = 0;
    virtual void EndParamGestureFromGUI(int paramIdx) = 0;
    // [main-thread] (takes lock) An edit changed what the state chunk or a preset would save.
    virtual void InformHostOfStateChange() noexcept = 0;
    // [any-thread] Sends what the host is owed, the state change too when asked (once a
    // frame); nothing while the caller holds the instance lock, so nothing from inside a process
    // call (a host may call the dispatcher back from its callbacks there).
    virtual void FlushHostNotices(bool withStateChange) noexcept = 0;
    // [main-thread] The editor has a new size: the host is told.
    virtual void EditorResized() = 0;

    // [main-thread] (takes lock) A user's edit, for undo: what changes between the outermost
    // BeginEdit and its EndEdit becomes one step of the plug-in's history, named name; NameEdit
    // renames the open edit (the item a menu chose). Nested edits belong to the outermost.
    virtual void BeginEdit(const char* name) noexcept = 0;
    virtual void NameEdit(const char* name) noexcept = 0;
    virtual void EndEdit() noexcept = 0;
    // [main-thread] (takes lock) The names of the steps an undo and a redo would take back and do
    // again, or empty when there is none; Undo and Redo apply one as a single change under the
    // lock, tell the host, and answer whether they did.
    virtual std::string UndoName() const = 0;
    virtual std::string RedoName() const = 0;
    virtual bool Undo() noexcept = 0;
    virtual bool Redo() noexcept = 0;

    // MIDI learn, for a plug-in that offers it (by default none does); the editor asks all of
    // these from its own thread.
    virtual bool OffersMidiLearn() const noexcept { return false; }
    // [main-thread] (takes lock) The next control change that comes in binds its controller
    // and channel to paramIdx (-1 cancels a learn that waits); the plug-in records it, and the
    // editor sees it through ControllerMapVersion, which counts every change of the bindings
    // and of the learn.
    virtual void LearnController(int /*paramIdx*/) noexcept { ORX_MAIN_THREAD(); }
    // The parameter a learn waits for, or -1.
    virtual int LearningParam() const noexcept { return -1; }
    // The controller (0..127) and channel (0..15) bound to paramIdx; false when none is.
    virtual bool ControllerOf(int /*paramIdx*/, int& /*controller*/,
                              int& /*channel*/) const noexcept
    {
        return false;
    }
    virtual void ForgetController(int /*paramIdx*/) noexcept {}
    virtual unsigned ControllerMapVersion() const noexcept { return 0; }

protected:
    ~IEditorHost() = default;
};
