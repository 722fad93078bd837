"""Positions that the editor computes rather than lists: the melody grid, the span control, the
groove grid and the two modifier panes (the latter depend on the sizes of their images). Every
number comes from resources/layout.txt and images.txt, as the editor's own do."""

from collections import namedtuple

from tables import layout_entry, read_images

GROOVE_CANVAS = layout_entry("area", "GrooveCanvas")
GROOVE_MARKER = layout_entry("area", "GrooveMarker")
PRESET_NAME = layout_entry("area", "PresetName")
_CELLS = layout_entry("grid", "MelodyCells")
_ROWS = layout_entry("grid", "MelodyRows")


def column_left(k):
    """Left edge of chord step k's melody cells."""
    return _CELLS[0] + _CELLS[2] * k


def row_top(v):
    """Top of the cells of variation v (enable square; the canvas starts 10 below)."""
    return _CELLS[1] + _CELLS[3] * v


def row_label_top(r):
    """Top of the row control and the solo and mute switches of variation row r."""
    return _ROWS[1] + _ROWS[3] * r


def image_sizes():
    return {e.id: e for e in read_images()}


def span_position(k):
    """x of the span control's grid line k (0 ... 12), centred under its thumbs."""
    x, _, right, _, image = layout_entry("span", "ChordSpan")
    thumb = image_sizes()[image].width
    left = x - thumb // 2
    right = right + thumb - thumb // 2
    track_left = left + thumb // 2
    cell = (right - thumb // 4 - track_left) // 12
    return track_left + cell * k


class Pane(namedtuple("Pane",
                      "title unit run_x left right x0 pitch pin_top button_top marker_top")):
    def step_x(self, i):
        return self.x0 + self.pitch * i


def modifier_panes():
    sizes = image_sizes()
    panes = []
    # The panes' right edges and titles belong to the artwork only.
    for name, title, unit, right in (("StrikePane", "STRIKE MODIFIER", "PER PULSE", 283),
                                     ("MelodyPane", "MELODY MODIFIER", "PER CHORD", 699)):
        run_x, pin_top, button_y, image, run_image, pin_image, pitch, _, _ = \
            layout_entry("pane", name)
        button_top = button_y + sizes[pin_image].height
        panes.append(Pane(title, unit, run_x, run_x, right, sizes[run_image].width + run_x + 5,
                          pitch, pin_top, button_top, button_top + sizes[image].height + 1))
    return panes
