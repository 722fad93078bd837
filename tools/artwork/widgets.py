"""The small images: knobs, switches, buttons and icons, one function per kind of image."""

import math

import cairo

from common import (ACCENT, ACCENT_DIM, GREEN, LABEL, LABEL_DIM, RED, TEXT, YELLOW, crisp_rect,
                    font_options, rgb, rounded_rect, set_font, show_text)

# Knobs turn through 300 degrees, from 150 degrees left of straight up to 150 degrees right.
SWEEP = math.radians(300.0)
START = -SWEEP / 2.0

STRIKE_TEXTS = ["^ 1", "^ 2", "^ 3", "^ 4", "v 1", "v 2", "v 3", "v 4", "Flip", "Rand", "Mute",
                " -- ", "Orig"]
MELODY_TEXTS = ["L/R", "T/B", "< 1", "< 2", "< 3", "> 1", "> 2", "> 3", "^ 1", "^ 2", "^ 3",
                "^ 4", "v 1", "v 2", "v 3", "v 4", " -- ", "Rand", "Orig"]


def setup(ctx):
    ctx.set_font_options(font_options())
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)


def screen_angle(a):
    """Knob angle (0 up, clockwise) to cairo's angle (0 right, clockwise)."""
    return a - math.pi / 2.0


def knob(ctx, size, value):
    c = size / 2.0
    small = size < 24
    ring_r = c - (1.75 if small else 2.25)
    ring_w = 1.5 if small else 2.5
    body_r = c * (0.52 if small else 0.6)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)

    # Track and value arc.
    ctx.set_line_width(ring_w)
    ctx.set_source_rgba(*rgb("#0c0e11"))
    ctx.arc(c, c, ring_r, screen_angle(START), screen_angle(START + SWEEP))
    ctx.stroke()
    angle = START + SWEEP * value
    if value > 0.0:
        ctx.set_source_rgba(*ACCENT)
        ctx.arc(c, c, ring_r, screen_angle(START), screen_angle(angle))
        ctx.stroke()
    else:
        ctx.set_source_rgba(*ACCENT_DIM)
        ctx.arc(c, c, ring_r, screen_angle(START), screen_angle(START + 0.02))
        ctx.stroke()

    # Body: a soft shadow, a brushed-metal face and a thin bright rim at the top.
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.arc(c, c + 1.0, body_r + 0.8, 0, 2 * math.pi)
    ctx.fill()
    face = cairo.LinearGradient(0, c - body_r, 0, c + body_r)
    face.add_color_stop_rgba(0.0, *rgb("#b9bfc7"))
    face.add_color_stop_rgba(0.5, *rgb("#8a9099"))
    face.add_color_stop_rgba(1.0, *rgb("#5c626b"))
    ctx.set_source(face)
    ctx.arc(c, c, body_r, 0, 2 * math.pi)
    ctx.fill()
    inner = cairo.RadialGradient(c, c - body_r * 0.4, 0, c, c, body_r * 0.85)
    inner.add_color_stop_rgba(0.0, *rgb("#7d838c"))
    inner.add_color_stop_rgba(1.0, *rgb("#50565e"))
    ctx.set_source(inner)
    ctx.arc(c, c, body_r * 0.82, 0, 2 * math.pi)
    ctx.fill()

    # Pointer.
    ctx.set_line_width(1.5 if small else 2.0)
    ctx.set_source_rgba(*rgb("#f4f5f7"))
    dx, dy = math.sin(angle), -math.cos(angle)
    r0 = body_r * (0.1 if small else 0.25)
    r1 = body_r - (0.9 if small else 1.4)
    ctx.move_to(c + dx * r0, c + dy * r0)
    ctx.line_to(c + dx * r1, c + dy * r1)
    ctx.stroke()


def button_face(ctx, w, h, pressed, radius=3.0, lit=None):
    """A rounded key: raised when up, sunk and edged in the accent when pressed or lit."""
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, radius)
    face = cairo.LinearGradient(0, 0, 0, h)
    if pressed:
        face.add_color_stop_rgba(0, *rgb("#1c1f24"))
        face.add_color_stop_rgba(1, *rgb("#2a2f36"))
    else:
        face.add_color_stop_rgba(0, *rgb("#3d434c"))
        face.add_color_stop_rgba(1, *rgb("#2b3037"))
    ctx.set_source(face)
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*(lit or (ACCENT if pressed else rgb("#15181c"))))
    ctx.stroke()
    if not pressed:
        ctx.set_source_rgba(1, 1, 1, 0.08)
        ctx.move_to(radius + 0.5, 1.5)
        ctx.line_to(w - radius - 0.5, 1.5)
        ctx.stroke()


def arrow(ctx, x0, y0, x1, y1, head=3.5):
    """A line with an open head at (x1, y1)."""
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    a = math.atan2(y1 - y0, x1 - x0)
    for side in (-1, 1):
        ctx.move_to(x1, y1)
        ctx.line_to(x1 - head * math.cos(a + side * 0.75), y1 - head * math.sin(a + side * 0.75))
    ctx.stroke()


def edit_button(ctx, w, h, icon, pressed):
    button_face(ctx, w, h, pressed)
    ctx.set_line_width(1.6)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgba(*(ACCENT if pressed else TEXT))
    c = w / 2.0
    if icon == "left":
        arrow(ctx, c + 4.5, c, c - 4.5, c)
    elif icon == "right":
        arrow(ctx, c - 4.5, c, c + 4.5, c)
    elif icon == "up":
        arrow(ctx, c, c + 4.5, c, c - 4.5)
    elif icon == "down":
        arrow(ctx, c, c - 4.5, c, c + 4.5)
    elif icon == "swap-LR":
        arrow(ctx, c - 5, c - 2.5, c + 5, c - 2.5, 3)
        arrow(ctx, c + 5, c + 2.5, c - 5, c + 2.5, 3)
    elif icon == "swap-TB":
        arrow(ctx, c - 2.5, c + 5, c - 2.5, c - 5, 3)
        arrow(ctx, c + 2.5, c - 5, c + 2.5, c + 5, 3)


def letter_button(ctx, w, h, letter, on, colour):
    button_face(ctx, w, h, False, radius=2.5, lit=colour if on else None)
    if on:
        rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, 1.5)
        ctx.set_source_rgba(*colour)
        ctx.fill()
    set_font(ctx, h * 0.62, condensed=1.0)
    ext = ctx.text_extents(letter)
    show_text(ctx, letter, (w - ext.x_advance) / 2.0, round(h / 2.0 + ext.height / 2.0 - 0.5),
              rgb("#1a1d22") if on else LABEL)


def padlock(ctx, w, h, locked):
    colour = YELLOW if locked else LABEL_DIM
    ctx.set_line_width(1.2)
    ctx.set_source_rgba(*colour)
    # Shackle: closed over the body when locked, swung open when not.
    cx = w / 2.0
    if locked:
        ctx.arc(cx, 4.6, 2.4, math.pi, 0)
        ctx.move_to(cx - 2.4, 4.6)
        ctx.line_to(cx - 2.4, 6)
        ctx.move_to(cx + 2.4, 4.6)
        ctx.line_to(cx + 2.4, 6)
    else:
        ctx.arc(cx + 1.4, 3.8, 2.4, math.pi, 0)
        ctx.move_to(cx + 3.8, 3.8)
        ctx.line_to(cx + 3.8, 6)
    ctx.stroke()
    ctx.rectangle(cx - 4, 6, 8, 5)
    ctx.fill()


def mute_step(ctx, w, h, muted):
    rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, 1.5)
    ctx.set_source_rgba(*(RED if muted else rgb("#2b3037")))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*(rgb("#ff8a78") if muted else rgb("#3b414a")))
    ctx.stroke()
    # A small cross, bright when muted.
    ctx.set_line_width(1.3)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgba(*(rgb("#1a1d22") if muted else LABEL_DIM))
    ctx.move_to(4.0, 4.0)
    ctx.line_to(w - 4.0, h - 4.0)
    ctx.move_to(w - 4.0, 4.0)
    ctx.line_to(4.0, h - 4.0)
    ctx.stroke()


def pin(ctx, w, h, permanent):
    """A push pin seen from the side: Perm stands pushed in and lit, Temp leans, outlined."""
    ctx.save()
    ctx.translate(w / 2.0, h / 2.0)
    if not permanent:
        ctx.rotate(math.radians(40))
    colour = ACCENT if permanent else LABEL_DIM
    ctx.set_source_rgba(*colour)
    ctx.set_line_width(1.0)
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    # Cap, body and collar as one outline; the needle below it.
    ctx.move_to(-3.0, -6.0)
    ctx.line_to(3.0, -6.0)
    ctx.line_to(3.0, -4.5)
    ctx.line_to(1.6, -4.5)
    ctx.line_to(1.6, -0.5)
    ctx.line_to(4.0, 0.8)
    ctx.line_to(-4.0, 0.8)
    ctx.line_to(-1.6, -0.5)
    ctx.line_to(-1.6, -4.5)
    ctx.line_to(-3.0, -4.5)
    ctx.close_path()
    if permanent:
        ctx.fill_preserve()
    ctx.stroke()
    ctx.set_line_width(1.2)
    ctx.move_to(0, 1.0)
    ctx.line_to(0, 6.5)
    ctx.stroke()
    ctx.restore()


def led(ctx, w, h, on):
    c = w / 2.0
    ctx.arc(c, c, c - 1.0, 0, 2 * math.pi)
    ctx.set_source_rgba(*rgb("#0c0e11"))
    ctx.fill()
    if on:
        glow = cairo.RadialGradient(c, c, 0, c, c, c - 1.0)
        glow.add_color_stop_rgba(0.0, *rgb("#ffe3b8"))
        glow.add_color_stop_rgba(0.45, *ACCENT)
        glow.add_color_stop_rgba(1.0, *rgb("#a34a00"))
        ctx.set_source(glow)
    else:
        ctx.set_source_rgba(*rgb("#3a2a1c"))
    ctx.arc(c, c, c - 3.0, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.35 if on else 0.12)
    ctx.arc(c - 1.5, c - 1.8, 1.5, 0, 2 * math.pi)
    ctx.fill()


def play_button(ctx, w, h, running):
    c = w / 2.0
    ctx.arc(c, c, c - 0.5, 0, 2 * math.pi)
    face = cairo.LinearGradient(0, 0, 0, h)
    face.add_color_stop_rgba(0, *rgb("#3d434c"))
    face.add_color_stop_rgba(1, *rgb("#262a31"))
    ctx.set_source(face)
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*(GREEN if running else rgb("#15181c")))
    ctx.stroke()
    ctx.move_to(c - 3.5, c - 5.5)
    ctx.line_to(c + 5.5, c)
    ctx.line_to(c - 3.5, c + 5.5)
    ctx.close_path()
    ctx.set_source_rgba(*(GREEN if running else LABEL_DIM))
    ctx.fill()


def modifier_button(ctx, w, h, text):
    idle = text.strip() == "--"
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, 2.5)
    ctx.set_source_rgba(*(rgb("#1f2328") if idle else rgb("#343a43")))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*(rgb("#2e343c") if idle else rgb("#4a515c")))
    ctx.stroke()
    # The frame shows the modifier's own text, as its menu and read-outs do.
    shown = text.strip()
    colour = LABEL_DIM if idle else (ACCENT if shown in ("Orig", "Rand", "Flip", "Mute") else TEXT)
    set_font(ctx, 9.0, condensed=0.9)
    show_text(ctx, shown, w / 2.0, 11.5, colour, align="centre")


def down_triangle(ctx, w, h):
    ctx.move_to(0.5, 1.5)
    ctx.line_to(w - 0.5, 1.5)
    ctx.line_to(w / 2.0, h - 0.5)
    ctx.close_path()
    ctx.set_source_rgba(*ACCENT)
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*rgb("#6b3400"))
    ctx.stroke()


def placeholder(ctx, w, h):
    ctx.set_source_rgba(*LABEL_DIM)
    crisp_rect(ctx, 0, 0, w, h)
    ctx.set_line_width(1.0)
    ctx.stroke()


EDIT_ICONS = {111: "left", 112: "right", 113: "up", 114: "down", 115: "swap-LR", 116: "swap-TB"}


def draw_frame(ctx, entry, frame):
    w, h = entry.width, entry.height
    on = frame == 1
    if entry.id in (105, 106, 107, 108, 121):
        knob(ctx, w, frame / (entry.frames - 1))
    elif entry.id in EDIT_ICONS:
        edit_button(ctx, w, h, EDIT_ICONS[entry.id], on)
    elif entry.id == 104:
        led(ctx, w, h, on)
    elif entry.id == 109:
        padlock(ctx, w, h, on)
    elif entry.id == 110:
        mute_step(ctx, w, h, on)
    elif entry.id == 117:
        pin(ctx, w, h, on)
    elif entry.id == 118:
        modifier_button(ctx, w, h, STRIKE_TEXTS[frame])
    elif entry.id == 119:
        modifier_button(ctx, w, h, MELODY_TEXTS[frame])
    elif entry.id == 122:
        letter_button(ctx, w, h, "M", on, RED)
    elif entry.id == 123:
        letter_button(ctx, w, h, "S", on, YELLOW)
    elif entry.id == 124:
        down_triangle(ctx, w, h)
    elif entry.id == 125:
        play_button(ctx, w, h, on)
    else:
        placeholder(ctx, w, h)
