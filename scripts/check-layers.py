#!/usr/bin/env python3
"""Fails when a source file includes a header from a layer it may not depend on.

Each folder below lists the folders whose headers its files may include. The engine sees only
itself and framework/base; the framework never sees the product. A header is found by name in
the layer folders; one that lives in none of them (a system or third-party header) is not ours
to judge. A source folder missing from the table fails too, so a new folder must take a place.
"""
import os
import re
import sys

BASE = ["framework/base"]
FRAMEWORK = BASE + ["framework/plug", "framework/bitmap", "framework/graphics"]
ALLOWED = {
    "framework/base": BASE,
    "framework/bitmap": BASE + ["framework/bitmap"],
    "framework/plug": BASE + ["framework/plug", "framework/graphics"],
    "framework/graphics": FRAMEWORK,
    "src/engine": BASE + ["src/engine"],
    "src/presets": BASE + ["framework/plug", "src/engine", "src/presets"],
    "src/plugin": FRAMEWORK + ["src/engine", "src/presets", "src/plugin"],
    "src/editor": FRAMEWORK + ["src/engine", "src/presets", "src/plugin", "src/editor"],
}
SOURCE_EXT = (".h", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def layer_of(path):
    for layer in ALLOWED:
        if path == layer or path.startswith(layer + "/"):
            return layer
    return None


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
    print(f"check-layers: {len(sources)} files, {faults} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
