#!/usr/bin/env python3
"""Draws the program icon (a watchtower eye over a network segment) into an ICO file."""
import struct, sys, math

def pixel(x, y, n):
    cx, cy = (n - 1) / 2, (n - 1) / 2
    r = math.hypot(x - cx, y - cy) / (n / 2)
    if r > 0.97:
        return (0, 0, 0, 0)
    if r > 0.86:
        return (30, 60, 110, 255)          # dark ring
    # eye: an ellipse with a pupil
    ex, ey = (x - cx) / (n * 0.38), (y - cy * 0.86) / (n * 0.20)
    if ex * ex + ey * ey <= 1.0:
        pr = math.hypot(x - cx, y - cy * 0.86) / (n * 0.13)
        if pr <= 0.55:
            return (20, 20, 30, 255)
        if pr <= 1.0:
            return (40, 150, 90, 255)
        return (250, 250, 250, 255)
    # the segment: a horizontal bar with three hosts
    if abs(y - n * 0.72) <= n * 0.03 and abs(x - cx) < n * 0.33:
        return (250, 250, 250, 255)
    for hx in (-0.25, 0.0, 0.25):
        if abs(x - (cx + hx * n)) <= n * 0.06 and n * 0.72 <= y <= n * 0.84:
            return (250, 200, 60, 255)
    return (60, 110, 180, 255)

def image(n):
    rows = []
    for y in range(n - 1, -1, -1):           # bottom-up rows
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            rows.append(struct.pack('BBBB', b, g, r, a))
    xor = b''.join(rows)
    andmask = b'\0' * (((n + 31) // 32) * 4 * n)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask

sizes = [16, 32, 48]
imgs = [image(n) for n in sizes]
out = struct.pack('<HHH', 0, 1, len(sizes))
offset = 6 + 16 * len(sizes)
for n, data in zip(sizes, imgs):
    out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
out += b''.join(imgs)
open(sys.argv[1], 'wb').write(out)
