"""Windows programs under wine64 for the end-to-end checks: the one prefix both Windows builds
run in, and the probe that decides whether this machine runs 32-bit Windows code.

wine64 runs i686 programs once it finds Wine's own i386 Windows DLLs of its own version: those
of Debian's wine32:i386 (with the 32-bit loader, which also gives 32-bit programs a display), or
ones scripts/wine32-dlls.sh keeps in a cache for wine64's WoW64 mode. WINEDLLPATH must name them
when the prefix is made, or its syswow64 stays empty ("could not load kernel32.dll"), and on
every run after, or the 32-bit loader misses its ntdll. The prefix records the folder it was made with
and is made anew when that changes, so one prefix serves the 64-bit and the 32-bit programs.

A 32-bit program that fails to load can still leave wine64 with exit status 0: callers check
what the program wrote, never the status alone.
"""

import os
import shutil
import subprocess
import sys

SKIP = 77
WINE = "/usr/lib/wine/wine64"
DLLS_RECORD = "orlantix-wine32-dlls.txt"   # in the prefix: the DLL folder it was made with,
                                           # or an empty line and why there was none
VERDICT = "orlantix-wow64.txt"             # in the prefix: "yes", or why 32-bit code cannot run


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIP)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def _read(path):
    try:
        with open(path) as f:
            return f.read().rstrip("\n")
    except OSError:
        return None


def recorded_dlls(prefix):
    """(DLL folder the prefix was made with or "", why there was none), (None, None) when the
    prefix has no record."""
    record = _read(os.path.join(prefix, DLLS_RECORD))
    if record is None:
        return None, None
    lines = record.split("\n")
    return lines[0], "\n".join(lines[1:]).strip()


def wine_env(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               DISPLAY="")
    dlls, _ = recorded_dlls(prefix)
    if dlls:
        env["WINEDLLPATH"] = dlls
    else:
        env.pop("WINEDLLPATH", None)
    return env


def run_wine(wine, prefix, args, debug="-all"):
    """Runs a Windows program; answers the finished process (status, stdout, stderr)."""
    env = wine_env(prefix)
    env["WINEDEBUG"] = debug
    return subprocess.run([wine] + list(args), env=env, capture_output=True)


def wine32_dlls(script):
    """(folder for WINEDLLPATH, None) or (None, why there is none)."""
    p = subprocess.run([script], capture_output=True, text=True)
    if p.returncode != 0:
        return None, p.stderr.strip() or "%s exited with %d" % (script, p.returncode)
    return p.stdout.strip(), None


# Wine has no Arial of its own: Liberation Sans (Debian's fonts-liberation2), metric-compatible
# with it, answers for it, so GDI text has the metrics of the headless editor's FreeType text.
FONT_REPLACEMENTS = {"Arial": "Liberation Sans"}
FONT_KEY = r"HKCU\Software\Wine\Fonts\Replacements"


def has_font_replacements(prefix):
    user = _read(os.path.join(prefix, "user.reg")) or ""
    return all('"%s"="%s"' % pair in user for pair in FONT_REPLACEMENTS.items())


def set_font_replacements(wine, prefix):
    for face, stand_in in FONT_REPLACEMENTS.items():
        p = run_wine(wine, prefix, ["reg", "add", FONT_KEY, "/v", face, "/t", "REG_SZ",
                                    "/d", stand_in, "/f"])
        if p.returncode != 0:
            fail("could not set the font replacement for %s: %s" %
                 (face, p.stderr.decode(errors="replace")))
    subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "--wait"],
                   env=wine_env(prefix), capture_output=True)
    if not has_font_replacements(prefix):
        fail("the font replacements are not in %s/user.reg" % prefix)


def prepare_prefix(wine, prefix, dlls_script):
    """Makes the prefix unless it exists and was made with today's 32-bit DLL folder."""
    if not os.path.exists(wine):
        skip("%s is missing (package wine64)" % wine)
    dlls, why = wine32_dlls(dlls_script)
    ready = os.path.exists(os.path.join(prefix, "system.reg"))
    if ready and recorded_dlls(prefix)[0] == (dlls or ""):
        if not has_font_replacements(prefix):
            set_font_replacements(wine, prefix) # a prefix made before they were set
        print("wine prefix %s is ready" % prefix)
        return
    if os.path.exists(prefix):
        subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "-k"],
                       env=wine_env(prefix), capture_output=True)
        shutil.rmtree(prefix)
    os.makedirs(prefix)
    with open(os.path.join(prefix, DLLS_RECORD), "w") as f:
        f.write("%s\n%s\n" % (dlls or "", why or ""))
    p = run_wine(wine, prefix, ["wineboot", "--init"])
    if p.returncode != 0:
        fail("wineboot exited with %d: %s" % (p.returncode, p.stderr.decode(errors="replace")))
    # wineboot returns before the server has written the registry.
    subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "--wait"],
                   env=wine_env(prefix), capture_output=True)
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        fail("wineboot left no registry in " + prefix)
    set_font_replacements(wine, prefix)
    if dlls:
        print("wine prefix %s made for 64-bit and 32-bit programs (i386 DLLs from %s)" %
              (prefix, dlls))
    else:
        print("wine prefix %s made for 64-bit programs only: %s" % (prefix, why))


def probe(wine, prefix, probe_exe):
    """Runs the 32-bit probe program and records the verdict for the 32-bit runs."""
    verdict = os.path.join(prefix, VERDICT)
    if os.path.exists(verdict):
        os.remove(verdict)
    why = None
    dlls, no_dlls = recorded_dlls(prefix)
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        why = "no wine prefix in %s" % prefix
    elif not dlls:
        why = "the wine prefix was made without 32-bit Wine DLLs: %s" % (
            no_dlls or "no record of them")
    elif not os.path.exists(probe_exe):
        why = "%s is missing (build the win32 preset)" % probe_exe
    else:
        # Wine's loader errors name what is missing when the program cannot start.
        p = run_wine(wine, prefix, [probe_exe], debug="fixme-all")
        said = p.stdout.decode(errors="replace").strip()
        if p.returncode != 0 or not said.startswith("32-bit Windows code runs"):
            errors = [line for line in p.stderr.decode(errors="replace").splitlines()
                      if "err:module:" in line or line.startswith("wine:")]
            why = "the 32-bit probe did not run under wine64 (status %d): %s" % (
                p.returncode, "; ".join(errors[-3:]) or said or "no output")
        else:
            print(said)
    with open(verdict, "w") as f:
        f.write((why or "yes") + "\n")
    if why:
        skip(why)


def require_wow64(prefix):
    """Skips the calling check unless the probe found that 32-bit Windows code runs here."""
    verdict = _read(os.path.join(prefix, VERDICT))
    if verdict is None:
        skip("the 32-bit probe has not run (test render_wine32_probe)")
    if verdict != "yes":
        skip(verdict)
