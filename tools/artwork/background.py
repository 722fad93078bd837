"""The 720 x 650 background: section panels, wells under the controls and a label beside each
control, all placed from the editor's layout (layout.txt and the formulas in grid.py)."""

import math

import cairo

import grid
from common import (ACCENT, HEADER, LABEL, LABEL_DIM, PANEL, PANEL_EDGE, RULE, TEXT, WELL,
                    WELL_EDGE, WINDOW, crisp_rect, fill_rect, read_layout, rgb, rounded_rect,
                    set_font, show_text, text_width)
from tables import layout_entry
from widgets import pin

LABEL_SIZE = 8.5
LABEL_SPACING = 0.6
KNOB_LABEL_GAP = 3  # pixels at least between a knob and the label right of it

# What the read-outs and spinners show at the defaults, for the layout picture only.
SAMPLE_TEXTS = {
    "TimeUnits": "1/8", "LengthUnits": "1/8", "LenJitt": "0.00", "Vel": "100",
    "VelJitt": "0.00", "Swing": "0.00", "Human": "0.00", "NumPulse": "4", "SeqSteps": "48",
    "LifeProb": "0.00", "StkBegin": "1", "StkLen": "8", "MelBegin": "1", "MelLen": "8",
    "Tonic": "C5", "Chan": "1", "mode": "Ionian", "Scale": "Major", "Interval": "Fifths",
    "StepDir": "Fwd", "SMDir": "Fwd", "StkCount": "1", "StkProb": "1.00", "MelDir": "Fwd",
    "MelCount": "1", "MelProb": "1.00",
}
ROOT_DEGREES = [0, 2, 4, 0, 2, 5, 0, 3, 5, 1, 3, 5]


def label_font(ctx, size=LABEL_SIZE):
    set_font(ctx, size, bold=True, condensed=0.9)


def label(ctx, text, x, baseline, align="centre", colour=LABEL):
    label_font(ctx)
    return show_text(ctx, text.replace("_", " "), x, baseline, colour, align, LABEL_SPACING)


def panel(ctx, x, y, w, h, fill=PANEL, edge=PANEL_EDGE, radius=5.0):
    rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, radius)
    ctx.set_source_rgba(*fill)
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*edge)
    ctx.stroke()


def well(ctx, x, y, w, h, radius=2.0):
    rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, radius)
    ctx.set_source_rgba(*WELL)
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*WELL_EDGE)
    ctx.stroke()


def section_title(ctx, text, x, baseline, x_end):
    """An accent title followed by a rule to x_end."""
    width = label(ctx, text, x, baseline, "left", ACCENT)
    if x_end > x + width + 8:
        fill_rect(ctx, round(x + width + 6), baseline - 3, round(x_end - x - width - 6), 1, RULE)


def group_title(ctx, text, x0, x1, baseline):
    """A title centred over x0 ... x1 with a rule on each side."""
    centre = (x0 + x1) / 2.0
    label_font(ctx)
    width = ctx.text_extents(text).x_advance + LABEL_SPACING * (len(text) - 1)
    label(ctx, text, centre, baseline)
    left_end = round(centre - width / 2.0 - 5)
    right_start = round(centre + width / 2.0 + 5)
    if left_end > x0:
        fill_rect(ctx, x0, baseline - 3, left_end - x0, 1, RULE)
    if x1 > right_start:
        fill_rect(ctx, right_start, baseline - 3, x1 - right_start, 1, RULE)


def spinner_box(control):
    """The spinner's text rectangle (x, y, width, height), where its well goes."""
    pad = int(control.fields[0])
    return control.x + 2 - pad, control.y, 46 + 2 * pad, 16


def read_out_box(control):
    """The knob's read-out rectangle (left, top, right, bottom)."""
    rx, ry, rw, rh = (int(v) for v in control.fields[1:5])
    return control.x + rx, control.y + ry, control.x + rx + rw, control.y + ry + rh


def draw_sections(ctx):
    fill_rect(ctx, 0, 0, 720, 650, WINDOW)
    # Header: key and channel, timing, note shape.
    fill_rect(ctx, 0, 0, 720, 83, HEADER)
    fill_rect(ctx, 0, 83, 720, 1, RULE)
    for x in (229, 524):
        fill_rect(ctx, x, 8, 1, 68, RULE)
    # Modifier panes and the space between them, then the editing and groove area.
    panel(ctx, 8, 375, 284, 107)
    panel(ctx, 298, 375, 128, 107)
    panel(ctx, 430, 375, 282, 107)
    panel(ctx, 4, 490, 712, 157)


def draw_branding(ctx):
    set_font(ctx, 23.0, bold=True, condensed=1.0)
    width = show_text(ctx, "Orlantix", 243, 71, TEXT)
    fill_rect(ctx, 243, 75, round(width), 2, ACCENT)
    set_font(ctx, 10.0, bold=False, condensed=1.0)
    show_text(ctx, "Dravenholm", 243 + width + 10, 71, LABEL)


def label_box(ctx, text, x, baseline, align="centre"):
    """Where label() puts text: (left, top, right, bottom), the font's ascent and descent."""
    label_font(ctx)
    width = text_width(ctx, text.replace("_", " "), LABEL_SPACING)
    left = round(x - width / 2.0 if align == "centre" else (x - width if align == "right" else x))
    ascent, descent = ctx.font_extents()[:2]
    return left, baseline - ascent, left + width, baseline + descent


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def draw_controls(ctx, controls):
    labels = []  # (text, box) of every label beside a control
    boxes = []  # (name, box) of what the controls show: knobs, read-outs, spinner wells
    for c in controls:
        if c.kind == "knob":
            frames, side, text = int(c.fields[0]), c.fields[5], c.fields[6]
            size = 16 if frames == 8 else 32
            left, top, right, bottom = read_out_box(c)
            boxes += [(c.param, (c.x, c.y, c.x + size, c.y + size)),
                      (c.param + " read-out", (left, top, right, bottom))]
            if side == "right":
                # Centred over the read-out, but clear of the knob.
                box = label_box(ctx, text, (left + right) / 2.0, c.y + 12)
                x = max(box[0], c.x + size + KNOB_LABEL_GAP)
                labels.append((text, label_box(ctx, text, x, c.y + 12, "left")))
                label(ctx, text, x, c.y + 12, "left")
            else:
                x = (min(c.x, left) + max(c.x + size, right)) / 2.0
                labels.append((text, label_box(ctx, text, x, c.y - 4)))
                label(ctx, text, x, c.y - 4)
        elif c.kind == "spinner":
            side, text = c.fields[1:3]
            x, y, w, h = spinner_box(c)
            well(ctx, x, y, w, h)
            boxes.append((c.param, (x, y, x + w, y + h)))
            if side == "left":
                labels.append((text, label_box(ctx, text, x - 5, y + 11, "right")))
                label(ctx, text, x - 5, y + 11, "right")
            elif side == "above":
                labels.append((text, label_box(ctx, text, x + w / 2.0, y - 4)))
                label(ctx, text, x + w / 2.0, y - 4)
        elif c.kind == "switch":
            label(ctx, c.fields[1], c.x + 8, c.y + 27)
    sizes = grid.image_sizes()
    for pane, name in zip(grid.modifier_panes(), ("StrikePane", "MelodyPane")):
        pin_size = sizes[layout_entry("pane", name)[5]]
        for i in range(8):
            x = pane.step_x(i)
            boxes.append((f"{pane.title} pin {i + 1}",
                          (x, pane.pin_top, x + pin_size.width, pane.pin_top + pin_size.height)))
    # A label on a control, or a read-out on another control, would read as belonging to it.
    for text, box in labels:
        for name, other in boxes:
            if overlap(box, other):
                raise SystemExit(f"artwork: the label {text} overlaps {name}")
    for i, (name, box) in enumerate(boxes):
        for other_name, other in boxes[i + 1:]:
            if overlap(box, other):
                raise SystemExit(f"artwork: {name} overlaps {other_name}")


def draw_melody_grid(ctx):
    label_font(ctx)
    for k in range(12):
        a = grid.column_left(k)
        show_text(ctx, str(k + 1), a + 20, 91, LABEL, "centre")
    # The span control's positions: one tick per chord-step boundary under its thumbs.
    for k in range(13):
        fill_rect(ctx, grid.span_position(k), 122, 1, 4, LABEL_DIM)
    for k in range(12):
        for v in range(4):
            a, b = grid.column_left(k), grid.row_top(v)
            # Canvas well (its outline is drawn over by the canvas), play-marker track and the
            # sign before the repeat counter.
            fill_rect(ctx, a, b + 10, 41, 41, WELL)
            fill_rect(ctx, a, b + 53, 40, 2, rgb("#262b32"))
            set_font(ctx, 8.0, bold=True, condensed=1.0)
            show_text(ctx, "\u00d7", a + 18, b + 8, LABEL_DIM, "centre")
    for r in range(4):
        t = grid.row_label_top(r)
        label(ctx, f"VAR {r + 1}", 716, t + 11, "right", LABEL_DIM)


def draw_modifier_panes(ctx):
    for pane in grid.modifier_panes():
        for i in range(8):
            x = pane.step_x(i)
            label(ctx, str(i + 1), x + 12, pane.marker_top + 16, "centre", LABEL_DIM)
        section_title(ctx, pane.title, pane.left, 477, pane.right - 48)
        label(ctx, pane.unit, pane.right, 477, "right", LABEL_DIM)
    # Between the panes: what the pins mean, and the knob that flips them.
    label(ctx, "PINS", 362, 392, "centre", LABEL)
    for x, permanent, text in ((310, False, "TEMP"), (362, True, "PERM")):
        ctx.save()
        ctx.translate(x, 399)
        pin(ctx, 14, 14, permanent)
        ctx.restore()
        label(ctx, text, x + 16, 410, "left", LABEL_DIM)


def draw_edit_row(ctx):
    baseline = 507
    group_title(ctx, "GROOVE", 16, 114, baseline)
    group_title(ctx, "CELLS", 146, 286, baseline)
    group_title(ctx, "ROWS", 306, 446, baseline)
    group_title(ctx, "ROW PULSES", 466, 534, baseline)
    label(ctx, "PRESET", 555, baseline, "left")
    left, top, right, bottom = grid.PRESET_NAME
    well(ctx, left, top, right - left, bottom - top, 2.0)


def draw_groove(ctx):
    left, top, right, bottom = grid.GROOVE_CANVAS
    fill_rect(ctx, left - 1, top - 1, right - left + 2, bottom - top + 2, WELL_EDGE)
    fill_rect(ctx, left, top, right - left, bottom - top, WELL)
    # Velocity guides at a quarter, a half and three quarters; a line before every fourth step.
    for quarter in (1, 2, 3):
        y = bottom - quarter * (bottom - top) // 4
        for x in range(left, right, 2):
            fill_rect(ctx, x, y, 1, 1, rgb("#1f242a"))
    for i in range(4, 48, 4):
        fill_rect(ctx, left + 14 * i - 1, top, 1, bottom - top, rgb("#1f242a"))
    label_font(ctx)
    for i in range(0, 48, 4):
        show_text(ctx, str(i + 1), left + 14 * i + 6, top - 3, LABEL_DIM, "centre")
    m_left, m_top, m_right, m_bottom = grid.GROOVE_MARKER
    fill_rect(ctx, m_left, m_top, m_right - m_left, m_bottom - m_top, rgb("#262b32"))
    set_font(ctx, 7.0, bold=True, condensed=0.9)
    for name, text in (("GrooveLocks", "LOCK"), ("GrooveMutes", "MUTE")):
        show_text(ctx, text, 713, layout_entry("row", name)[1] + 10, LABEL_DIM, "right")


def draw(ctx):
    controls = read_layout()
    draw_sections(ctx)
    draw_branding(ctx)
    draw_controls(ctx, controls)
    draw_melody_grid(ctx)
    draw_modifier_panes(ctx)
    draw_edit_row(ctx)
    draw_groove(ctx)


def draw_sample_texts(ctx):
    """White texts where the editor draws read-outs, spinner values, repeat counters and the
    preset name, in a font near the editor's 14-pixel Arial."""
    set_font(ctx, 12.0, bold=False, condensed=0.94)
    white = (1.0, 1.0, 1.0, 1.0)

    def centred(text, left, top, right, bottom):
        ext = ctx.text_extents(text)
        baseline = round((top + bottom) / 2.0 + 4.5)
        show_text(ctx, text, (left + right) / 2.0 - ext.x_advance / 2.0, baseline, white)

    degrees = iter(ROOT_DEGREES)
    for c in read_layout():
        if c.kind == "knob":
            left, top, right, _ = read_out_box(c)
            centred(SAMPLE_TEXTS[c.param], left, top, right, top + 12)
        elif c.kind == "spinner":
            text = SAMPLE_TEXTS.get(c.param) or str(next(degrees) + 1)
            x, y, w, h = spinner_box(c)
            centred(text, x, y, x + w, y + h)
    for k in range(12):
        for v in range(4):
            a, b = grid.column_left(k), grid.row_top(v)
            centred("1", a + 24, b - 3, a + 40, b + 9)
    set_font(ctx, 13.5, bold=False, condensed=0.94)
    centred("Default", *grid.PRESET_NAME)
