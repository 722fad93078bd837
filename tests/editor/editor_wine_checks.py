"""The Windows editor test host (tools/edithost) under wine64, drawing into a virtual X server.

One run: starts Xvfb on a free display, runs orx-edithost with the plug-in libraries and an
input script in a wine virtual desktop of its own (so no desktop process that another wine
program started without a display stands in the way), then compares the screenshots it took
with the headless editor in the same state (orx-editor-compare), and those given a reference
picture with it too. The screenshots, the headless pictures and the difference pictures stay in
the output folder for inspection.

    editor_wine_checks.py --prefix PREFIX [--wow64] --host orx-edithost.exe
        --plugin NAME=LIBRARY [--plugin ...] --script FILE --out FOLDER
        [--compare orx-editor-compare --shot NAME ... --reference NAME=PICTURE ...]
"""

import argparse
import os
import re
import select
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render"))
import wine_runs  # noqa: E402

SUMMARY = re.compile(r"^(\d+) passed, (\d+) failed$")


def start_xvfb(screen="1024x768x24"):
    """A virtual X server on a display number it chooses itself: (process, ":N")."""
    xvfb = shutil.which("Xvfb")
    if not xvfb:
        wine_runs.fail("Xvfb is missing (package xvfb, scripts/install-deps.sh)")
    read_end, write_end = os.pipe()
    server = subprocess.Popen([xvfb, "-displayfd", str(write_end), "-screen", "0",
                               screen, "-nolisten", "tcp"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], 20)
        chunk = os.read(read_end, 16) if ready else b""
        if not chunk:
            server.kill()
            wine_runs.fail("Xvfb did not start (status %s)" % server.poll())
        number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--prefix", required=True)
    ap.add_argument("--wow64", action="store_true")
    ap.add_argument("--host", required=True)
    ap.add_argument("--plugin", action="append", required=True)
    ap.add_argument("--script", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--compare")
    ap.add_argument("--shot", action="append", default=[])
    ap.add_argument("--reference", action="append", default=[])
    args = ap.parse_args()
    references = dict(r.split("=", 1) for r in args.reference)

    needed = [args.host] + [p.split("=", 1)[1] for p in args.plugin]
    for path in needed:
        if not os.path.exists(path):
            wine_runs.skip("%s is missing (build the matching Windows preset)" % path)
    if not os.path.exists(os.path.join(args.prefix, "system.reg")):
        wine_runs.skip("no wine prefix in %s (test render_wine_prefix makes it)" % args.prefix)
    if args.wow64:
        wine_runs.require_wow64(args.prefix)
    if not wine_runs.has_font_replacements(args.prefix):
        wine_runs.fail("the wine prefix %s has no Liberation Sans standing in for Arial" %
                       args.prefix)

    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)
    server, display = start_xvfb()
    try:
        env = wine_runs.wine_env(args.prefix)
        env["DISPLAY"] = display
        desktop = "/desktop=OrlantixEditorTest%d,1024x768" % os.getpid()
        command = [wine_runs.WINE, "explorer", desktop, os.path.abspath(args.host)]
        for p in args.plugin:
            name, path = p.split("=", 1)
            command += ["--plugin", "%s=%s" % (name, os.path.abspath(path))]
        command += ["--script", os.path.abspath(args.script), "--out", "."]
        try:
            run = subprocess.run(command, env=env, cwd=args.out, capture_output=True,
                                 timeout=240)
        except subprocess.TimeoutExpired as e:
            print((e.stdout or b"").decode(errors="replace"))
            wine_runs.fail("the editor host did not finish within 240 seconds")
    finally:
        server.terminate()
        server.wait()

    said = run.stdout.decode(errors="replace")
    print(said.rstrip())
    lines = said.strip().splitlines()
    skipped = [line for line in lines if line.startswith("SKIP: ")]
    if skipped and not any(line.startswith("FAIL") for line in lines):
        wine_runs.skip(skipped[0][len("SKIP: "):] + " under this wine; the checks before the "
                       "first window passed")
    summary = SUMMARY.match(lines[-1]) if lines else None
    if not summary:
        errors = run.stderr.decode(errors="replace").strip().splitlines()
        wine_runs.fail("the editor host did not finish its script (status %d): %s" %
                       (run.returncode, " / ".join(errors[-5:]) or "no output"))
    failed = int(summary.group(2))

    for shot in args.shot:
        folder = os.path.join(args.out, "compare-" + shot)
        os.makedirs(folder, exist_ok=True)
        reference = ["--reference", references[shot]] if shot in references else []
        p = subprocess.run([args.compare, "--state", os.path.join(args.out, shot + ".state"),
                            "--screenshot", os.path.join(args.out, shot + ".png"),
                            "--out", folder] + reference, capture_output=True, text=True)
        ok = p.returncode == 0
        print("%s: screenshot %s against the headless editor: %s" %
              ("ok" if ok else "FAIL", shot, (p.stdout + p.stderr).strip()))
        failed += 0 if ok else 1
    if failed:
        wine_runs.fail("%d checks failed; the pictures are in %s" % (failed, args.out))
    print("all checks passed; the pictures are in %s" % args.out)


if __name__ == "__main__":
    main()
