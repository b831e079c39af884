#!/usr/bin/env python3
"""Draws the program icon (a small Mandelbrot picture) at the sizes the desktop asks for.

Writes velorine-SIZE.ppm next to this script; ImageMagick turns each into a PNG with a round
alpha mask: see the commands at the end.
"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
RAMP = [(0, 0, 128), (0, 64, 224), (0, 160, 255), (96, 224, 255), (255, 255, 160),
        (255, 176, 0), (224, 64, 0), (128, 0, 64)]


def colour(n, limit):
    if n >= limit:
        return (0, 0, 0)
    t = n / 3.0
    i = int(t) % len(RAMP)
    j = (i + 1) % len(RAMP)
    f = t - int(t)
    a, b = RAMP[i], RAMP[j]
    return tuple(int(a[k] + (b[k] - a[k]) * f) for k in range(3))


def draw(size):
    limit = 64
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            # four samples per pixel keep small sizes smooth
            acc = [0, 0, 0]
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    cr = -2.15 + 2.75 * (x + sx) / size
                    ci = -1.375 + 2.75 * (y + sy) / size
                    zr = zi = 0.0
                    n = 0
                    while n < limit and zr * zr + zi * zi < 4.0:
                        zr, zi = zr * zr - zi * zi + cr, 2 * zr * zi + ci
                        n += 1
                    c = colour(n, limit)
                    for k in range(3):
                        acc[k] += c[k]
            row.append(bytes(v // 4 for v in acc))
        rows.append(b"".join(row))
    path = os.path.join(HERE, "velorine-%d.ppm" % size)
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (size, size))
        f.write(b"".join(rows))
    return path


for size in (16, 32, 48, 64, 128, 256):
    ppm = draw(size)
    png = os.path.join(HERE, "velorine-%d.png" % size)
    r = size / 2.0 - 0.5
    subprocess.run(["convert", ppm, "(", "-size", "%dx%d" % (size, size), "xc:black", "-fill",
                    "white", "-draw", "roundrectangle 0,0 %d,%d %d,%d" % (size - 1, size - 1,
                                                                          size // 5, size // 5),
                    ")", "-alpha", "off", "-compose", "CopyOpacity", "-composite",
                    "-strip", "PNG32:" + png], check=True)
    os.remove(ppm)
