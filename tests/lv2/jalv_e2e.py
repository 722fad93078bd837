#!/usr/bin/env python3
"""The LV2 version in jalv, a host of LV2's own: jalv.gtk3 runs it under a JACK server of its
own (dummy driver) with its UI shown on a virtual X server. With JACK's transport rolling, the
notes Orlantix sends reach another JACK client (jack_midi_dump); the editor opens as the
plug-in's X11 UI inside jalv's window and answers a click on a melody cell (its picture
changes where the cell is).

usage: jalv_e2e.py --lv2-path DIR --out DIR
Skipped (exit 77) with the reason where jalv, JACK's tools or xdotool are missing."""
import argparse
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "editor"))
sys.path.insert(0, os.path.join(HERE, "..", "ardour"))
from editor_wine_checks import start_xvfb  # noqa: E402
import xscreen  # noqa: E402

URI = "urn:dravenholm:orlantix"
TOOLS = ("jalv.gtk3", "jackd", "jack_lsp", "jack_connect", "jack_midi_dump", "jack_transport",
         "xdotool")
CELL = (130, 230)  # a degree of a melody cell, in editor pixels (resources/layout.txt)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, seconds, probe):
    end = time.time() + seconds
    while time.time() < end:
        got = probe()
        if got:
            return got
        time.sleep(0.2)
    fail(what)


def ports(env):
    r = subprocess.run(["jack_lsp"], env=env, capture_output=True, text=True)
    return r.stdout.split("\n") if r.returncode == 0 else []


def xdo(env, *args):
    r = subprocess.run(["xdotool"] + [str(a) for a in args], env=env, capture_output=True,
                       text=True)
    return r.stdout.strip() if r.returncode == 0 else None


def pixels(display, path):
    screen = xscreen.Screen(display)
    try:
        screen.save_png(path)
    finally:
        screen.close()
    return open(path, "rb").read()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--lv2-path", required=True)
    p.add_argument("--out", required=True)
    a = p.parse_args()
    missing = [t for t in TOOLS if not shutil.which(t)]
    if missing:
        print("SKIP: %s missing (packages jalv, jackd2, xdotool: scripts/install-deps.sh)"
              % ", ".join(missing))
        return 77
    shutil.rmtree(a.out, ignore_errors=True)
    home = os.path.join(a.out, "home")
    os.makedirs(home)
    server_name = "orx-lv2-%d" % os.getpid()
    env = dict(os.environ, HOME=home, JACK_DEFAULT_SERVER=server_name,
               JACK_NO_AUDIO_RESERVATION="1", LV2_PATH=os.path.abspath(a.lv2_path),
               XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_RUNTIME_DIR=home, NO_AT_BRIDGE="1")
    procs = []
    xvfb, display = start_xvfb()
    procs.append(xvfb)
    env["DISPLAY"] = display
    log = open(os.path.join(a.out, "jalv.log"), "w")
    try:
        procs.append(subprocess.Popen(["jackd", "--no-realtime", "-n", server_name, "-d",
                                       "dummy", "-r", "44100", "-p", "512"], env=env,
                                      stdout=log, stderr=subprocess.STDOUT))
        wait_for("the JACK server (dummy driver) did not start", 20, lambda: ports(env))
        jalv = subprocess.Popen(["jalv.gtk3", "-n", "orx", "-s", URI], env=env, stdout=log,
                                stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        procs.append(jalv)
        wait_for("jalv shows no port orx:midi_out", 30,
                 lambda: "orx:midi_out" in ports(env) or (jalv.poll() is not None and
                                                          fail("jalv ended (status %s); see %s"
                                                               % (jalv.returncode, log.name))))
        dump_out = open(os.path.join(a.out, "midi-dump.txt"), "w")
        dump = subprocess.Popen(["jack_midi_dump"], env=env, stdout=dump_out,
                                stderr=subprocess.STDOUT)
        procs.append(dump)
        dump_port = wait_for("jack_midi_dump shows no input port", 20, lambda: next(
            (x for x in ports(env) if x.startswith("midi") and x.endswith(":input")), None))
        subprocess.run(["jack_connect", "orx:midi_out", dump_port], env=env, check=True)
        editor = wait_for("no Orlantix editor (an X window named IPlug) in jalv's window", 30,
                          lambda: (xdo(env, "search", "--name", "^IPlug$") or "").split()[:1])
        # The transport stands still: the picture changes only by the click.
        time.sleep(2)
        before = pixels(display, os.path.join(a.out, "before.png"))
        time.sleep(1)
        if pixels(display, os.path.join(a.out, "still.png")) != before:
            fail("the editor's picture changes without input (see before.png, still.png)")
        if xdo(env, "mousemove", "--window", editor[0], CELL[0], CELL[1], "click", 1) is None:
            fail("xdotool could not click the editor")
        time.sleep(1.5)
        after = pixels(display, os.path.join(a.out, "after.png"))
        if before == after:
            fail("the editor did not change after a click on a melody cell (see before.png, "
                 "after.png in %s)" % a.out)
        print("jalv shows the editor in its window; a click on a melody cell changed it")

        subprocess.run(["jack_transport"], input="play\nquit\n", text=True, env=env,
                       capture_output=True, timeout=20)
        time.sleep(3)
        dump_out.flush()
        notes = [l for l in open(dump_out.name) if "note on" in l]
        if len(notes) < 4:
            fail("jack_midi_dump received %d note events from Orlantix in jalv (see %s)"
                 % (len(notes), dump_out.name))
        print("jalv played Orlantix under JACK's dummy driver: %d note-on lines reached "
              "jack_midi_dump" % len(notes))
    finally:
        for proc in reversed(procs):
            proc.terminate()
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
    return 0


if __name__ == "__main__":
    sys.exit(main())
