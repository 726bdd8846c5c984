#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the SVG sources of Ostrivane's icons into this folder.

The SVG files are committed; run this script again after changing a shape or
a colour here and commit its output. The build renders the SVGs to PNG
(tools/render-icons), so the running program never needs an SVG library.

Menu-bar images are drawn on a 22-unit grid (the usual tray size) so that
strokes land on whole pixels at 22 and 44 px; they stay legible at 16 px.
Only shapes Qt's SVG renderer draws faithfully are used: paths, circles,
rectangles and gradients; no text, masks, clip paths or filters.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# One palette per state: (light, base, dark) for gradients and outlines, and
# the colour of a symbol drawn on it.
GREEN = ("#6fd77c", "#2ea043", "#1b6e2b", "#ffffff")
AMBER = ("#ffd166", "#f2a516", "#a86a00", "#3b2500")
RED = ("#ff7a6e", "#d9362b", "#8e1a13", "#ffffff")
BLUE = ("#7fb6f2", "#2f7ed8", "#1a4f8f", "#ffffff")
# Gray sets tell the states apart by symbol and by shade.
GRAY_OK = ("#bdbdbd", "#959595", "#5e5e5e", "#ffffff")
GRAY_WARNING = ("#b0b0b0", "#7b7b7b", "#444444", "#ffffff")
GRAY_ERROR = ("#8a8a8a", "#4f4f4f", "#262626", "#ffffff")
# Used for the quiet OK of the mixed sets.
GRAY_QUIET = ("#cfcfcf", "#9a9a9a", "#5a5a5a", "#ffffff")

COLOURED = {"ok": GREEN, "warning": AMBER, "error": RED}
GRAYS = {"ok": GRAY_OK, "warning": GRAY_WARNING, "error": GRAY_ERROR}
STATES = ("ok", "warning", "error")


class Svg:
    """One SVG document with its own gradient definitions."""

    def __init__(self, size):
        self.size = size
        self.defs = []
        self.body = []
        self.gradients = 0

    def gradient(self, top, bottom):
        self.gradients += 1
        gid = "g%d" % self.gradients
        self.defs.append(
            '<linearGradient id="%s" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
            "</linearGradient>" % (gid, top, bottom))
        return "url(#%s)" % gid

    def radial(self, centre, edge, cx, cy, r):
        self.gradients += 1
        gid = "g%d" % self.gradients
        self.defs.append(
            '<radialGradient id="%s" gradientUnits="userSpaceOnUse" cx="%s" cy="%s" r="%s">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
            "</radialGradient>" % (gid, cx, cy, r, centre, edge))
        return "url(#%s)" % gid

    def add(self, element):
        self.body.append(element)

    def text(self):
        parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="{0}" height="{0}" '
                 'viewBox="0 0 {0} {0}">'.format(self.size)]
        if self.defs:
            parts.append("<defs>" + "".join(self.defs) + "</defs>")
        parts.extend(self.body)
        parts.append("</svg>")
        return "\n".join(parts) + "\n"


def fmt(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def points(pts):
    return " ".join("%s,%s" % (fmt(x), fmt(y)) for x, y in pts)


# --- symbols, drawn in a box of side s centred on (cx, cy) -----------------

def stroke_path(d, colour, width, opacity=None):
    extra = ' stroke-opacity="%s"' % opacity if opacity else ""
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-linecap="round" stroke-linejoin="round"%s/>' % (d, colour, fmt(width), extra))


def check(svg, cx, cy, s, colour, halo=None):
    d = "M%s,%s L%s,%s L%s,%s" % (
        fmt(cx - 0.40 * s), fmt(cy + 0.02 * s), fmt(cx - 0.12 * s), fmt(cy + 0.30 * s),
        fmt(cx + 0.40 * s), fmt(cy - 0.30 * s))
    if halo:
        svg.add(stroke_path(d, halo, 0.26 * s + 1.6))
    svg.add(stroke_path(d, colour, 0.26 * s))


def cross(svg, cx, cy, s, colour):
    h = 0.30 * s
    d = "M%s,%s L%s,%s M%s,%s L%s,%s" % (
        fmt(cx - h), fmt(cy - h), fmt(cx + h), fmt(cy + h),
        fmt(cx + h), fmt(cy - h), fmt(cx - h), fmt(cy + h))
    svg.add(stroke_path(d, colour, 0.24 * s))


def exclamation(svg, cx, cy, s, colour):
    d = "M%s,%s L%s,%s" % (fmt(cx), fmt(cy - 0.36 * s), fmt(cx), fmt(cy + 0.08 * s))
    svg.add(stroke_path(d, colour, 0.23 * s))
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (
        fmt(cx), fmt(cy + 0.36 * s), fmt(0.13 * s), colour))


def info_mark(svg, cx, cy, s, colour):
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (
        fmt(cx), fmt(cy - 0.34 * s), fmt(0.13 * s), colour))
    d = "M%s,%s L%s,%s" % (fmt(cx), fmt(cy - 0.06 * s), fmt(cx), fmt(cy + 0.38 * s))
    svg.add(stroke_path(d, colour, 0.23 * s))


SYMBOLS = {"ok": check, "warning": exclamation, "error": cross, "info": info_mark}


def symbol(svg, state, cx, cy, s, colour):
    SYMBOLS[state](svg, cx, cy, s, colour)


# --- shapes ----------------------------------------------------------------

def disk(svg, cx, cy, r, pal, glossy=True, outline=0.8, highlight=True):
    light, base, dark, _ = pal
    fill = svg.radial(light, base, fmt(cx - 0.3 * r), fmt(cy - 0.4 * r), fmt(1.5 * r)) if glossy else base
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="%s"/>' % (
        fmt(cx), fmt(cy), fmt(r - outline / 2), fill, dark, fmt(outline)))
    if glossy and highlight:
        svg.add('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#ffffff" fill-opacity="0.35"/>' % (
            fmt(cx), fmt(cy - 0.45 * r), fmt(0.6 * r), fmt(0.32 * r)))


def rounded_square(svg, cx, cy, half, radius, pal, glossy=True, outline=0.8, highlight=True):
    light, base, dark, _ = pal
    fill = svg.gradient(light, dark if glossy else base) if glossy else base
    x = cx - half + outline / 2
    w = 2 * half - outline
    svg.add('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s" stroke="%s" '
            'stroke-width="%s"/>' % (fmt(x), fmt(cy - half + outline / 2), fmt(w), fmt(w),
                                     fmt(radius), fill, dark, fmt(outline)))
    if glossy and highlight:
        svg.add('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="#ffffff" '
                'fill-opacity="0.28"/>' % (fmt(x + 1.2), fmt(cy - half + 1.2), fmt(w - 2.4),
                                            fmt(half * 0.8), fmt(max(radius - 1, 0.5))))


def triangle(svg, cx, cy, s, pal):
    """A warning triangle with rounded corners fitting a box of side s."""
    light, base, dark, _ = pal
    top = (cx, cy - 0.47 * s)
    left = (cx - 0.5 * s, cy + 0.42 * s)
    right = (cx + 0.5 * s, cy + 0.42 * s)
    fill = svg.gradient(light, base)
    svg.add('<polygon points="%s" fill="%s" stroke="%s" stroke-width="%s" '
            'stroke-linejoin="round"/>' % (points([top, right, left]), fill, dark, fmt(0.07 * s)))


def octagon(svg, cx, cy, r, pal):
    light, base, dark, _ = pal
    k = r * 0.4142
    pts = [(cx - k, cy - r), (cx + k, cy - r), (cx + r, cy - k), (cx + r, cy + k),
           (cx + k, cy + r), (cx - k, cy + r), (cx - r, cy + k), (cx - r, cy - k)]
    fill = svg.gradient(light, base)
    svg.add('<polygon points="%s" fill="%s" stroke="%s" stroke-width="0.8" '
            'stroke-linejoin="round"/>' % (points(pts), fill, dark))


def ring(svg, cx, cy, r, width, pal):
    _, base, dark, _ = pal
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
        fmt(cx), fmt(cy), fmt(r + width / 2 - 0.3), dark, "0.6"))
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
        fmt(cx), fmt(cy), fmt(r), base, fmt(width - 0.6)))
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
        fmt(cx), fmt(cy), fmt(r - width / 2 + 0.3), dark, "0.6"))


def led(svg, cx, cy, pal):
    light, base, dark, _ = pal
    bezel = svg.gradient("#6b6b6b", "#1f1f1f")
    svg.add('<circle cx="%s" cy="%s" r="9.6" fill="%s" stroke="#111111" stroke-width="0.6"/>' % (
        fmt(cx), fmt(cy), bezel))
    glow = svg.radial("#ffffff", base, fmt(cx - 1), fmt(cy - 1.5), "7.5")
    svg.add('<circle cx="%s" cy="%s" r="6.6" fill="%s" stroke="%s" stroke-width="0.6"/>' % (
        fmt(cx), fmt(cy), glow, dark))
    svg.add('<circle cx="%s" cy="%s" r="6.6" fill="%s" fill-opacity="0.45"/>' % (
        fmt(cx), fmt(cy), base))
    svg.add('<ellipse cx="%s" cy="%s" rx="3" ry="1.7" fill="#ffffff" fill-opacity="0.7"/>' % (
        fmt(cx - 0.6), fmt(cy - 3.4)))


def floppy(svg, body, shutter, label, mark_colour, state):
    """A 3.5-inch diskette on the 22 grid; the label carries the state's mark."""
    d = "M3,2.5 H16.5 L19.5,5.5 V18 A1.5,1.5 0 0 1 18,19.5 H4 A1.5,1.5 0 0 1 2.5,18 V4 A1.5,1.5 0 0 1 3,2.5 Z"
    svg.add('<path d="%s" fill="%s"/>' % (d, body))
    svg.add('<rect x="7" y="2.5" width="7.5" height="4.5" rx="0.6" fill="%s"/>' % shutter)
    svg.add('<rect x="11.8" y="3.4" width="1.6" height="2.8" fill="%s"/>' % body)
    # A big label: at 16 px its mark is what tells the states apart.
    svg.add('<rect x="4.5" y="9" width="13" height="9.5" rx="1" fill="%s"/>' % label)
    if state == "warning":
        exclamation(svg, 11, 13.75, 7.6, mark_colour)
    elif state == "error":
        cross(svg, 11, 13.75, 8, mark_colour)
    else:
        # Ruled lines of a written label.
        svg.add('<path d="M7,12 H15 M7,15 H13" stroke="%s" stroke-width="1.1" '
                'stroke-linecap="round" stroke-opacity="0.6"/>' % mark_colour)


# --- menu-bar sets ---------------------------------------------------------

C = 11  # centre of the 22 grid


def set_disks(svg, state):
    disk(svg, C, C, 8.5, COLOURED[state])


def set_gray_disks(svg, state):
    disk(svg, C, C, 8.5, GRAYS[state], highlight=False)
    symbol(svg, state, C, C, 9, GRAYS[state][3])


def set_angular_disks(svg, state):
    rounded_square(svg, C, C, 8.5, 2.2, COLOURED[state])


def set_gray_angular_disks(svg, state):
    rounded_square(svg, C, C, 8.5, 2.2, GRAYS[state], highlight=False)
    symbol(svg, state, C, C, 9, GRAYS[state][3])


def warning_triangle(svg):
    triangle(svg, C, C + 0.4, 19.5, AMBER)
    exclamation(svg, C, C + 2.2, 8.6, AMBER[3])


def stop_octagon(svg):
    octagon(svg, C, C, 9.2, RED)
    cross(svg, C, C, 9.5, RED[3])


def set_signs(svg, state):
    if state == "ok":
        rounded_square(svg, C, C, 8.3, 2.2, GREEN, glossy=False)
        check(svg, C, C, 10, GREEN[3])
    elif state == "warning":
        warning_triangle(svg)
    else:
        stop_octagon(svg)


def set_round_signs(svg, state):
    pal = COLOURED[state]
    disk(svg, C, C, 9, pal, glossy=False)
    symbol(svg, state, C, C, 10, pal[3])


def set_mixed_signs(svg, state):
    if state == "ok":
        check(svg, C, C + 0.5, 16, GREEN[1], halo=GREEN[2])
    elif state == "warning":
        warning_triangle(svg)
    else:
        disk(svg, C, C, 9, RED, glossy=False)
        cross(svg, C, C, 10, RED[3])


def set_points(svg, state):
    disk(svg, C, C, 5.2, COLOURED[state], glossy=False, outline=0.9)


def set_circles(svg, state):
    ring(svg, C, C, 6.6, 3.2, COLOURED[state])


def set_leds(svg, state):
    led(svg, C, C, COLOURED[state])


def set_mixed_disks(svg, state):
    disk(svg, C, C, 8.5, GRAY_QUIET if state == "ok" else COLOURED[state])


def set_mixed_angular_disks(svg, state):
    rounded_square(svg, C, C, 8.5, 2.2, GRAY_QUIET if state == "ok" else COLOURED[state])


BLACK = ("#3a3a3a", "#1a1a1a", "#000000", "#ffffff")
LIGHT = ("#ffffff", "#f2f2f2", "#d0d0d0", "#1a1a1a")


def black_sign(svg, state, dark_panel=False):
    """One sign shape; black when all is well, so it sits quietly in the panel."""
    if state == "ok":
        pal = LIGHT if dark_panel else BLACK
    else:
        pal = COLOURED[state]
    rounded_square(svg, C, C, 8.5, 3, pal, glossy=False, outline=0.8)
    symbol(svg, state, C, C, 10, pal[3])


def set_black_sign(svg, state):
    black_sign(svg, state)


def set_unobtrusive_points(svg, state):
    if state == "ok":
        svg.add('<circle cx="11" cy="11" r="3" fill="none" stroke="#8c8c8c" stroke-width="1.5"/>')
    else:
        disk(svg, C, C, 3.8, COLOURED[state], glossy=False, outline=0.7)


def retro_disk(svg, state, dark_panel=False):
    if state == "error":
        floppy(svg, RED[1], "#e6e6e6", "#ffffff", RED[2], state)
    elif dark_panel:
        floppy(svg, "#ededed", "#8f8f8f", "#3a3a3a", "#ffffff", state)
    else:
        floppy(svg, "#222222", "#a8a8a8", "#ffffff", "#222222", state)


def set_retro_disks(svg, state):
    retro_disk(svg, state)


MENU_SETS = [
    ("Disks", set_disks),
    ("Gray Disks", set_gray_disks),
    ("Angular Disks", set_angular_disks),
    ("Gray Angular Disks", set_gray_angular_disks),
    ("Signs", set_signs),
    ("Round Signs", set_round_signs),
    ("Mixed Signs", set_mixed_signs),
    ("Points", set_points),
    ("Circles", set_circles),
    ("LEDs", set_leds),
    ("Mixed Disks", set_mixed_disks),
    ("Mixed Angular Disks", set_mixed_angular_disks),
    ("Black Sign", set_black_sign),
    ("Unobtrusive Points", set_unobtrusive_points),
    ("Retro Disks", set_retro_disks),
]

# Images drawn light for a dark panel, where the menu-bar image is shown as a
# template: (set number + 1, state, drawing).
DARK_VARIANTS = [
    (13, "ok", lambda svg: black_sign(svg, "ok", dark_panel=True)),
    (15, "ok", lambda svg: retro_disk(svg, "ok", dark_panel=True)),
    (15, "warning", lambda svg: retro_disk(svg, "warning", dark_panel=True)),
]


# --- dock sets, application icon, status images (128 grid) ----------------

def ssd_body(svg, x, y, w, h):
    """A 2.5-inch drive seen from the top: case, label, and its connector."""
    case = svg.gradient("#5b626d", "#2a2e35")
    svg.add('<rect x="%s" y="%s" width="%s" height="%s" rx="9" fill="%s" stroke="#1b1e23" '
            'stroke-width="2"/>' % (fmt(x), fmt(y), fmt(w), fmt(h), case))
    # Screw holes in the corners.
    for sx, sy in ((x + 9, y + 9), (x + w - 9, y + 9), (x + 9, y + h - 9), (x + w - 9, y + h - 9)):
        svg.add('<circle cx="%s" cy="%s" r="3" fill="#1b1e23" stroke="#7a828e" '
                'stroke-width="1"/>' % (fmt(sx), fmt(sy)))
    # Connector on the top edge.
    svg.add('<rect x="%s" y="%s" width="%s" height="6" rx="1.5" fill="#c9a441" '
            'stroke="#7a6120" stroke-width="1"/>' % (fmt(x + w * 0.22), fmt(y - 4), fmt(w * 0.42)))
    label = svg.gradient("#fafafa", "#d9dde3")
    svg.add('<rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="%s"/>' % (
        fmt(x + 16), fmt(y + 20), fmt(w - 32), fmt(h - 40), label))


def badge(svg, state, cx, cy, r):
    pal = {"ok": GREEN, "warning": AMBER, "error": RED}[state]
    svg.add('<circle cx="%s" cy="%s" r="%s" fill="#ffffff"/>' % (fmt(cx), fmt(cy), fmt(r + 4)))
    disk(svg, cx, cy, r, pal, glossy=True, outline=2.5)
    symbol(svg, state, cx, cy, r * 1.15, pal[3])


def dock_drive(svg, state):
    ssd_body(svg, 10, 22, 108, 84)
    # Lines of a label, standing in for its print.
    svg.add('<path d="M32,50 H80 M32,62 H70 M32,74 H60" stroke="#8a939f" stroke-width="5" '
            'stroke-linecap="round"/>')
    badge(svg, state, 92, 88, 26)


def dock_tile(svg, state):
    pal = COLOURED[state]
    fill = svg.gradient(pal[0], pal[2])
    svg.add('<rect x="8" y="8" width="112" height="112" rx="24" fill="%s" stroke="%s" '
            'stroke-width="3"/>' % (fill, pal[2]))
    svg.add('<rect x="12" y="12" width="104" height="50" rx="20" fill="#ffffff" '
            'fill-opacity="0.22"/>')
    # An M.2 drive in white: a card with the key notch and contact fingers on
    # its left end, the state's mark on its chip.
    svg.add('<path d="M30,40 H106 A4,4 0 0 1 110,44 V84 A4,4 0 0 1 106,88 H30 V70 H24 V58 H30 Z" '
            'fill="#ffffff" stroke="%s" stroke-width="2"/>' % pal[2])
    svg.add('<path d="M35,45 V55 M35,73 V83" stroke="%s" stroke-width="3" stroke-dasharray="2,2" '
            'stroke-opacity="0.6"/>' % pal[2])
    svg.add('<circle cx="101" cy="64" r="4" fill="none" stroke="%s" stroke-width="2" '
            'stroke-opacity="0.6"/>' % pal[2])
    svg.add('<rect x="48" y="47" width="38" height="34" rx="3" fill="%s"/>' % pal[1])
    symbol(svg, state, 67, 64, 26, pal[3])


def dock_gauge(svg, state):
    """A health gauge: a dial whose filled arc shows how much wear is left."""
    pal = COLOURED[state]
    share = {"ok": 0.9, "warning": 0.45, "error": 0.15}[state]
    face = svg.gradient("#4a5059", "#23272d")
    svg.add('<circle cx="64" cy="64" r="56" fill="%s" stroke="#16191d" stroke-width="3"/>' % face)
    svg.add('<circle cx="64" cy="64" r="40" fill="none" stroke="#3a4048" stroke-width="14"/>')
    import math
    start = math.radians(135)
    end = start + math.radians(270) * share
    x0, y0 = 64 + 40 * math.cos(start), 64 + 40 * math.sin(start)
    x1, y1 = 64 + 40 * math.cos(end), 64 + 40 * math.sin(end)
    large = 1 if share * 270 > 180 else 0
    svg.add('<path d="M%s,%s A40,40 0 %d 1 %s,%s" fill="none" stroke="%s" stroke-width="14" '
            'stroke-linecap="round"/>' % (fmt(x0), fmt(y0), large, fmt(x1), fmt(y1), pal[1]))
    symbol(svg, state, 64, 64, 36, "#ffffff" if state != "warning" else pal[1])


DOCK_SETS = [("Drive", dock_drive), ("Tile", dock_tile), ("Gauge", dock_gauge)]


def app_icon(svg):
    ssd_body(svg, 10, 22, 108, 84)
    # A pulse line across the label: the drive's health, watched.
    svg.add(stroke_path("M30,66 H48 L55,48 L64,84 L72,56 L77,66 H98", GREEN[2], 9))
    svg.add(stroke_path("M30,66 H48 L55,48 L64,84 L72,56 L77,66 H98", GREEN[1], 5))


def symbolic_icon():
    # Symbolic icons are one colour; the desktop recolours them.
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">\n'
            '<path fill="#2e3436" fill-rule="evenodd" d="M3,2 H13 A2,2 0 0 1 15,4 V12 A2,2 0 0 1 13,14 '
            'H3 A2,2 0 0 1 1,12 V4 A2,2 0 0 1 3,2 Z M3,4 V12 H13 V4 Z"/>\n'
            '<path fill="none" stroke="#2e3436" stroke-width="1.4" stroke-linecap="round" '
            'stroke-linejoin="round" d="M4,8.5 H6 L7,6 L8.6,11 L9.8,7.5 L10.5,8.5 H12"/>\n'
            '</svg>\n')


def status_image(svg, state):
    pal = BLUE if state == "info" else COLOURED[state]
    disk(svg, C, C, 10, pal, glossy=True, outline=0.7)
    symbol(svg, state, C, C, 11, pal[3])


# --- output ----------------------------------------------------------------

def write(folder, name, text):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(text)


def draw(size, fn, *args):
    svg = Svg(size)
    fn(svg, *args)
    return svg.text()


def main():
    for number, (_, fn) in enumerate(MENU_SETS, start=1):
        for state in STATES:
            write("menu", "iconset_menu_%d_%s" % (number, state), draw(22, fn, state))
    for number, state, fn in DARK_VARIANTS:
        write("menu", "iconset_menu_%d_%s_dark" % (number, state), draw(22, fn))
    for number, (_, fn) in enumerate(DOCK_SETS, start=1):
        for state in STATES:
            write("dock", "iconset_dock_%d_%s" % (number, state), draw(128, fn, state))
    for state in ("ok", "warning", "error", "info"):
        write("status", state, draw(22, status_image, state))
    write("app", "ostrivane", draw(128, app_icon))
    write("app", "ostrivane-symbolic", symbolic_icon())
    return 0


if __name__ == "__main__":
    sys.exit(main())
