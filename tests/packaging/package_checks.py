#!/usr/bin/python3
"""A release package as a user gets it: its contents, its libraries, and a render from it.

Unpacks the package into a fresh folder outside the build tree (a folder name with a space, as
hosts' plug-in folders often have), checks it holds one folder with the libraries, the factory
presets, Orlantix.ini and README.txt, that the libraries carry no debug sections, then renders
a factory preset of the package with one of its libraries and checks
  - that the library read the Orlantix.ini beside itself and scanned the preset folder it
    names (seen in a trace of the run: strace on Linux, wine's file trace on Windows), and
  - that the listing, MIDI file and saved state equal the Linux build's, byte for byte.
A Windows library runs under wine64 in the prefix of the render checks; the 32-bit one only
where the probe found that 32-bit Windows code runs. Exit status 0 passes, 1 fails, 77 skips.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render"))
import wine_runs  # noqa: E402
from render_checks import BARS, COMMON, render_outputs  # noqa: E402
from wine_runs import fail, skip  # noqa: E402

PRESET = "Modifier Play.preset"
WINDOWS_LIBRARIES = {"Orlantix32.dll": "pei-i386", "Orlantix64.dll": "pei-x86-64"}
LINUX_LIBRARIES = {"Orlantix.so": "elf64-x86-64", "Orlantix.lv2/Orlantix.so": "elf64-x86-64"}
# The LV2 bundle in the Linux package: its library, description, presets and configuration.
LV2_BUNDLE = "Orlantix.lv2"
LV2_FILES = ["manifest.ttl", "Orlantix.ttl", "presets.ttl", "Orlantix.ini"]
LV2_URI = "urn:dravenholm:orlantix"


def members(package):
    """The file names the package holds."""
    if package.endswith(".zip"):
        with zipfile.ZipFile(package) as z:
            return [i.filename for i in z.infolist() if not i.is_dir()]
    with tarfile.open(package) as t:
        return [m.name for m in t.getmembers() if not m.isdir()]


def check_contents(package, names, presets_dir):
    base = os.path.basename(package)
    top = base[:-len(".zip")] if base.endswith(".zip") else base[:-len(".tar.gz")]
    libraries = WINDOWS_LIBRARIES if base.endswith(".zip") else LINUX_LIBRARIES
    expected = {top + "/" + n for n in list(libraries) + ["Orlantix.ini", "README.txt"]}
    expected |= {top + "/presets/" + n for n in os.listdir(presets_dir)}
    if libraries is LINUX_LIBRARIES:
        expected |= {top + "/" + LV2_BUNDLE + "/" + n for n in LV2_FILES}
        expected |= {top + "/" + LV2_BUNDLE + "/presets/" + n for n in os.listdir(presets_dir)}
    got = set(names)
    if got != expected:
        fail("%s: missing %s, unexpected %s" % (base, sorted(expected - got),
                                               sorted(got - expected)))
    return top, libraries


def unpack(package, into):
    if package.endswith(".zip"):
        with zipfile.ZipFile(package) as z:
            z.extractall(into)
    else:
        with tarfile.open(package) as t:
            t.extractall(into)


def check_lv2_bundle(folder, presets_dir):
    """lilv finds the unpacked bundle where an LV2 path names its folder, with every preset."""
    env = dict(os.environ, LV2_PATH=folder)
    r = subprocess.run(["lv2info", LV2_URI], capture_output=True, text=True, env=env)
    presets = [os.path.splitext(n)[0] for n in os.listdir(presets_dir)]
    lines = [line.strip() for line in r.stdout.splitlines()]
    missing = [p for p in presets if p not in lines]
    if r.returncode != 0 or "Binary:" not in r.stdout or missing:
        fail("lv2info does not find the packaged bundle with its presets (missing %s):\n%s%s"
             % (missing, r.stdout[-1500:], r.stderr[-1500:]))


def check_library_file(path, file_format):
    """The library is of its platform and carries no debug sections."""
    head = subprocess.run(["objdump", "-f", path], capture_output=True, text=True).stdout
    if "file format " + file_format not in head:
        fail("%s is not %s: %s" % (path, file_format, head.strip()))
    sections = subprocess.run(["objdump", "-h", path], capture_output=True, text=True).stdout
    names = re.findall(r"^\s*\d+\s+(\S+)", sections, re.M)
    debug = [n for n in names if n.startswith((".debug", ".zdebug"))]
    if not names or debug:
        fail("%s carries debug sections %s" % (os.path.basename(path), debug))


def check_readme(path, version, libraries, windows):
    with open(path, "rb") as f:
        text = f.read()
    if windows and text.count(b"\r\n") != text.count(b"\n"):
        fail("README.txt of the Windows package has lines without CR LF")
    text = text.decode()
    for needle in [version] + list(libraries):
        if needle not in text:
            fail("README.txt does not name %s" % needle)


def read_configuration_beside(trace, folder, windows, cwd):
    """Whether the trace shows the library open folder/Orlantix.ini and scan folder/presets,
    which it does only when that Orlantix.ini was read (without it no folder is scanned)."""
    if windows:
        # wine's file trace: CreateFileW L"Z:\\...\\Orlantix.ini" and FindFirstFileExW of the
        # folder's entries.
        text = trace.replace("\\\\", "\\").lower()
        win = ("z:" + folder.replace("/", "\\")).lower()
        return ('createfilew l"%s\\orlantix.ini"' % win in text and
                'findfirstfileexw l"%s\\presets\\*"' % win in text)
    opened = [os.path.normpath(os.path.join(cwd, p)) for p in
              re.findall(r'open(?:at)?\((?:AT_FDCWD, )?"([^"]+)", [^)]*\) = \d+', trace)]
    return (os.path.join(folder, "Orlantix.ini") in opened and
            os.path.join(folder, "presets") in opened)


def render_from(folder, a, windows):
    """Plays the package's preset with the package's library, run from a folder of their own so
    the package's folder is found through the library only; answers the number of events."""
    args = COMMON + BARS + ["--preset",
                            os.path.relpath(os.path.join(folder, "presets", PRESET), a.out)]
    library = os.path.relpath(os.path.join(folder, a.library), a.out)
    if windows:
        env = wine_runs.wine_env(a.prefix)
        env["WINEDEBUG"] = "trace+file"
        packaged, trace = render_outputs([a.wine, a.wine_tool, "--plugin", library] + args,
                                         a.out, "package-", env)
    else:
        trace_file = os.path.join(a.out, "strace.txt")
        packaged, _ = render_outputs(["strace", "-f", "-e", "trace=open,openat", "-o",
                                      trace_file, a.tool, "--plugin", library] + args,
                                     a.out, "package-")
        trace = open(trace_file, "rb").read()
    if not read_configuration_beside(trace.decode(errors="replace"), folder, windows, a.out):
        fail("%s did not read the Orlantix.ini beside it and scan its presets folder" %
             a.library)
    built, _ = render_outputs([a.tool, "--plugin", a.plugin] + args, a.out, "build-")
    for name, mine, theirs in zip(("listing", "MIDI file", "saved state"), built, packaged):
        if mine != theirs:
            fail("the %s of %s from the package differs from the Linux build's" % (name, PRESET))
    events = built[0].count(b"\n")
    if events < 40:
        fail("%s plays only %d events" % (PRESET, events))
    return events


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--package", required=True)
    parser.add_argument("--library", required=True, help="the library of the package to render")
    parser.add_argument("--tool", required=True, help="the Linux orlantix-render")
    parser.add_argument("--plugin", required=True, help="the Linux build's plug-in library")
    parser.add_argument("--presets", required=True, help="the factory presets of the tree")
    parser.add_argument("--out", required=True)
    parser.add_argument("--wine-tool", help="the Windows orlantix-render for the library")
    parser.add_argument("--prefix")
    parser.add_argument("--wine", default=wine_runs.WINE)
    a = parser.parse_args()
    for name in ("package", "tool", "plugin", "presets", "out", "wine_tool", "prefix"):
        if getattr(a, name):
            setattr(a, name, os.path.abspath(getattr(a, name)))
    windows = a.library.endswith(".dll")
    if a.library == "Orlantix32.dll":
        wine_runs.require_wow64(a.prefix)
    if windows:
        for path in (a.wine, a.wine_tool):
            if not os.path.exists(path):
                skip("%s is missing (build the Windows presets)" % path)
    os.makedirs(a.out, exist_ok=True)

    version = re.search(r"Orlantix-([0-9.]+)-", os.path.basename(a.package)).group(1)
    names = members(a.package)
    top, libraries = check_contents(a.package, names, a.presets)
    home = tempfile.mkdtemp(prefix="orlantix-package-")
    try:
        plugins = os.path.join(home, "Plug-in folder")
        unpack(a.package, plugins)
        folder = os.path.join(plugins, top)
        for name, file_format in libraries.items():
            check_library_file(os.path.join(folder, name), file_format)
        check_readme(os.path.join(folder, "README.txt"), version, libraries, windows)
        if not windows:
            check_lv2_bundle(folder, a.presets)
        events = render_from(folder, a, windows)
    finally:
        shutil.rmtree(home)
    print("%s: %d files unpacked into a fresh folder; %s read the Orlantix.ini beside it, "
          "scanned its presets and played %s from there%s: %d events, the same bytes as the "
          "Linux build" % (os.path.basename(a.package), len(names), a.library, PRESET,
                           " under wine" if windows else "", events))


if __name__ == "__main__":
    main()
