#!/usr/bin/python3
"""Draws the editor's images (resources/img/) with cairo and DejaVu Sans.

    generate.py [--out DIR]        writes every image of resources/images.txt into DIR
    generate.py --check DIR        compares the images in DIR with fresh drawings, pixel for pixel
    generate.py --text-layer FILE  writes sample read-out texts at their places (for the
                                   contact sheet's layout picture; not a resource)

Sizes, frame counts and file names come from resources/images.txt; the placement of every
label comes from resources/layout.txt and the layout formulas in grid.py.
"""

import argparse
import io
import os
import sys

import cairo

import background
import widgets
from common import ROOT, read_images


def draw_image(entry):
    """A new ARGB surface holding every frame of one image, stacked vertically."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, entry.width, entry.height * entry.frames)
    ctx = cairo.Context(surface)
    widgets.setup(ctx)
    if entry.id == 100:
        background.draw(ctx)
    else:
        for frame in range(entry.frames):
            ctx.save()
            ctx.translate(0, frame * entry.height)
            ctx.rectangle(0, 0, entry.width, entry.height)
            ctx.clip()
            widgets.draw_frame(ctx, entry, frame)
            ctx.restore()
    surface.flush()
    return surface


def same_pixels(a, b):
    if (a.get_width(), a.get_height()) != (b.get_width(), b.get_height()):
        return False
    # Rows may carry padding beyond the width; compare the pixels only.
    width_bytes = a.get_width() * 4
    da, db = a.get_data(), b.get_data()
    sa, sb = a.get_stride(), b.get_stride()
    for y in range(a.get_height()):
        if da[y * sa:y * sa + width_bytes] != db[y * sb:y * sb + width_bytes]:
            return False
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "img"))
    parser.add_argument("--check", metavar="DIR")
    parser.add_argument("--text-layer", metavar="FILE")
    args = parser.parse_args()

    if args.text_layer:
        surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, 720, 650)
        ctx = cairo.Context(surface)
        widgets.setup(ctx)
        background.draw_sample_texts(ctx)
        surface.write_to_png(args.text_layer)
        return 0

    entries = read_images()
    if args.check:
        bad = []
        for entry in entries:
            path = os.path.join(args.check, entry.name)
            if not os.path.exists(path):
                bad.append(entry.name + " (missing)")
                continue
            stored = cairo.ImageSurface.create_from_png(path)
            # The fresh drawing takes the same way through PNG as the stored one did, so that
            # both are compared after the same conversion from and to premultiplied alpha.
            encoded = io.BytesIO()
            draw_image(entry).write_to_png(encoded)
            encoded.seek(0)
            fresh = cairo.ImageSurface.create_from_png(encoded)
            if not same_pixels(stored, fresh):
                bad.append(entry.name)
        if bad:
            print("artwork differs from the generator: " + ", ".join(bad))
            print("regenerate with: make artwork")
            return 1
        print(f"artwork: {len(entries)} images match the generator")
        return 0

    os.makedirs(args.out, exist_ok=True)
    for entry in entries:
        draw_image(entry).write_to_png(os.path.join(args.out, entry.name))
    print(f"artwork: wrote {len(entries)} images to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
