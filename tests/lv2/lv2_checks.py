#!/usr/bin/env python3
"""The LV2 bundle, end to end.

validate: sord_validate checks the bundle's description against the schemas Debian's lv2-dev
installs, and lv2info (lilv) lists every port with its name and range, the factory presets
and the X11 UI.

parity --setting NAME: orlantix-render (VST 2 library) and orx-lv2-render (LV2 library, the
same settings handed over as state) play the render tests' settings; their listings, MIDI
files and saved states must be byte-identical.

usage: lv2_checks.py validate --bundle DIR --presets DIR
       lv2_checks.py parity --setting NAME --tool T --lv2-tool T --plugin LIB --bundle DIR
                     --preset FILE --out DIR"""
import argparse
import glob
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "render"))
import render_checks as rc  # noqa: E402

URI = "urn:dravenholm:orlantix"
NAMED_PARAMS = 30


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


# The specifications lv2-dev installs (other bundles in /usr/lib/lv2 are plug-ins).
SPECS = ("atom", "buf-size", "core", "data-access", "dynmanifest", "event", "instance-access",
         "log", "midi", "morph", "options", "parameters", "patch", "port-groups", "port-props",
         "presets", "resize-port", "schemas", "state", "time", "ui", "units", "uri-map", "urid",
         "worker")


def schemas():
    files = sorted(f for spec in SPECS for f in glob.glob("/usr/lib/lv2/%s.lv2/*.ttl" % spec))
    if not any(f.endswith("lv2core.ttl") for f in files):
        fail("no LV2 schemas in /usr/lib/lv2 (package lv2-dev)")
    return files


def check_validate(a):
    ttl = sorted(glob.glob(os.path.join(a.bundle, "*.ttl")))
    r = subprocess.run(["sord_validate"] + schemas() + ttl, capture_output=True, text=True)
    report = (r.stdout + r.stderr).strip()
    if r.returncode != 0 or re.search(r"^(error|warning)", report, re.M) or \
            "Found 0 errors" not in report:
        fail("sord_validate:\n" + report[-3000:])
    print("sord_validate: " + report.splitlines()[-1])

    env = dict(os.environ, LV2_PATH=os.path.dirname(os.path.abspath(a.bundle.rstrip("/"))))
    r = subprocess.run(["lv2info", URI], capture_output=True, text=True, env=env)
    info = r.stdout
    if r.returncode != 0 or "Name:              Orlantix" not in info:
        fail("lv2info does not know %s:\n%s%s" % (URI, info[-2000:], r.stderr[-2000:]))
    ports = re.findall(r"^\tPort (\d+):", info, re.M)
    if len(ports) != 2 + NAMED_PARAMS:
        fail("lv2info lists %d ports, not %d" % (len(ports), 2 + NAMED_PARAMS))
    for needed in ("http://lv2plug.in/ns/ext/atom#AtomPort", "Symbol:      events_in",
                   "Symbol:      midi_out", "Symbol:      TimeUnits", "Symbol:      mode",
                   "ui#X11UI", "Required Features: http://lv2plug.in/ns/ext/urid#map",
                   "http://lv2plug.in/ns/ext/state#interface", "Scale Points:"):
        if needed not in info:
            fail("lv2info does not show %r" % needed)
    presets = sorted(os.path.splitext(os.path.basename(p))[0]
                     for p in glob.glob(os.path.join(a.presets, "*.preset")))
    block = info.split("Presets:", 1)[1].split("Port 0:", 1)[0] if "Presets:" in info else ""
    listed = sorted(l.strip() for l in block.splitlines() if l.strip())
    if listed != presets:
        fail("lv2info lists the presets %s, the factory has %s" % (listed, presets))
    print("lv2info: %d ports, %d presets, the X11 UI" % (len(ports), len(listed)))


def check_parity(a):
    out = os.path.join(a.out, a.setting)
    os.makedirs(out, exist_ok=True)
    state = rc.modifier_state(a.tool, a.plugin, out)
    why = rc.unavailable(a.setting, state, a.preset)
    if why:
        print("SKIP: " + why)
        sys.exit(rc.SKIP)
    args = ["--plugin", a.plugin] + rc.COMMON + rc.BARS + rc.setting_args(a.setting, state,
                                                                           a.preset)
    lv2_path = os.path.dirname(os.path.abspath(a.bundle.rstrip("/")))
    vst, _ = rc.render_outputs([a.tool] + args, out, "vst2-")
    lv2, _ = rc.render_outputs([a.lv2_tool, "--lv2-path", lv2_path] + args, out, "lv2-")
    for name, mine, theirs in zip(("listing", "MIDI file", "saved state"), vst, lv2):
        if mine != theirs:
            fail("%s: the %s differs between the VST 2 and the LV2 library" % (a.setting, name))
    events = vst[0].count(b"\n")
    if events < 40:
        fail("%s: only %d events" % (a.setting, events))
    print("%s: %d events, listing, MIDI file and saved state byte-identical through the VST 2 "
          "and the LV2 binding" % (a.setting, events))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("check", choices=("validate", "parity"))
    p.add_argument("--bundle", required=True)
    p.add_argument("--presets")
    p.add_argument("--setting", choices=sorted(rc.SETTINGS))
    p.add_argument("--tool")
    p.add_argument("--lv2-tool")
    p.add_argument("--plugin")
    p.add_argument("--preset")
    p.add_argument("--out")
    a = p.parse_args()
    {"validate": check_validate, "parity": check_parity}[a.check](a)
    return 0


if __name__ == "__main__":
    sys.exit(main())
