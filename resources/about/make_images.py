#!/usr/bin/env python3
"""Draws the About window's pictures; run once by hand, the outputs are kept in the tree.

  sphere.jpg      52 x 52  the picture at the top-left of the About window
  korvalen.png    32 x 32  the About window's icon
  link_hand.png   32 x 32  the pointing hand shown over the web link (hot spot at 0, 0)

Needs python3 and ImageMagick's `convert`.  Usage: ./make_images.py (from this folder).
"""
import math
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Light from the upper left and a little in front, as in the program's maps.
_L = (-0.45, -0.55, 0.70)
_n = math.sqrt(sum(c * c for c in _L))
LIGHT = tuple(c / _n for c in _L)


def sphere_pixel(x, y, size, radius):
    """(r, g, b, coverage) of a Lambert-shaded sphere with one isoline band."""
    cx = (x + 0.5 - size / 2) / radius
    cy = (y + 0.5 - size / 2) / radius
    r2 = cx * cx + cy * cy
    # Coverage from the distance to the rim, one pixel of antialiasing.
    cover = max(0.0, min(1.0, (1.0 - math.sqrt(r2)) * radius + 0.5))
    nz = math.sqrt(max(0.0, 1.0 - r2))
    d = max(0.0, LIGHT[0] * cx + LIGHT[1] * cy + LIGHT[2] * nz)
    grey = 0.10 + 0.86 * d
    rgb = (grey, grey, grey)
    if 0.55 < d < 0.63:  # one isoline band, tinted warm as on the map
        rgb = (0.95, 0.62, 0.22)
    # A faint specular touch so the sphere does not look flat.
    h = (LIGHT[0], LIGHT[1], LIGHT[2] + 1.0)
    hn = math.sqrt(sum(c * c for c in h))
    shine = max(0.0, (h[0] * cx + h[1] * cy + h[2] * nz) / hn) ** 40
    rgb = tuple(min(1.0, c + 0.35 * shine) for c in rgb)
    return rgb, cover


def write_pam(path, size, pixel):
    with open(path, "wb") as f:
        f.write(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                % (size, size))
        for y in range(size):
            for x in range(size):
                r, g, b, a = pixel(x, y)
                f.write(bytes(int(round(255 * v)) for v in (r, g, b, a)))


def sphere_on_background(x, y):
    size, radius = 52, 23.0
    (r, g, b), cover = sphere_pixel(x, y, size, radius)
    # Deep blue background, a touch lighter at the top.
    t = y / (size - 1)
    bg = (0.10 - 0.06 * t, 0.14 - 0.08 * t, 0.30 - 0.14 * t)
    return tuple(c * cover + k * (1 - cover) for c, k in zip((r, g, b), bg)) + (1.0,)


def icon_pixel(x, y):
    (r, g, b), cover = sphere_pixel(x, y, 32, 15.0)
    return (r, g, b, cover)


# The pointing hand: '#' black, '.' clear; the inside is filled white from the palm.
HAND = [
    ".##..........",
    "#..#.........",
    "#..#.........",
    "#..#.........",
    "#..#.........",
    "#..#.........",
    "#..###.......",
    "#..#..###....",
    "#..#..#..###.",
    "#..#..#..#..#",
    "#..#..#..#..#",
    "#...........#",
    "#...........#",
    "#...........#",
    "#...........#",
    ".#.........#.",
    ".#.........#.",
    "..#.......#..",
    "..#.......#..",
    "..#########..",
]


def hand_cells():
    cells = [list(row.ljust(32, ".")) for row in HAND]
    cells += [list("." * 32) for _ in range(32 - len(cells))]
    stack = [(5, 13)]  # a point of the palm
    while stack:
        x, y = stack.pop()
        if cells[y][x] != ".":
            continue
        cells[y][x] = "o"
        stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    return cells


def hand_pixel_factory():
    cells = hand_cells()

    def pixel(x, y):
        c = cells[y][x]
        if c == "#":
            return (0.0, 0.0, 0.0, 1.0)
        if c == "o":
            return (1.0, 1.0, 1.0, 1.0)
        return (0.0, 0.0, 0.0, 0.0)

    return pixel


def main():
    with tempfile.TemporaryDirectory() as tmp:
        jobs = [
            ("sphere.jpg", 52, sphere_on_background,
             ["-alpha", "off", "-strip", "-quality", "90", "-sampling-factor", "1x1"]),
            ("korvalen.png", 32, icon_pixel, ["-strip"]),
            ("link_hand.png", 32, hand_pixel_factory(), ["-strip"]),
        ]
        for name, size, pixel, opts in jobs:
            pam = os.path.join(tmp, name + ".pam")
            write_pam(pam, size, pixel)
            subprocess.run(["convert", pam] + opts + [os.path.join(HERE, name)], check=True)


if __name__ == "__main__":
    main()
