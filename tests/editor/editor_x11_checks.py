"""The Linux editor test host (tools/edithost, orx-edithost-x11) on a virtual X server.

One run: starts Xvfb on a free display (never a display that happens to be running), runs the
host with the plug-in libraries and an input script against it, then compares the screenshots
it took with the headless editor in the same state (orx-editor-compare: outside the text areas,
or with --with-text everywhere but the editor's child windows, as both layers draw text with
the same renderer and font). A shot taken after the script loaded a preset names that preset
file (--preset SHOT=FILE, FILE in the output folder), so the headless editor shows its name
too. The screenshots, headless pictures and difference pictures stay in the output folder.

    editor_x11_checks.py --host orx-edithost-x11 --plugin NAME=LIBRARY [--plugin ...]
        --script FILE --out FOLDER [--compare PROGRAM --shot NAME ... [--with-text]
        [--preset SHOT=FILE ...]] [--copy-library]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from editor_wine_checks import start_xvfb  # noqa: E402

SUMMARY = re.compile(r"^(\d+) passed, (\d+) failed$")
SCREEN = "1600x900x24"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--host", required=True)
    ap.add_argument("--plugin", action="append", required=True)
    ap.add_argument("--script", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--compare")
    ap.add_argument("--shot", action="append", default=[])
    ap.add_argument("--with-text", action="store_true")
    ap.add_argument("--preset", action="append", default=[])
    ap.add_argument("--copy-library", action="store_true",
                    help="run the libraries from a copy in OUT/library, with the Orlantix.ini "
                         "and presets beside them, so what the editor saves stays there")
    args = ap.parse_args()
    shot_presets = dict(p.split("=", 1) for p in args.preset)

    for path in [args.host] + [p.split("=", 1)[1] for p in args.plugin]:
        if not os.path.exists(path):
            fail("%s is missing" % path)
    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)

    plugins = []
    for p in args.plugin:
        name, path = p.split("=", 1)
        if args.copy_library:
            folder = os.path.join(args.out, "library")
            os.makedirs(folder, exist_ok=True)
            beside = os.path.dirname(os.path.abspath(path))
            if os.path.isfile(os.path.join(beside, "Orlantix.ini")):
                shutil.copy(os.path.join(beside, "Orlantix.ini"), folder)
            presets = os.path.join(beside, "presets")
            if os.path.isdir(presets):
                # The preset files only: in a build tree the folder holds the build's own too.
                os.makedirs(os.path.join(folder, "presets"), exist_ok=True)
                for f in os.listdir(presets):
                    if f.endswith(".preset"):
                        shutil.copy(os.path.join(presets, f), os.path.join(folder, "presets"))
            shutil.copy(path, folder)
            path = os.path.join(folder, os.path.basename(path))
        plugins.append((name, os.path.abspath(path)))

    server, display = start_xvfb(SCREEN)
    try:
        env = dict(os.environ, DISPLAY=display)
        command = [os.path.abspath(args.host)]
        for name, path in plugins:
            command += ["--plugin", "%s=%s" % (name, path)]
        command += ["--script", os.path.abspath(args.script), "--out", os.path.abspath(args.out)]
        try:
            run = subprocess.run(command, env=env, cwd=args.out, capture_output=True,
                                 timeout=240)
        except subprocess.TimeoutExpired as e:
            print((e.stdout or b"").decode(errors="replace"))
            fail("the editor host did not finish within 240 seconds")
    finally:
        server.terminate()
        server.wait()

    said = run.stdout.decode(errors="replace")
    print(said.rstrip())
    errors = run.stderr.decode(errors="replace").strip()
    lines = said.strip().splitlines()
    summary = SUMMARY.match(lines[-1]) if lines else None
    if not summary:
        fail("the editor host did not finish its script (status %d): %s" %
             (run.returncode, " / ".join(errors.splitlines()[-8:]) or "no output"))
    failed = int(summary.group(2))
    if run.returncode != 0 and failed == 0:
        # The checks passed but the program did not end well (a sanitizer's report at exit).
        print(errors)
        fail("the editor host exited with status %d" % run.returncode)

    for shot in args.shot:
        folder = os.path.join(args.out, "compare-" + shot)
        os.makedirs(folder, exist_ok=True)
        command = [args.compare, "--state", os.path.join(args.out, shot + ".state"),
                   "--screenshot", os.path.join(args.out, shot + ".png"), "--out", folder]
        if args.with_text:
            command.append("--with-text")
        if shot in shot_presets:
            command += ["--preset", os.path.join(args.out, shot_presets[shot])]
        p = subprocess.run(command, capture_output=True, text=True)
        ok = p.returncode == 0
        print("%s: screenshot %s against the headless editor: %s" %
              ("ok" if ok else "FAIL", shot, (p.stdout + p.stderr).strip()))
        failed += 0 if ok else 1
    if failed:
        fail("%d checks failed; the pictures are in %s" % (failed, args.out))
    print("all checks passed; the pictures are in %s" % args.out)


if __name__ == "__main__":
    main()
