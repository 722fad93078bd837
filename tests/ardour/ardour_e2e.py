#!/usr/bin/env python3
"""Orlantix in Ardour 7, headless: Ardour's own VST scanner reads the library (and reports its
editor both without a display and on one, a virtual X server of its own), a Lua session
makes a MIDI track with Orlantix (set to a factory preset through Ardour's preset store) and a
capture processor after it, saves it, adds a loop range to the session file, opens it again
and plays the loop. The MIDI Ardour passes on from Orlantix must be what orlantix-render sends
for the same preset, transport and loop, event for event, position for position.

With --lv2 BUNDLE the same session plays the LV2 version from that bundle folder instead: Ardour
finds it through its LV2 path and applies the preset from the bundle's own presets (lilv), and
its MIDI must equal what orlantix-render sends from the VST 2 library.

usage: ardour_e2e.py --render TOOL --plugin LIB --preset FILE --out DIR [--lv2 BUNDLE]
Skipped (exit 77) with the reason where Ardour is not installed."""
import argparse
import base64
import glob
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "editor"))
from editor_wine_checks import start_xvfb  # noqa: E402
LUA = "/usr/bin/ardour7-lua"
SCANNER = "/usr/lib/ardour7/ardour-vst-scanner"
RATE, BLOCK = 44100, 512
LOOP = (22050, 122050)  # ends mid-cycle: Ardour cuts its cycle there
WRAPS = 2
RENDER_SECONDS = 60  # more than Ardour plays: its events are compared with a prefix
SUPERCLOCK_PER_SAMPLE = 282240000 // RATE
LV2_URI = "urn:dravenholm:orlantix"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run(cmd, env, timeout):
    try:
        r = subprocess.run(cmd, env=env, capture_output=True, text=True, errors="replace",
                           timeout=timeout)
    except subprocess.TimeoutExpired as e:
        fail("%s did not finish in %d s; it said:\n%s" % (cmd[-1], timeout,
                                                        (e.stdout or b"")[-3000:]))
    return r


def ardour_env(home, plugin_dir, lv2_dir=None):
    env = dict(os.environ)
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"), LXVST_PATH=plugin_dir)
    if lv2_dir:
        env["LV2_PATH"] = lv2_dir
    env.pop("VST_PATH", None)
    return env


def scan_once(plugin, env, display):
    """Ardour's scanner, as Ardour runs it, on display (None: no DISPLAY at all); returns
    the plug-in's unique id and has-editor flag from its cache."""
    scan_env = dict(env, LD_LIBRARY_PATH="/usr/lib/ardour7")
    scan_env.pop("DISPLAY", None)
    if display:
        scan_env["DISPLAY"] = display
    r = run([SCANNER, "-f", "-v", plugin], scan_env, 120)
    if r.returncode != 0 or "Found Plugin" not in r.stdout + r.stderr:
        fail("ardour-vst-scanner refused %s:\n%s%s" % (plugin, r.stdout, r.stderr))
    caches = glob.glob(os.path.join(env["XDG_CACHE_HOME"], "ardour7", "vst", "*.v2i"))
    found = [m for c in caches for m in re.findall(
        r'<VST2Info id="(\d+)" name="Orlantix"[^>]* has_editor="(\d)"', open(c).read())]
    if not found:
        fail("the scanner's cache names no Orlantix: %s" % caches)
    return found[0]


def scan(plugin, env):
    """The editor is offered whether or not the scanner has a display (Ardour keeps what a scan
    run without one found), and on a virtual X server of its own; returns the unique id."""
    _, editor = scan_once(plugin, env, None)
    if editor != "1":
        fail("without a display, the scanner reports has_editor=\"%s\"" % editor)
    server, display = start_xvfb()
    try:
        unique_id, editor = scan_once(plugin, env, display)
    finally:
        server.terminate()
        server.wait()
    if editor != "1":
        fail("on a display, the scanner reports has_editor=\"%s\"" % editor)
    print("the scanner reports the editor (has_editor=\"1\") with a display and without one")
    return unique_id


def install_preset(env, unique_id, label, state):
    """The factory preset as a user preset in Ardour's store for this plug-in."""
    folder = os.path.join(env["XDG_CONFIG_HOME"], "ardour7", "presets")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "vst-%s" % unique_id), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<VSTPresets>\n'
                '  <ChunkPreset uri="VST:%s:x1" version="10000" label="%s" numParams="0">%s'
                '</ChunkPreset>\n</VSTPresets>\n'
                % (unique_id, label, base64.b64encode(state).decode()))


def add_loop(session_file):
    text = open(session_file).read()
    loop = ('<Location id="9999" name="Loop" start="a%d" end="a%d" flags="IsAutoLoop" '
            'locked="0" timestamp="0" cue="0"/>'
            % (LOOP[0] * SUPERCLOCK_PER_SAMPLE, LOOP[1] * SUPERCLOCK_PER_SAMPLE))
    if "<Locations/>" in text:
        text = text.replace("<Locations/>", "<Locations>%s</Locations>" % loop, 1)
    elif "<Locations>" in text:
        text = text.replace("<Locations>", "<Locations>" + loop, 1)
    else:
        fail("the session file has no locations")
    open(session_file, "w").write(text)


def lua(script, env, timeout):
    r = run([LUA, os.path.join(HERE, script)], env, timeout)
    lines = [l[4:] for l in r.stdout.splitlines() if l.startswith("ORX ")]
    if r.returncode != 0 or not lines or not lines[-1].endswith(("built", "played")):
        fail("%s failed (exit %d):\n%s\n%s" % (script, r.returncode, r.stdout[-4000:],
                                               r.stderr[-2000:]))
    return lines


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--render", required=True)
    p.add_argument("--plugin", required=True)
    p.add_argument("--preset", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--lv2")
    a = p.parse_args()
    for path, package in ((LUA, "ardour"), (SCANNER, "ardour")):
        if not os.path.exists(path):
            print("SKIP: %s is missing (package %s, installed by scripts/install-deps.sh)"
                  % (path, package))
            return 77

    shutil.rmtree(a.out, ignore_errors=True)
    home = os.path.join(a.out, "home")
    os.makedirs(os.path.join(home, ".config", "ardour7", "scripts"))
    shutil.copy(os.path.join(HERE, "orlantix_capture.lua"),
                os.path.join(home, ".config", "ardour7", "scripts"))
    # Ardour finds the library by its folder; only this one is there.
    plugin_dir = os.path.join(a.out, "vst")
    os.makedirs(plugin_dir)
    plugin = os.path.join(plugin_dir, os.path.basename(a.plugin))
    shutil.copy(a.plugin, plugin)
    # Ardour takes the scanner's cache only when it is newer than the library, to the second.
    past = os.path.getmtime(plugin) - 10
    os.utime(plugin, (past, past))
    # The LV2 bundle, alone in the LV2 path Ardour is given.
    lv2_dir = os.path.join(a.out, "lv2")
    os.makedirs(lv2_dir)
    if a.lv2:
        shutil.copytree(a.lv2, os.path.join(lv2_dir, os.path.basename(a.lv2.rstrip("/"))))
    env = ardour_env(home, plugin_dir if not a.lv2 else os.path.join(a.out, "none"), lv2_dir)

    label = os.path.splitext(os.path.basename(a.preset))[0]
    state_file = os.path.join(a.out, "preset.state")
    r = subprocess.run([a.render, "--plugin", plugin, "--preset", a.preset, "--save-state",
                        state_file, "--seconds", "0.01", "--events", os.devnull],
                       capture_output=True, text=True)
    if r.returncode != 0:
        fail("orlantix-render could not save the preset's state: " + r.stderr)

    if a.lv2:
        env.update(ORX_PLUGIN_TYPE="LV2", ORX_PLUGIN_ID=LV2_URI)
    else:
        unique_id = scan(plugin, env)
        install_preset(env, unique_id, label, open(state_file, "rb").read())
        env.update(ORX_PLUGIN_TYPE="LXVST", ORX_PLUGIN_ID="Orlantix")
    session_dir = os.path.join(a.out, "session")
    env.update(ORX_SESSION_DIR=session_dir, ORX_SESSION_NAME="orlantix", ORX_RATE=str(RATE),
               ORX_BLOCK=str(BLOCK), ORX_PRESET=label, ORX_WRAPS=str(WRAPS))
    print("\n".join(lua("build_session.lua", env, 120)))
    add_loop(os.path.join(session_dir, "orlantix.ardour"))
    played = lua("play_session.lua", env, 180)
    captured = []
    for line in played:
        if line.startswith("event "):
            pos, offset, rolling, status, d1, d2 = map(int, line.split()[1:])
            captured.append((pos, offset, rolling, status, d1, d2))
    print("Ardour passed on %d events from Orlantix" % len(captured))
    listing = os.path.join(a.out, "ardour.txt")
    with open(listing, "w") as f:
        for c in captured:
            f.write("%d %d %d %02x %d %d\n" % c)
    return compare(a, plugin, captured)


def compare(a, plugin, captured):
    # What the renderer sends for the same preset, transport and loop, long enough to cover
    # what Ardour played.
    events = os.path.join(a.out, "render.txt")
    r = subprocess.run([a.render, "--plugin", plugin, "--preset", a.preset, "--block",
                        str(BLOCK), "--start", str(LOOP[0]), "--loop", "%d:%d" % LOOP,
                        "--seconds", str(RENDER_SECONDS), "--events", events],
                       capture_output=True, text=True)
    if r.returncode != 0:
        fail("orlantix-render failed: " + r.stderr)
    rendered = []
    for line in open(events):
        sample, status, d1, d2 = line.split()
        rendered.append((int(sample), int(status, 16), int(d1), int(d2)))

    # While the transport rolls, Ardour's events are Orlantix's own; at the stop Ardour may
    # add note-offs of its own, so those cycles are left out.
    rolled = [(pos + offset, status, d1, d2) for pos, offset, rolling, status, d1, d2
              in captured if rolling]
    if len(rolled) < 10:
        fail("Ardour passed on only %d events while rolling" % len(rolled))
    loops = sum(1 for x, y in zip(rolled, rolled[1:]) if y[0] < x[0])
    if loops < WRAPS:
        fail("Ardour's events jump back %d times, not %d" % (loops, WRAPS))
    for i, (got, want) in enumerate(zip(rolled, rendered)):
        if got != want:
            fail("event %d: Ardour passed on %s, orlantix-render sent %s (sample, status, "
                 "data)" % (i, got, want))
    if len(rendered) < len(rolled):
        fail("orlantix-render sent fewer events than Ardour passed on")
    print("the %d events Ardour passed on while rolling (the loop played %d times) equal "
          "orlantix-render's" % (len(rolled), loops + 1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
