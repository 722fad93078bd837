"""Positions that the editor computes rather than lists: the melody grid, the span control, the
groove grid and the two modifier panes (the latter depend on the sizes of their images)."""

from collections import namedtuple

from common import read_images

GROOVE_CANVAS = (20, 550, 690, 614)


def column_left(k):
    """Left edge of chord step k's melody cells."""
    return 20 + 52 * k


def row_top(v):
    """Top of the cells of variation v (enable square; the canvas starts 10 below)."""
    return 128 + 63 * v


def row_label_top(r):
    """Top of the row control and the solo and mute switches of variation row r."""
    return 138 + 63 * r


def image_sizes():
    return {e.id: e for e in read_images()}


def span_position(k):
    """x of the span control's grid line k (0 ... 12), centred under its thumbs."""
    thumb = image_sizes()[124].width
    left = 20 - thumb // 2
    right = 633 + thumb - thumb // 2
    track_left = left + thumb // 2
    cell = (right - thumb // 4 - track_left) // 12
    return track_left + cell * k


class Pane(namedtuple("Pane", "title unit run_x left right x0 pin_top button_top marker_top")):
    def step_x(self, i):
        return self.x0 + 29 * i


def modifier_panes():
    sizes = image_sizes()
    tape_w = sizes[125].width
    pin_h = sizes[117].height
    panes = []
    for title, unit, run_x, right, button_dy, image in (
            ("STRIKE MODIFIER", "PER PULSE", 20, 283, 412, 118),
            ("MELODY MODIFIER", "PER CHORD", 436, 699, 411, 119)):
        button_top = button_dy + pin_h
        panes.append(Pane(title, unit, run_x, run_x, right, tape_w + run_x + 5, 410, button_top,
                          button_top + sizes[image].height + 1))
    return panes
