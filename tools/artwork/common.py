"""What the artwork scripts share: the repository's image table and layout (tables.py), colours
and text."""

import math

import cairo

from tables import ROOT, Control, Image, read_images, read_layout  # noqa: F401


def rgb(hex_colour, alpha=1.0):
    v = int(hex_colour.lstrip("#"), 16)
    return ((v >> 16) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0, alpha)


# One palette for everything: dark graphite surfaces, light grey text, one warm accent that
# matches the orange the melody grid and the groove bars are drawn in.
WINDOW = rgb("#1a1d22")
HEADER = rgb("#20242a")
PANEL = rgb("#23272e")
PANEL_EDGE = rgb("#2f353e")
WELL = rgb("#111316")
WELL_EDGE = rgb("#2a2f37")
RULE = rgb("#2c3139")
LABEL = rgb("#8f99a6")
LABEL_DIM = rgb("#5b6470")
TEXT = rgb("#d9dde3")
ACCENT = rgb("#ff8a1c")
ACCENT_DIM = rgb("#7a4a1e")
RED = rgb("#e5533d")
YELLOW = rgb("#f2c230")
GREEN = rgb("#5ad17a")

FONT = "DejaVu Sans"


def font_options():
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    return options


def set_font(ctx, size, bold=True, condensed=0.92):
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_matrix(cairo.Matrix(size * condensed, 0, 0, size, 0, 0))


def text_width(ctx, text, spacing=0.0):
    return ctx.text_extents(text).x_advance + spacing * max(len(text) - 1, 0)


def show_text(ctx, text, x, baseline, colour, align="left", spacing=0.0):
    """Text on a whole-pixel baseline; align is left, centre or right of x."""
    width = text_width(ctx, text, spacing)
    if align == "centre":
        x -= width / 2.0
    elif align == "right":
        x -= width
    ctx.set_source_rgba(*colour)
    x = round(x)
    for ch in text if spacing else [text]:
        ctx.move_to(x, baseline)
        ctx.show_text(ch)
        x += ctx.text_extents(ch).x_advance + spacing
    return width


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def crisp_rect(ctx, x, y, w, h):
    """A 1-px outline exactly on the pixels x ... x + w - 1, y ... y + h - 1."""
    ctx.rectangle(x + 0.5, y + 0.5, w - 1, h - 1)


def fill_rect(ctx, x, y, w, h, colour):
    ctx.set_source_rgba(*colour)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
