// The editor hosts' script runner, run against the test plug-in's editor on the headless
// window layer (HeadlessDriver.h): a session of the scripts' commands and what it reports
// line by line, the files a screenshot leaves for the comparison, the mistakes a script can
// make with the reasons given for them, and a platform without windows.

#include "ScriptRunner.h"
#include "HeadlessDriver.h"
#include "HostTransport.h"
#include "ScriptReport.h"
#include "VstEntry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

struct HostRun
{
    int mStatus = -1;
    std::vector<std::string> mLines; // what the host said, but its notes
};

// Runs script against one instance of the test plug-in, named E, on driver.
HostRun RunScript(const std::string& script, HeadlessDriver& driver, const std::string& out)
{
    HeadlessOffersEditor(true);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    edithost::Invocation invocation;
    invocation.mPlugins = {{"E", "compiled in"}};
    invocation.mScriptText = script;
    invocation.mOut = out;
    HostRun run;
    edithost::ScriptReport report(
        [&](const std::string& line)
        {
            if (line.rfind("note: ", 0) != 0)
                run.mLines.push_back(line);
        });
    run.mStatus = edithost::RunEditorHost(invocation, driver, report,
                                          [](orxhost::VstHost& host, const std::string&) {
                                              return host.LoadEntry(&VSTPluginMain, "test editor");
                                          });
    return run;
}

std::string Folder(const char* test)
{
    return testing::TempDir() + "/orx-runner-" + test;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

// The test editor (tools/testplugin/TestEditor.h): knob (Gain) at 356 316, switch (Echo) at
// 308 368, spinner (Mode) at 430 362; from Gain 1.00, Echo on, Mode Beta. Gain is the first
// double of the state chunk, at byte 12.
TEST(ScriptRunner, ASessionChecksEachCommandAtItsLineAndLeavesTheComparisonItsFiles)
{
    HeadlessDriver driver;
    const std::string out = Folder("session");
    const HostRun run = RunScript(R"(window E
counts before
open E
expect-windows E 1
expect-editor-at E 0 0
click 308 368                # the switch
expect-edited E
expect E Echo off
drag 356 316 356 296 4
expect E Gain 1.31
wheel 356 316 -3
expect E Gain 1.25
menuchoose Gamma
rclick 430 362
expect E Mode Gamma
rclick 356 316               # the value prompt
expect-windows E 2
type 0.5
screenshot E entry
key return
expect E Gain 0.50
expect-chunk E 12 double 0.5
expect-edited E
play E 1000 2000
screenshot E played
close E
expect-windows E 0
counts closed
same-counts before closed
)",
                                  driver, out);
    EXPECT_EQ(Joined(run.mLines),
              "ok: line 0: E has an editor of 720 x 650\n"
              "ok: line 0: the lock probe (getParameter from a second thread) waits while E's "
              "library processes, so it sees the instance lock\n"
              "ok: line 1: E has the has-editor flag\n"
              "ok: line 1: E host window's client area is the editor's size 720 x 650\n"
              "counts before: host windows 1, open editors 0\n"
              "ok: line 3: E has the has-editor flag\n"
              "ok: line 3: E host window's client area is the editor's size 720 x 650\n"
              "ok: line 3: effEditOpen opens E's editor\n"
              "ok: line 4: E's host window holds 1 windows, expected 1\n"
              "ok: line 5: E's editor is at 0 0 in its host window\n"
              "ok: line 7: the last input changed E's state chunk\n"
              "ok: line 8: E Echo shows 'off', expected 'off'\n"
              "ok: line 10: E Gain shows '1.31', expected '1.31'\n"
              "ok: line 12: E Gain shows '1.25', expected '1.25'\n"
              "ok: line 14: a popup menu shows\n"
              "ok: line 14: the menu has the item Gamma\n"
              "ok: line 14: the menu keys were all typed into the popup menu\n"
              "ok: line 15: E Mode shows 'Gamma', expected 'Gamma'\n"
              "ok: line 17: E's host window holds 2 windows, expected 2\n"
              "ok: line 19: screenshot entry.png and its state written\n"
              "ok: line 21: E Gain shows '0.50', expected '0.50'\n"
              "ok: line 22: E's state chunk holds 0.500000 at offset 12 (double), expected 0.5\n"
              "ok: line 23: the last input changed E's state chunk\n"
              "ok: line 24: E's host played 5 blocks with the editor open, the last one stopped "
              "(4 events so far)\n"
              "ok: line 25: screenshot played.png and its state written\n"
              "ok: line 26: effEditClose closes E's editor\n"
              "ok: line 27: E's host window holds 0 windows, expected 0\n"
              "counts closed: host windows 1, open editors 0\n"
              "ok: line 29: the counts equal at before and closed\n"
              "27 passed, 0 failed\n");
    EXPECT_EQ(run.mStatus, 0);
    EXPECT_GT(driver.mIdleCalls, 0);

    // What the comparison with the headless editor reads beside each screenshot: the picture,
    // the state chunk, the entry box to leave out and what the host played before it.
    for (const char* shot : {"entry", "played"})
    {
        const std::string stem = out + "/" + shot;
        EXPECT_TRUE(std::filesystem::is_regular_file(stem + ".png")) << shot;
        const std::string state = ReadFile(stem + ".state");
        ASSERT_EQ(state.size(), 60u) << shot; // a magic, a version and six doubles
        double gain = 0.0;
        std::memcpy(&gain, state.data() + 12, sizeof(gain));
        EXPECT_EQ(gain == 0.5, std::string(shot) == "played") << shot << " " << gain;
    }
    EXPECT_EQ(ReadFile(out + "/entry.areas"), "338 308 374 324\n");
    EXPECT_EQ(ReadFile(out + "/played.areas"), "");
    std::vector<edithost::PlayedStretch> played;
    ASSERT_TRUE(edithost::ReadPlayed(ReadFile(out + "/played.transport"), played));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].mFrom, 1000);
    EXPECT_EQ(played[0].mFrames, 2000);
    EXPECT_EQ(ReadFile(out + "/entry.transport"), "");
}

TEST(ScriptRunner, AMistakeFailsAtItsLineWithTheReasonAndTheRestRuns)
{
    HeadlessDriver driver;
    const HostRun run = RunScript(R"(counts none
click 308 368                # before any editor
window E
counts one
open E
frobnicate 1 2
click 308
expect F Echo on
expect E Echo off
expect E Loudness 11
expect-chunk E 58 double 1
expect-chunk E 12 float 1
menukeys down sideways
key f5
type 1.5                     # no entry box takes it
menuchoose Delta
rclick 430 362
expect E Mode Beta
expect-edited E
expect-windows E 2
same-counts one later
same-counts none one
close E
release 356 316              # a release may follow a close
expect E Echo on
)",
                                  driver, Folder("mistakes"));
    std::vector<std::string> failed;
    for (const std::string& line : run.mLines)
        if (line.rfind("FAIL", 0) == 0)
            failed.push_back(line);
    EXPECT_EQ(Joined(failed),
              "FAIL: line 2: click: no open editor to send input to\n"
              "FAIL: line 6: cannot read the command 'frobnicate'\n"
              "FAIL: line 7: cannot read the command 'click'\n"
              "FAIL: line 8: no plug-in named F\n"
              "FAIL: line 9: E Echo shows 'on', expected 'off'\n"
              "FAIL: line 10: E Loudness shows '(no such parameter)', expected '11'\n"
              "FAIL: line 11: no double at offset 58 of a state chunk of 60 bytes\n"
              "FAIL: line 12: no float at offset 12 of a state chunk of 60 bytes\n"
              "FAIL: line 13: unknown key sideways\n"
              "FAIL: line 14: unknown key f5\n"
              "FAIL: line 15: cannot type '1.5'\n"
              "FAIL: line 17: the menu has the item Delta\n"
              "FAIL: line 19: the last input changed E's state chunk\n"
              "FAIL: line 20: E's host window holds 1 windows, expected 2\n"
              "FAIL: line 21: no counts recorded as one or later\n"
              "FAIL: line 22: the counts equal at none and one; they differ in host windows (0, "
              "1)\n");
    ASSERT_GE(run.mLines.size(), 2u);
    EXPECT_EQ(run.mLines[run.mLines.size() - 2], "ok: line 25: E Echo shows 'on', expected 'on'");
    EXPECT_EQ(run.mLines.back(), "12 passed, 16 failed");
    EXPECT_EQ(run.mStatus, 1);

    // Where the platform cannot read a menu's items, a choice by text is refused up front.
    HeadlessDriver blind;
    blind.mReadsMenus = false;
    const HostRun refused = RunScript("menuchoose Gamma\n", blind, Folder("blind"));
    EXPECT_EQ(refused.mLines.at(2),
              "FAIL: line 1: this host cannot read a popup menu's items to choose one");
    EXPECT_EQ(refused.mStatus, 1);
}

// While a popup holds the host's thread (here the value prompt, as the X11 file chooser does),
// the commands from the one that opened it to the one that closed it make one edit; a script
// that finds another popup than it was written for stops there.
TEST(ScriptRunner, APopupMakesOneEditOfItsCommandsAndAWrongOneStopsTheScript)
{
    for (const bool popup : {false, true})
    {
        HeadlessDriver driver;
        driver.mEntryIsPopup = popup;
        const HostRun run = RunScript(R"(open E
click 308 368
rclick 356 316
expect-edited E
type 0.5
key return
expect-edited E
expect-popup Open
expect E Gain 0.50
)",
                                      driver, Folder("popup"));
        std::vector<std::string> edited;
        for (const std::string& line : run.mLines)
            if (line.find("the last input") != std::string::npos ||
                line.find("popup") != std::string::npos || line.rfind("stopped", 0) == 0)
                edited.push_back(line);
        // Without the popup the prompt's opening is an edit of its own that changes nothing.
        EXPECT_EQ(Joined(edited), std::string(popup ? "ok" : "FAIL") +
                                      ": line 4: the last input changed E's state chunk\n"
                                      "ok: line 7: the last input changed E's state chunk\n"
                                      "FAIL: line 8: the popup on the screen is ''\n"
                                      "stopped: line 8: the rest of the script cannot run\n")
            << "popup " << popup;
        EXPECT_EQ(run.mStatus, 1);
    }
}

// Undo and redo by the keys with their modifiers held, each state checked against a chunk kept
// before: a drag is one step, a plain Z or Shift+Z is no undo, and the chunk commands fail
// with what differs.
TEST(ScriptRunner, KeptChunksCheckWhatTheModifierKeysUndoAndRedo)
{
    HeadlessDriver driver;
    const HostRun run = RunScript(R"(open E
keep-chunk E fresh
click 308 368                # the switch
keep-chunk E echo-off
drag 356 316 356 296 4
keep-chunk E dragged
key ctrl+z                   # the whole drag
expect-chunk-as E echo-off
expect E Gain 1.00
key z
key shift+z
expect-chunk-as E echo-off
key ctrl+z
expect-chunk-as E fresh
key ctrl+y
expect-chunk-as E echo-off
key ctrl+shift+z
expect-chunk-as E dragged
expect E Gain 1.31
expect-chunk-as E fresh
expect-chunk-as E later
keep-chunk E fresh
key ctrl+ctrl+z
key ctrl+
menukeys ctrl+down
)",
                                  driver, Folder("chunks"));
    std::vector<std::string> lines(run.mLines.begin() + 2, run.mLines.end()); // the calibration
    EXPECT_EQ(Joined(lines),
              "ok: line 1: E has the has-editor flag\n"
              "ok: line 1: E host window's client area is the editor's size 720 x 650\n"
              "ok: line 1: effEditOpen opens E's editor\n"
              "ok: line 2: E's state chunk (60 bytes) kept as fresh\n"
              "ok: line 4: E's state chunk (60 bytes) kept as echo-off\n"
              "ok: line 6: E's state chunk (60 bytes) kept as dragged\n"
              "ok: line 8: E's state chunk is the one kept as echo-off (60 bytes)\n"
              "ok: line 9: E Gain shows '1.00', expected '1.00'\n"
              "ok: line 12: E's state chunk is the one kept as echo-off (60 bytes)\n"
              "ok: line 14: E's state chunk is the one kept as fresh (60 bytes)\n"
              "ok: line 16: E's state chunk is the one kept as echo-off (60 bytes)\n"
              "ok: line 18: E's state chunk is the one kept as dragged (60 bytes)\n"
              "ok: line 19: E Gain shows '1.31', expected '1.31'\n"
              // The gain (1.31 against 1.00) and the switch differ in their doubles' high bytes.
              "FAIL: line 20: E's state chunk is the one kept as fresh; 3 bytes differ, from "
              "byte 18 on\n"
              "FAIL: line 21: no state chunk kept as later\n"
              "FAIL: line 22: a state chunk is already kept as fresh\n"
              "FAIL: line 23: unknown key ctrl+ctrl+z\n"
              "FAIL: line 24: unknown key ctrl+\n"
              "FAIL: line 25: a menu takes no modifier keys: ctrl+down\n"
              "15 passed, 6 failed\n");
    EXPECT_EQ(run.mStatus, 1);
}

TEST(ScriptRunner, APlatformWithoutWindowsSkipsTheScript)
{
    HeadlessDriver driver;
    driver.mWindowProblem = "no display driver for 32-bit programs";
    const HostRun run = RunScript("open E\nexpect E Echo off\n", driver, Folder("skip"));
    EXPECT_EQ(Joined(run.mLines), "ok: line 0: E has an editor of 720 x 650\n"
                                  "SKIP: no display driver for 32-bit programs\n"
                                  "1 passed, 0 failed\n");
    EXPECT_EQ(run.mStatus, 77);
}

} // namespace
