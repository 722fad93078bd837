#!/usr/bin/env python3
"""Runs a Windows build of orlantix-validate under wine64 in the renderer tests' prefix:
validate_under_wine.py --prefix P [--wow64] EXE ARGS... (--wow64 for the 32-bit build, skipped
with the probe's reason where 32-bit code cannot run). Absolute paths among the arguments become
Z: paths. A program that fails to load can leave wine64 with status 0, so the run counts only
with the validator's closing line. Skipped (77) without wine or the program."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render"))
import wine_runs  # noqa: E402  (the prefix, its environment and the 32-bit verdict)


def main():
    args = sys.argv[1:]
    if len(args) < 3 or args[0] != "--prefix":
        print("usage: validate_under_wine.py --prefix PREFIX [--wow64] EXE [ARGS...]")
        return 2
    prefix, args = args[1], args[2:]
    if args and args[0] == "--wow64":
        args = args[1:]
        wine_runs.require_wow64(prefix)
    exe, rest = args[0], args[1:]
    for path in (wine_runs.WINE, exe):
        if not os.path.exists(path):
            print("SKIP: %s is missing" % path)
            return 77
    windows = ["Z:" + a.replace("/", "\\") if a.startswith("/") and os.path.exists(a) else a
               for a in rest]
    p = subprocess.run([wine_runs.WINE, exe] + windows, env=wine_runs.wine_env(prefix),
                       capture_output=True, text=True, errors="replace")
    sys.stdout.write(p.stdout)
    sys.stderr.write(p.stderr)
    if "scenarios, " not in p.stdout:
        print("FAIL: %s ran no scenario under wine (status %d)" % (exe, p.returncode))
        return 1
    return p.returncode


if __name__ == "__main__":
    sys.exit(main())
