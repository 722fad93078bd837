#!/usr/bin/env python3
"""Runs orlantix-validate against a third-party VST 2 plug-in, one scenario per process so a
crash ends only its own scenario, and prints what each found. The plug-in is not ours to fix:
the test fails only when the validator cannot run at all; it is skipped (77) without the
plug-in."""
import os
import subprocess
import sys

NOISE = ("lo server running",)  # ZynAddSubFX's OSC server announces itself


def main():
    validate, plugin = sys.argv[1], sys.argv[2]
    if not os.path.exists(plugin):
        print("SKIP: %s is missing (package zynaddsubfx-vst)" % plugin)
        return 77
    listing = subprocess.run([validate, "--list"], capture_output=True, text=True)
    if listing.returncode != 0:
        print(listing.stdout + listing.stderr)
        return 1
    scenarios = [line.split()[0] for line in listing.stdout.splitlines() if line.strip()]
    summary = []
    for name in scenarios:
        try:
            run = subprocess.run([validate, "--report-only", "--verbose", "--only", name, plugin],
                                 capture_output=True, text=True, errors="replace", timeout=180)
            out, err, code = run.stdout, run.stderr, run.returncode
        except subprocess.TimeoutExpired as e:
            out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
            err, code = "", "timeout"
        findings = [l.strip()[2:] for l in out.splitlines() if l.startswith("      - ")]
        if code == 0:
            verdict = "ok" if not findings else "%d finding(s)" % len(findings)
        else:
            verdict = "ended by %s" % ("a time-out" if code == "timeout" else
                                       "signal %d" % -code if code < 0 else "exit %d" % code)
            calls = [l for l in err.splitlines() if l.startswith("opcode ")]
            last = [l for l in err.splitlines()
                    if l.strip() and not l.startswith("opcode ") and not l.startswith("==")
                    and not any(n in l for n in NOISE)]
            if calls:
                findings.append("last call: " + calls[-1])
            findings += ["said: " + l.strip() for l in last[-3:]]
        summary.append((name, verdict, findings))
    print("orlantix-validate against %s:" % plugin)
    for name, verdict, findings in summary:
        print("  %-26s %s" % (name, verdict))
        for f in findings[:6]:
            print("      - " + f)
    return 0


if __name__ == "__main__":
    sys.exit(main())
