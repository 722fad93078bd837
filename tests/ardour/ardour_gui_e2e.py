#!/usr/bin/env python3
"""Orlantix's editor in Ardour 7's GUI, on a virtual X server, as a user meets it.

A Lua session (ardour7-lua, dummy backend) holds a MIDI track with Orlantix; the session file is
told that the plug-in's window was open, so Ardour's GUI (ardour, its own dummy backend started
from a private configuration: no first-run wizard, no engine dialog) opens the editor with the
session. The edits of gui-edits.script go to the editor through XTEST (xdotool), one by one;
after each, Ardour must mark the session modified (its main window's title gains "*"), and
Ctrl+S must save it (the "*" goes); a saved session must stay saved while nothing is edited.
Then Ctrl+Q must quit without a question, the session is opened again headless and saved as a
snapshot, and the plug-in state Ardour stores there (and the one the GUI saved) must equal the
state our own X11 edit host (orx-edithost-x11) leaves after the same edits, byte for byte. The
last edits are undos, by Control+Z (the editor's X window takes the keyboard when clicked, so
the key goes to it, not to Ardour's own undo; with the plug-in's Ardour window focused and the
pointer over the editor it reaches the editor too, while with Ardour's main window focused it is
Ardour's and leaves the plug-in alone) and from the editor's right-click menu; the edit host
checks that each brings back the state from before the edit it undoes.
On failure a picture of the screen is left in the output folder (failure.png) with Ardour's
output (ardour.log).

With --lv2 BUNDLE Ardour plays the LV2 version from that bundle folder instead and opens its
X11 UI: its edits must mark the session modified the same way (the plug-in's state-changed
notice), and the state Ardour keeps in the session's plug-in folder must be the same bytes.

usage: ardour_gui_e2e.py --plugin LIB --preset FILE --edithost PROGRAM --out DIR [--lv2 BUNDLE]
       [--block FRAMES]
Skipped (exit 77) with the reason where Ardour, its scanner or xdotool is not installed, or
Ardour's GUI cannot start at all on the virtual X server."""
import argparse
import base64
import os
import re
import shutil
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "editor"))
from editor_wine_checks import start_xvfb  # noqa: E402
from ardour_e2e import LUA, LV2_URI, SCANNER, ardour_env, scan_once  # noqa: E402
from xscreen import Screen  # noqa: E402

ARDOUR = "/usr/bin/ardour"
XDOTOOL = "/usr/bin/xdotool"
RATE = 44100
SESSION = "orlantix"
SCREEN_SIZE = "1600x1000x24"
START_SECONDS = 60   # until the editor shows in Ardour's plug-in window
MARK_SECONDS = 5     # until the title shows an edit
SAVE_SECONDS = 10    # until a save shows
QUIT_SECONDS = 30
STEP_SECONDS = 0.25  # between the steps of a drag
SETTLE_SECONDS = 0.5  # ten of Ardour's idle calls for the editor
# The edit host's checks of the state among the edits, which only it can make.
HOST_CHECKS = ("keep-chunk", "expect-chunk-as", "expect-chunk", "expect-edited")
KEYS = {"down": "Down", "up": "Up", "left": "Left", "right": "Right", "return": "Return",
        "escape": "Escape", "space": "space"}
# Ardour's rc file: its own dummy backend offered and started as the engine, without asking.
CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="check-announcements" value="0"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device=""
               output-device="" sample-rate="%d" buffer-size="%d" n-periods="0"
               input-latency="0" output-latency="0" lm-input="" lm-output="" active="1"
               use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
"""


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def xdo(display, *args):
    r = subprocess.run([XDOTOOL] + [str(a) for a in args], env=dict(os.environ, DISPLAY=display),
                       capture_output=True, text=True, timeout=20)
    return r.stdout.strip() if r.returncode == 0 else None


def wait_for(what, seconds, probe):
    """probe() until it gives a true value, for seconds at most; Failure(what) after that."""
    end = time.monotonic() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(what)
        time.sleep(0.1)


def edits(path):
    """The script's edits: (name, [commands]) in order, each command a list of words."""
    found = []
    for line in open(path):
        if line.startswith("# edit:"):
            found.append((line[len("# edit:"):].strip(), []))
            continue
        words = line.split("#", 1)[0].split()
        if words:
            if not found:
                raise Failure("%s: a command before the first edit" % path)
            found[-1][1].append(words)
    return found


def private_home(out, plugin, preset, block, lv2=None):
    """HOME and XDG folders for Ardour, and a plug-in folder: the library, its Orlantix.ini
    and a preset folder holding preset alone. With lv2, Ardour gets no VST 2 plug-in (the
    library is the edit host's) but the LV2 bundle alone in its LV2 path, its preset folder and
    Orlantix.ini the same. Returns (env, library path)."""
    home = os.path.join(out, "home")
    config = os.path.join(home, ".config", "ardour7")
    os.makedirs(config)
    # Ardour's first-run wizard shows until this marker of an earlier run exists.
    open(os.path.join(config, ".a7"), "w").close()
    with open(os.path.join(config, "config"), "w") as f:
        f.write(CONFIG % (RATE, block))
    folder = os.path.join(out, "vst")
    os.makedirs(os.path.join(folder, "presets"))
    library = os.path.join(folder, os.path.basename(plugin))
    shutil.copy(plugin, library)
    shutil.copy(preset, os.path.join(folder, "presets"))
    with open(os.path.join(folder, "Orlantix.ini"), "w") as f:
        f.write('PresetFolder "presets"\n')
    # Ardour takes the scanner's cache only when it is newer than the library, to the second.
    past = os.path.getmtime(library) - 10
    os.utime(library, (past, past))
    if not lv2:
        return ardour_env(home, folder), library
    bundle = os.path.join(out, "lv2", "Orlantix.lv2")
    shutil.copytree(lv2, bundle)
    shutil.rmtree(os.path.join(bundle, "presets"))
    shutil.copytree(os.path.join(folder, "presets"), os.path.join(bundle, "presets"))
    shutil.copy(os.path.join(folder, "Orlantix.ini"), bundle)
    return ardour_env(home, os.path.join(out, "no-vst"), os.path.dirname(bundle)), library


def lua(script, env, timeout, last):
    try:
        r = subprocess.run([LUA, os.path.join(HERE, script)], env=env, capture_output=True,
                           text=True, errors="replace", timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure("%s did not finish in %d s" % (script, timeout))
    if r.returncode != 0 or ("ORX " + last) not in r.stdout:
        raise Failure("%s failed (exit %d):\n%s\n%s" % (script, r.returncode, r.stdout[-3000:],
                                                      r.stderr[-2000:]))


def plugin_node(session_file):
    root = ET.parse(session_file).getroot()
    for route in root.iter("Route"):
        for proc in route.iter("Processor"):
            if proc.get("type") in ("lxvst", "lv2") and proc.get("name") == "Orlantix":
                return route, proc
    raise Failure("%s holds no Orlantix" % session_file)


def show_window_at_load(session_file):
    """Ardour reopens the plug-in windows a session was saved with: say that Orlantix's was."""
    route, proc = plugin_node(session_file)
    window = ('<Window name="P-%s-%s" visible="1" x-off="0" y-off="0" x-size="720" '
              'y-size="690" custom-ui="1"/>' % (route.get("id"), proc.get("id")))
    text = open(session_file).read()
    if "<Extra>" in text:
        raise Failure("the new session already has GUI state")
    text = text.replace("</Session>", "<Extra><UI>%s</UI></Extra>\n</Session>" % window, 1)
    open(session_file, "w").write(text)


def saved_state(session_file):
    _, proc = plugin_node(session_file)
    if proc.get("type") == "lv2":
        return saved_lv2_state(session_file, proc)
    chunk = proc.find("lxvst/chunk")
    if chunk is None or not (chunk.text or "").strip():
        raise Failure("%s holds no state of Orlantix" % session_file)
    return base64.b64decode(chunk.text)


def saved_lv2_state(session_file, proc):
    """Ardour keeps an LV2 plug-in's state in a folder of the session's own: the chunk is the
    plug-in's state property in that folder's state.ttl, in base64."""
    node = proc.find("lv2")
    folder = os.path.join(os.path.dirname(session_file), "plugins", proc.get("id"),
                          node.get("state-dir", "") if node is not None else "")
    try:
        text = open(os.path.join(folder, "state.ttl")).read()
    except OSError as e:
        raise Failure("%s: no state of Orlantix (%s)" % (session_file, e))
    m = re.search(r'<%s#state>\s+(?:"""(.*?)"""|"(.*?)")' % re.escape(LV2_URI), text, re.S)
    if not m:
        raise Failure("%s holds no state property of Orlantix" % folder)
    return base64.b64decode("".join((m.group(1) or m.group(2)).split()))


class ArdourGui:
    """Ardour's GUI with the session, and what the test does to it."""

    def __init__(self, env, display, session_file, log):
        self.display, self.screen = display, Screen(display)
        self.log = log
        self.main = self.editor = None
        self.process = subprocess.Popen([ARDOUR, "-n", "-a", session_file],
                                        env=dict(env, DISPLAY=display),
                                        stdout=open(log, "w"), stderr=subprocess.STDOUT)
        title = re.escape(SESSION + " - Ardour")
        self.main_pattern = "^\\*?%s$" % title

    def gone(self):
        return self.process.poll() is not None

    def find(self, pattern):
        if self.gone():
            raise Failure("Ardour ended (status %s)" % self.process.returncode)
        ids = xdo(self.display, "search", "--name", pattern)
        return ids.split()[0] if ids else None

    def start(self):
        try:
            self.main = wait_for("no main window", START_SECONDS, lambda: self.find(
                self.main_pattern))
            self.editor = wait_for("no Orlantix editor (an X window named IPlug) in Ardour's "
                                   "plug-in window", START_SECONDS, lambda: self.find("^IPlug$"))
        except Failure as e:
            # Ending by a signal before its window shows may be the plug-in's doing: a failure.
            if self.gone() and self.process.returncode > 0 and self.main is None:
                raise Skip("Ardour's GUI does not start here (status %s); its output is in %s"
                           % (self.process.returncode, self.log))
            raise e
        time.sleep(1)  # Ardour settles after loading; an edit should be all that marks it

    def title(self):
        return xdo(self.display, "getwindowname", self.main) or ""

    def input(self, *args):
        if xdo(self.display, *args) is None:
            raise Failure("xdotool %s failed (the editor window gone?)" % " ".join(map(str, args)))

    def send(self, command):
        """One input command of the script to the editor (its coordinates in editor pixels)."""
        name, a = command[0], command[1:]
        move = ["mousemove", "--window", self.editor]
        if name in ("click", "rclick"):
            self.input(*move, a[0], a[1], "click", 1 if name == "click" else 3)
        elif name == "key" and len(a) == 1:
            # To the window that has the keyboard, as a user types ("ctrl+z" is xdotool's too).
            self.input("key", KEYS.get(a[0], a[0]))
        elif name == "drag":
            x0, y0, x1, y1, steps = map(int, a)
            self.input(*move, x0, y0, "mousedown", 1)
            for i in range(1, steps + 1):
                # As the edit host steps, in C++'s integer division.
                dx, dy = (x1 - x0) * i, (y1 - y0) * i
                dx = abs(dx) // steps * (1 if dx >= 0 else -1)
                dy = abs(dy) // steps * (1 if dy >= 0 else -1)
                self.input(*move, x0 + dx, y0 + dy)
                # The editor keeps only the last of the moves queued between two of the
                # host's idle calls (about 20 a second in Ardour).
                time.sleep(STEP_SECONDS)
            self.input("mouseup", 1)
        else:
            raise Failure("the Ardour test cannot send '%s'" % " ".join(command))

    def edit(self, commands):
        keys = []
        for command in commands:
            if command[0] in HOST_CHECKS:
                continue
            if command[0] == "menukeys":
                keys = [KEYS.get(k, k) for k in command[1:]]
                continue
            before = self.screen.popups()
            self.send(command)
            if keys:
                wait_for("no popup menu after '%s'" % " ".join(command), 5,
                         lambda: self.screen.popups() - before)
                self.input("key", "--delay", 60, *keys)
                wait_for("the popup menu stays", 5, lambda: not (self.screen.popups() - before))
                keys = []

    def save(self):
        xdo(self.display, "key", "--window", self.main, "ctrl+s")
        try:
            wait_for("", SAVE_SECONDS, lambda: not self.title().startswith("*"))
        except Failure:
            raise Failure("Ctrl+S did not save: the title stays '%s'" % self.title())

    def quit(self):
        xdo(self.display, "key", "--window", self.main, "ctrl+q")
        try:
            self.process.wait(QUIT_SECONDS)
        except subprocess.TimeoutExpired:
            raise Failure("Ardour did not quit after a save and Ctrl+Q (a question open?)")

    def stop(self):
        if not self.gone():
            self.process.kill()
            self.process.wait()
        self.screen.close()


def expected_state(edithost, library, script, display, out):
    """The state our own X11 edit host leaves after the same edits on a fresh instance."""
    lines = ["window O", "open O", "pump 300"]
    lines += [line.rstrip("\n") for line in open(script)]
    lines += ["pump 300", "screenshot O expected", "close O"]
    host_script = os.path.join(out, "edithost.script")
    with open(host_script, "w") as f:
        f.write("\n".join(lines) + "\n")
    try:
        r = subprocess.run([edithost, "--plugin", "O=" + library, "--script", host_script,
                            "--out", out], env=dict(os.environ, DISPLAY=display),
                           capture_output=True, text=True, timeout=120)
    except subprocess.TimeoutExpired:
        raise Failure("orx-edithost-x11 did not finish the edits in 120 s")
    if r.returncode != 0:
        raise Failure("orx-edithost-x11 failed the edits:\n" + r.stdout[-3000:])
    return open(os.path.join(out, "expected.state"), "rb").read()


def compare(name, got, want, out):
    if got == want:
        return
    with open(os.path.join(out, name + ".state"), "wb") as f:
        f.write(got)
    at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    raise Failure("the state in %s (%d bytes) is not the edit host's after the same edits (%d "
                  "bytes): they differ from byte %d on" % (name, len(got), len(want), at))


def run(a, display):
    env, library = private_home(a.out, a.plugin, a.preset, a.block, a.lv2)
    if a.lv2:
        env.update(ORX_PLUGIN_TYPE="LV2", ORX_PLUGIN_ID=LV2_URI)
    else:
        scan_once(library, env, display)
        env.update(ORX_PLUGIN_TYPE="LXVST", ORX_PLUGIN_ID="Orlantix")
    session_dir = os.path.join(a.out, "session")
    env.update(ORX_SESSION_DIR=session_dir, ORX_SESSION_NAME=SESSION, ORX_RATE=str(RATE),
               ORX_BLOCK=str(a.block))
    lua("gui_session.lua", env, 120, "built")
    session_file = os.path.join(session_dir, SESSION + ".ardour")
    show_window_at_load(session_file)
    fresh = saved_state(session_file)

    gui = ArdourGui(env, display, session_file, os.path.join(a.out, "ardour.log"))
    try:
        gui.start()
        if gui.title().startswith("*"):
            raise Failure("the session shows modified right after loading: '%s'" % gui.title())
        unmarked = []
        for name, commands in edits(a.script):
            # What an edit tells the host may come over a few of its idle calls: the next
            # edit starts from a saved session that stays saved.
            time.sleep(SETTLE_SECONDS)
            if gui.title().startswith("*"):
                gui.save()
                time.sleep(SETTLE_SECONDS)
                if gui.title().startswith("*"):
                    raise Failure("Ardour marks the session modified again with no edit made, "
                                  "after a save (before: %s)" % name)
            gui.edit(commands)
            try:
                wait_for(name, MARK_SECONDS, lambda: gui.title().startswith("*"))
            except Failure:
                unmarked.append(name)
                continue
            print("marked modified after %s" % name)
            time.sleep(SETTLE_SECONDS)
            gui.save()
        if unmarked:
            raise Failure("after these edits in the editor Ardour did not mark the session "
                          "modified (its title stayed '%s'), so it would quit without saving "
                          "them: %s" % (gui.title(), "; ".join(unmarked)))
        gui.quit()
    finally:
        if not gui.gone():
            gui.screen.save_png(os.path.join(a.out, "failure.png"))
        gui.stop()
    print("Ardour saved each edit and quit without asking")

    lua("reopen_session.lua", env, 120, "reopened")
    want = expected_state(a.edithost, library, a.script, display, a.out)
    if want == fresh:
        raise Failure("the edits leave the state of a fresh instance: they edit nothing")
    compare("saved", saved_state(session_file), want, a.out)
    compare("reopened", saved_state(os.path.join(session_dir, "reopened.ardour")), want, a.out)
    print("the state Ardour saved, and saved again after opening the session anew, is the "
          "edit host's after the same edits (%d bytes)" % len(want))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--plugin", required=True)
    p.add_argument("--preset", required=True)
    p.add_argument("--edithost", required=True)
    p.add_argument("--script", default=os.path.join(HERE, "gui-edits.script"))
    p.add_argument("--out", required=True)
    p.add_argument("--lv2")
    # Frames per block: at 128 (2.9 ms) the editor's sections run on the audio thread, at 1024
    # in the gaps between its blocks.
    p.add_argument("--block", type=int, default=1024)
    a = p.parse_args()
    for path, package in ((ARDOUR, "ardour"), (LUA, "ardour"), (SCANNER, "ardour"),
                          (XDOTOOL, "xdotool")):
        if not os.path.exists(path):
            print("SKIP: %s is missing (package %s, installed by scripts/install-deps.sh)"
                  % (path, package))
            return 77
    shutil.rmtree(a.out, ignore_errors=True)
    os.makedirs(a.out)
    server, display = start_xvfb(SCREEN_SIZE)
    try:
        run(a, display)
    except Skip as e:
        print("SKIP: %s" % e)
        return 77
    except Failure as e:
        picture = os.path.join(a.out, "failure.png")
        print("FAIL: %s%s" % (e, "\n(the screen: %s)" % picture if os.path.exists(picture)
                              else ""))
        return 1
    finally:
        server.terminate()
        server.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
