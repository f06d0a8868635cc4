#!/usr/bin/env python3
"""Draws the window icon: a grey-shaded sphere lit from the upper left with two
tinted isoline rings, on a transparent ground. Writes PAM files that ImageMagick
turns into the PNGs shipped as resources (python3 make_window_icon.py; then
convert icon16.pam icon16.png, and so on)."""
import math

RINGS = [(0.9, (255, 128, 128)), (0.6, (0, 192, 0)), (0.3, (96, 0, 128))]


def pixel(size, x, y):
    r = size / 2 - 0.5
    dx = (x - size / 2 + 0.5) / r
    dy = (size / 2 - 0.5 - y) / r
    d2 = dx * dx + dy * dy
    if d2 > 1:
        return (0, 0, 0, 0)
    dz = math.sqrt(1 - d2)
    lx, ly, lz = -0.4, 0.45, 0.8
    n = math.sqrt(lx * lx + ly * ly + lz * lz)
    phi = max(0.0, (dx * lx + dy * ly + dz * lz) / n)
    g = int(phi * 215 + 40)
    col = (g, g, g)
    for level, tint in RINGS:
        if abs(phi - level) < 0.03:
            col = tint
            break
    edge = min(1.0, (1 - math.sqrt(d2)) * r * 1.5)
    return col + (int(255 * edge),)


for size in (16, 32, 48):
    with open(f"icon{size}.pam", "wb") as f:
        f.write(f"P7\nWIDTH {size}\nHEIGHT {size}\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n".encode())
        for y in range(size):
            for x in range(size):
                f.write(bytes(pixel(size, x, y)))
