#pragma once
// The editor test hosts' script runner: loads plug-in libraries, watches their calls to the host
// (HostCallWatch.h), and carries out an input script (EditScript.h) against their editors the
// same way on every platform, through the platform's input driver (InputDriver.h). Every
// check prints "ok:" or "FAIL:" with its script line (ScriptReport.h).
//
// Script commands (coordinates in editor pixels; each input command waits for the editor's
// frames afterwards):
//   window NAME                     makes NAME's host window (open makes it too), the size of
//                                   the editor it reports
//   open NAME | close NAME          effEditOpen into NAME's window (its target from then on),
//                                   effEditClose
//   destroy-window NAME             destroys NAME's host window, with the editor in it, without
//                                   closing the editor first (as some hosts do)
//   target NAME                     the editor the input below goes to (its window in front)
//   pump MS                         lets MS milliseconds pass, the host's loop running
//   idle-every MS | idle off        the host's idle interval (15 at first); no idle at all
//   click X Y | rclick X Y | ctrlclick X Y (with the control key held) | dblclick X Y
//   drag X0 Y0 X1 Y1 STEPS          left button held along the line
//   press X Y | move X Y | release X Y
//                                   the left button pressed, moved with it held, released:
//                                   a drag in pieces, to close the editor in the middle of one
//   wheel X Y NOTCHES
//   menukeys KEY...                 keys for the popup menu the next click, ctrlclick or rclick
//                                   opens (down up left right return escape space backspace
//                                   home end pagedown pageup delete, letters, digits, . - _ / ,)
//   menuchoose TEXT [> TEXT ...]    the same, with the keys a user types to choose the item of
//                                   that text in it (down to it, right into a submenu and on,
//                                   return); found in the menu as it shows, where the platform
//                                   can read its items
//   menushot FILE                   FILE.png of the screen as that menu shows
//   type TEXT | key KEY [N]         keys to whichever window has the keyboard (N times); key
//                                   takes the menukeys' names with modifier keys held while
//                                   it goes down: ctrl+z, ctrl+y, ctrl+shift+z, shift+home
//   play NAME FROM FRAMES           NAME's host plays FRAMES from sample position FROM in
//                                   blocks of 512 on an audio thread of its own, the host's
//                                   loop running meanwhile, then stops the transport there
//   midi NAME STATUS DATA1 DATA2    one MIDI message into NAME's plug-in (effProcessEvents, at
//                                   offset 0): the status in hex, the data bytes in decimal
//   expect NAME PARAM TEXT          the parameter's display text (effGetParamDisplay), waited
//                                   for up to 3 seconds
//   expect-edited NAME              the last input command (with the popup it opened, until
//                                   that closed) changed NAME's state chunk
//   expect-chunk NAME OFFSET TYPE VALUE
//                                   the value at byte OFFSET of the plug-in's state chunk, read
//                                   little-endian as TYPE (byte, int or double)
//   keep-chunk NAME LABEL           keeps the plug-in's state chunk as it is now under LABEL
//                                   (each label once)
//   expect-chunk-as NAME LABEL      the plug-in's state chunk equals the one kept under LABEL
//                                   byte for byte (what an undo must bring back)
//   expect-windows NAME N           windows inside NAME's host window, at any depth
//   expect-popups N                 popups (menus, choosers) on the screen, waited for 2 s
//   expect-popup TITLE              a popup named TITLE ("Open", "Save As": the file chooser)
//                                   on the screen, waited for up to 3 seconds; any other is
//                                   dismissed with Escape and the script stops there, since
//                                   what follows was written for TITLE (a wrong dialog would
//                                   hold the host's thread until the test's time-out)
//   expect-editor-at NAME X Y       the editor window's place in the host window
//   expect-title NAME TEXT          the editor window's title
//   expect-file PATH                PATH (in the output folder) exists, waited for 2 s
//   expect-font FACE FAMILY...      the font the platform gives for FACE is FAMILY (its file
//                                   says so)
//   distinct-classes NAME NAME      the two editors' windows are of different classes, each
//                                   naming its plug-in's unique id
//   cover NAME                      maps a window over NAME's host window and takes it away
//   counts LABEL                    records what the platform and the process hold (windows,
//                                   handles, the server's resources, open files)
//   same-counts LABEL LABEL         the two records must be equal
//   screenshot NAME FILE            FILE.png of the host window's client area, FILE.state of
//                                   the plug-in's state chunk, FILE.areas with the editor's
//                                   child windows (an open entry box) and FILE.transport with
//                                   what NAME's host played so far, for the comparison with the
//                                   headless editor in the same state
//   screen FILE                     FILE.png of the whole screen
//   same-picture FILE FILE          two screenshots are equal
//
// Throughout, every plug-in's calls to the host are checked: edit gestures that pair up, no
// call on the host's thread while the plug-in holds its instance lock (the plug-in's opening
// included), and an update-display after every input command that changed the state chunk
// (read once no popup holds the host's thread: a chooser's commands count as one edit). What
// they find fails the run as "FAIL:" lines at the command that caused it.

#include "EditScript.h"

#include <functional>
#include <string>

namespace orxhost
{
class VstHost;
}

namespace edithost
{

class InputDriver;
class ScriptReport;

// Makes host's plug-in from path: the library there, or (in tests) one compiled in.
using PlugInLoader = std::function<bool(orxhost::VstHost& host, const std::string& path)>;
bool LoadPlugInLibrary(orxhost::VstHost& host, const std::string& path);

// Runs run's script against its plug-ins through driver, on the calling thread as the host's
// thread, and ends with the tally. The exit status: 0 when every check passed (and one ran), 1
// when one failed, 77 when the platform gives this process no window ("SKIP: ..." says why).
int RunEditorHost(const Invocation& run, InputDriver& driver, ScriptReport& report,
                  const PlugInLoader& load = LoadPlugInLibrary);

} // namespace edithost
