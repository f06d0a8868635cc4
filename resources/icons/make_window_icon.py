#!/usr/bin/env python3
"""Draws the program's icon: a grey-shaded sphere lit from the upper left with
three tinted isoline rings, on a transparent ground.

python3 make_window_icon.py writes
- icon16.pam, icon32.pam, icon48.pam: the small sizes drawn pixel by pixel,
  which ImageMagick turns into the PNGs shipped as resources (convert
  icon16.pam icon16.png, and so on);
- korvalen.svg: the same picture as vector art, for the desktop's icon theme;
  the larger PNGs are rendered from it once (rsvg-convert -w 64 -h 64
  korvalen.svg -o icon64.png, and so on for 128 and 256).
"""
import math

RINGS = [(0.9, (255, 128, 128)), (0.6, (0, 192, 0)), (0.3, (96, 0, 128))]
# Half-width of a ring in reflectance units.
RING_HALF_WIDTH = 0.03
# Direction towards the light, x right, y up, z towards the viewer.
LIGHT = (-0.4, 0.45, 0.8)


def unit_light():
    n = math.sqrt(sum(c * c for c in LIGHT))
    return tuple(c / n for c in LIGHT)


def grey(phi):
    return int(phi * 215 + 40)


def pixel(size, x, y):
    r = size / 2 - 0.5
    dx = (x - size / 2 + 0.5) / r
    dy = (size / 2 - 0.5 - y) / r
    d2 = dx * dx + dy * dy
    if d2 > 1:
        return (0, 0, 0, 0)
    dz = math.sqrt(1 - d2)
    lx, ly, lz = unit_light()
    phi = max(0.0, dx * lx + dy * ly + dz * lz)
    g = grey(phi)
    col = (g, g, g)
    for level, tint in RINGS:
        if abs(phi - level) < RING_HALF_WIDTH:
            col = tint
            break
    edge = min(1.0, (1 - math.sqrt(d2)) * r * 1.5)
    return col + (int(255 * edge),)


def write_pam(size):
    with open(f"icon{size}.pam", "wb") as f:
        f.write(f"P7\nWIDTH {size}\nHEIGHT {size}\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n".encode())
        for y in range(size):
            for x in range(size):
                f.write(bytes(pixel(size, x, y)))


def svg(size=256, bands=64):
    """The same picture as vector art. Every region phi >= a of the visible
    half of the sphere is bounded by the visible arc of the circle phi = a,
    which the view turns into an ellipse, and by the arc of the rim inside
    that circle. The shading is a stack of such regions, one for each of
    `bands` equal steps of phi, and each ring is the region between its level
    minus and plus the half-width, as in the pixel drawing."""
    lx, ly, lz = unit_light()
    h = math.hypot(lx, ly)
    c = size // 2
    rad = size // 2
    # In picture coordinates (y down): U is the unit vector of the picture
    # plane perpendicular to the light, W the light's direction in the picture
    # scaled by -lz (the view shortens the circles along it by lz).
    ux, uy = -ly / h, -lx / h
    wx, wy = -lz * lx / h, lz * ly / h
    rotation = math.degrees(math.atan2(uy, ux))

    def region(a):
        s = math.sqrt(1 - a * a)
        ex, ey = c + rad * a * lx, c - rad * a * ly

        def at(t):
            return (ex + rad * s * (math.cos(t) * ux + math.sin(t) * wx),
                    ey + rad * s * (math.cos(t) * uy + math.sin(t) * wy))

        arc = f"A {rad * s:.2f} {rad * s * lz:.2f} {rotation:.2f}"
        k = -a * lz / (s * h)  # the circle point at t faces the viewer where sin t >= k
        if k <= -1:
            (x0, y0), (x1, y1) = at(0), at(math.pi)
            return f"M {x0:.2f} {y0:.2f} {arc} 0 0 {x1:.2f} {y1:.2f} {arc} 0 0 {x0:.2f} {y0:.2f} Z"
        t0 = math.asin(k)
        (x0, y0), (x1, y1) = at(t0), at(math.pi - t0)
        # A growing t turns against the picture's positive angle (sweep 0);
        # the rim arc back runs the other way round, through the light's side.
        return (f"M {x0:.2f} {y0:.2f} {arc} 1 0 {x1:.2f} {y1:.2f} "
                f"A {rad} {rad} 0 0 0 {x0:.2f} {y0:.2f} Z")

    def hexgrey(phi):
        g = grey(phi)
        return f"#{g:02x}{g:02x}{g:02x}"

    shapes = [f'<circle cx="{c}" cy="{c}" r="{rad}" fill="{hexgrey(0)}"/>']
    for j in range(1, bands):
        a = j / bands
        shapes.append(f'<path fill="{hexgrey(a + 0.5 / bands)}" d="{region(a)}"/>')
    for level, tint in RINGS:
        shapes.append(f'<path fill="#%02x%02x%02x" fill-rule="evenodd" d="{region(level - RING_HALF_WIDTH)} '
                      f'{region(level + RING_HALF_WIDTH)}"/>' % tint)
    body = "\n  ".join(shapes)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">
  <title>Korvalen</title>
  {body}
</svg>
"""


if __name__ == "__main__":
    for size in (16, 32, 48):
        write_pam(size)
    with open("korvalen.svg", "w", encoding="utf-8") as f:
        f.write(svg())
