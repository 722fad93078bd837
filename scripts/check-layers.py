#!/usr/bin/env python3
"""Fails when a source file includes a header from a layer it may not depend on, or when the
build scans libraries as a group (a link cycle between them).

Each folder below lists the folders whose headers its files may include; a folder holds its
subfolders unless they have a place of their own. The engine sees only itself and
framework/base; the framework never sees the product; the plug-in layer and the graphics layer
never see each other (they meet through the contracts of framework/base, and the product wires
them together); a window backend sees the graphics layer, never another backend, and the
graphics layer sees no backend. A header is found by name in the layer folders; one that lives
in none of them (a system or third-party header) is not ours to judge. A source folder missing
from the table fails too, so a new folder must take a place.
"""
import os
import re
import sys

BASE = ["framework/base"]
GRAPHICS = BASE + ["framework/bitmap", "framework/graphics"]
BACKENDS = "framework/graphics/backends/"
ALLOWED = {
    "framework/base": BASE,
    "framework/bitmap": BASE + ["framework/bitmap"],
    "framework/plug": BASE + ["framework/plug"],
    "framework/graphics": GRAPHICS,
    BACKENDS + "headless": GRAPHICS + [BACKENDS + "headless"],
    BACKENDS + "win32": GRAPHICS + [BACKENDS + "win32"],
    BACKENDS + "x11": GRAPHICS + [BACKENDS + "x11"],
    "src/engine": BASE + ["src/engine"],
    "src/presets": BASE + ["src/engine", "src/presets"],
    "src/plugin": BASE + ["framework/plug", "src/engine", "src/presets", "src/plugin"],
    "src/editor": GRAPHICS
    + ["framework/plug", "src/engine", "src/presets", "src/plugin", "src/editor"],
}
BUILD_FILES = ("CMakeLists.txt", ".cmake")
SOURCE_EXT = (".h", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def layer_of(path):
    # The longest folder that holds the path: a subfolder with a place of its own wins.
    for layer in sorted(ALLOWED, key=len, reverse=True):
        if path == layer or path.startswith(layer + "/"):
            return layer
    return None


def link_groups(root):
    """Build files that make the linker scan libraries as a group: a cycle between them."""
    found = []
    for dirpath, dirnames, files in os.walk(root):
        dirnames[:] = [d for d in dirnames if d not in ("build", "third_party", ".git", "out")]
        for name in files:
            if name.endswith(BUILD_FILES):
                path = os.path.join(dirpath, name)
                with open(path, encoding="utf-8") as f:
                    if "LINK_GROUP" in f.read():
                        found.append(os.path.relpath(path, root))
    return found


def main(root):
    owners = {}  # header name -> layers that hold it
    sources = []
    for top in ("framework", "src"):
        for dirpath, _, files in os.walk(os.path.join(root, top)):
            rel = os.path.relpath(dirpath, root)
            for name in files:
                if not name.endswith(SOURCE_EXT):
                    continue
                layer = layer_of(rel)
                if layer is None:
                    print(f"{rel}/{name}: folder has no place in the layer table")
                    return 1
                owners.setdefault(name, set()).add(layer)
                sources.append((layer, os.path.join(rel, name)))

    faults = 0
    for layer, rel in sorted(sources):
        with open(os.path.join(root, rel), encoding="utf-8") as f:
            text = f.read()
        for inc in INCLUDE.findall(text):
            name = os.path.basename(inc)
            held = owners.get(name)
            if held is None:
                continue
            if not held & set(ALLOWED[layer]):
                print(f'{rel}: includes "{inc}" from {", ".join(sorted(held))}, '
                      f"which {layer} may not use")
                faults += 1
    for path in link_groups(root):
        print(f"{path}: links libraries as a group (they depend on each other)")
        faults += 1
    print(f"check-layers: {len(sources)} files, {faults} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
