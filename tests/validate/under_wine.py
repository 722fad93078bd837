#!/usr/bin/env python3
"""Runs a Windows program under wine64 in the given prefix: under_wine.py --prefix P EXE ARGS.
Absolute paths among the arguments become Z: paths. Skipped (77) without wine or the program."""
import os
import subprocess
import sys

WINE = "/usr/lib/wine/wine64"


def main():
    if len(sys.argv) < 4 or sys.argv[1] != "--prefix":
        print("usage: under_wine.py --prefix PREFIX EXE [ARGS...]")
        return 2
    prefix, exe, args = sys.argv[2], sys.argv[3], sys.argv[4:]
    for path in (WINE, exe):
        if not os.path.exists(path):
            print("SKIP: %s is missing" % path)
            return 77
    windows = ["Z:" + a.replace("/", "\\") if a.startswith("/") and os.path.exists(a) else a
               for a in args]
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return subprocess.run([WINE, exe] + windows, env=env).returncode


if __name__ == "__main__":
    sys.exit(main())
