"""Readers of the editor's two tables, shared by the artwork generator and the C++ table the
editor is built with (layout_table.py): resources/images.txt (every image with its frames and
frame size) and resources/layout.txt (where the controls go). Needs nothing but Python."""

import os
from collections import namedtuple

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

Image = namedtuple("Image", "id name frames width height")
Control = namedtuple("Control", "kind param x y fields")


def data_lines(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if fields and not fields[0].startswith("#"):
                yield fields


def read_images(root=ROOT):
    return [Image(int(f[0]), f[1], *(int(v) for v in f[2:5]))
            for f in data_lines(os.path.join(root, "resources", "images.txt"))]


def read_layout(root=ROOT):
    return [Control(f[0], f[1], int(f[2]), int(f[3]), f[4:])
            for f in data_lines(os.path.join(root, "resources", "layout.txt"))]


def layout_entry(kind, name, root=ROOT):
    """The one entry of this kind and name, its fields as numbers; KeyError when absent."""
    for c in read_layout(root):
        if c.kind == kind and c.param == name:
            return (c.x, c.y) + tuple(int(v) for v in c.fields)
    raise KeyError(f"{kind} {name} is not in resources/layout.txt")
