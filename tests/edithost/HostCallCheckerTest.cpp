// The editor hosts' rules for a plug-in's calls, fed with the call sequences of the editor's
// paths: a knob gesture, a menu that eats the mouse release, a double click, an edit that
// changes the state, and calls made under the instance lock or from the audio thread.

#include "HostCallChecker.h"

#include "Vst2Records.h"

#include <gtest/gtest.h>

namespace
{

using edithost::CheckerFinding;
using edithost::HostCallChecker;
using edithost::LockSeen;

constexpr int32_t kAutomate = vst2::audioMasterAutomate;
constexpr int32_t kUpdate = vst2::audioMasterUpdateDisplay;
constexpr int32_t kBegin = vst2::audioMasterBeginEdit;
constexpr int32_t kEnd = vst2::audioMasterEndEdit;

// A call on the editor's thread with the lock found free.
void Ui(HostCallChecker& c, int32_t opcode, int32_t index = 0)
{
    c.Call(opcode, index, true, LockSeen::kFree);
}

std::string Texts(const std::vector<CheckerFinding>& findings)
{
    std::string all;
    for (const CheckerFinding& f : findings)
        all += "line " + std::to_string(f.mLine) + ": " + f.mText + "\n";
    return all;
}

TEST(HostCallChecker, AWellBehavedEditorSessionHasNoFinding)
{
    HostCallChecker c("O", 2000);
    c.SetLine(3); // a knob drag: gesture, values, state changed, update-display
    int mark = c.UpdateDisplays();
    Ui(c, kBegin, 12);
    for (int i = 0; i < 4; ++i)
        Ui(c, kAutomate, 12);
    Ui(c, kEnd, 12);
    Ui(c, kUpdate);
    c.StateChanged(3, mark, 250);
    c.SetLine(4); // a melody cell edit: no parameter, only the state
    mark = c.UpdateDisplays();
    Ui(c, kUpdate);
    c.StateChanged(4, mark, 250);
    c.SetLine(5); // two knobs held at once, ended in the other order
    Ui(c, kBegin, 1);
    Ui(c, kBegin, 2);
    Ui(c, kEnd, 1);
    Ui(c, kEnd, 2);
    c.Call(vst2::audioMasterGetTime, 0, false, LockSeen::kNotProbed); // the audio thread
    c.EditorClosed("effEditClose");
    c.Finish();
    EXPECT_EQ(Texts(c.TakeFindings()), "");
    EXPECT_EQ(c.Calls(), 13);
    EXPECT_EQ(c.Probed(), 12);
}

TEST(HostCallChecker, GesturesMustPairUp)
{
    HostCallChecker c("O", 2000);
    c.SetLine(7); // a right-click menu: the release is eaten by the menu loop
    Ui(c, kBegin, 20);
    Ui(c, kAutomate, 20);
    c.SetLine(8); // a double click on a knob: end-edit only
    Ui(c, kEnd, 5);
    c.SetLine(9);
    c.EditorClosed("effEditClose");
    c.SetLine(10); // the same parameter begun twice and ended once
    Ui(c, kBegin, 3);
    Ui(c, kBegin, 3);
    Ui(c, kEnd, 3);
    c.Finish();
    EXPECT_EQ(Texts(c.TakeFindings()),
              "line 8: O sent audioMasterEndEdit (44) for parameter 5 without an open "
              "begin-edit\n"
              "line 9: O's audioMasterBeginEdit (43) for parameter 20 (line 7) was never ended "
              "when the editor closed (effEditClose)\n"
              "line 10: O's audioMasterBeginEdit (43) for parameter 3 (line 10) was never ended "
              "when the run ended\n");
    c.Finish(); // reported once
    EXPECT_TRUE(c.TakeFindings().empty());
}

TEST(HostCallChecker, CallsUnderTheLockAndEditorCallsFromProcessAreFound)
{
    HostCallChecker c("P", 2000);
    c.SetLine(0); // opening: the product string asked under the dispatcher's lock
    c.Call(vst2::audioMasterGetProductString, 0, true, LockSeen::kHeld);
    c.SetLine(12); // a knob drag with every value reported under the lock: given once
    Ui(c, kBegin, 4);
    for (int i = 0; i < 3; ++i)
        c.Call(kAutomate, 4, true, LockSeen::kHeld);
    Ui(c, kEnd, 4);
    c.SetLine(13); // the audio thread's calls under the lock are by design; gestures there not
    c.Call(vst2::audioMasterGetTime, 0, false, LockSeen::kNotProbed);
    c.Call(kAutomate, 4, false, LockSeen::kNotProbed);
    c.Call(kUpdate, 0, false, LockSeen::kNotProbed);
    EXPECT_EQ(Texts(c.TakeFindings()),
              "line 0: P called audioMasterGetProductString (33) on the editor's thread while "
              "holding its instance lock: a second thread of the host could not enter the "
              "plug-in (getParameter) within 2000 ms\n"
              "line 12: P called audioMasterAutomate (0) for parameter 4 on the editor's thread "
              "while holding its instance lock: a second thread of the host could not enter the "
              "plug-in (getParameter) within 2000 ms (3 times)\n"
              "line 13: P sent audioMasterUpdateDisplay (42) from a thread other than the "
              "editor's (a process call)\n");
    EXPECT_TRUE(c.TakeFindings().empty());
}

TEST(HostCallChecker, AStateChangeNeedsAnUpdateDisplayAfterItsCommandBegan)
{
    HostCallChecker c("O", 2000);
    Ui(c, kUpdate); // an earlier one does not count
    c.SetLine(20);
    const int mark = c.UpdateDisplays();
    EXPECT_FALSE(c.UpdatedSince(mark));
    c.SetLine(22); // a preset chooser: the edit spans the commands until it closes
    c.StateChanged(20, mark, 250);
    c.SetLine(30);
    const int again = c.UpdateDisplays();
    c.StateChanged(30, again, 250);
    Ui(c, kUpdate); // too late: the host has judged
    EXPECT_TRUE(c.UpdatedSince(again));
    EXPECT_EQ(Texts(c.TakeFindings()),
              "line 20: the commands from line 20 to here changed O's state chunk, but no "
              "audioMasterUpdateDisplay (42) came within 250 ms after: the host never marks "
              "its project modified\n"
              "line 30: the command changed O's state chunk, but no audioMasterUpdateDisplay "
              "(42) came within 250 ms after: the host never marks its project modified\n");
}

} // namespace
