#!/usr/bin/env python3
"""Draws Kestrel's logo: a kestrel hovering against an evening sky.

Writes Logo.bmp (63 x 56, 24-bit) beside this script. Run it again only to
change the drawing; the bitmap is kept in the repository.
"""
import os
import struct

W, H = 63, 56


def inside(poly, x, y):
    hit = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def sky(x, y):
    t = y / (H - 1)
    top, bottom = (38, 84, 150), (247, 196, 120)
    return tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))


RUST = (176, 82, 36)
DARK = (58, 36, 30)
CREAM = (236, 214, 170)
GREY = (84, 92, 118)

left_wing = [(31, 24), (3, 15), (8, 21), (16, 26), (30, 30)]
right_wing = [(32, 24), (60, 15), (55, 21), (47, 26), (33, 30)]
left_tip = [(3, 15), (10, 17), (8, 21)]
right_tip = [(60, 15), (53, 17), (55, 21)]
body = [(29, 20), (34, 20), (35, 36), (31.5, 40), (28, 36)]
tail = [(29, 37), (34, 37), (36, 50), (31.5, 52), (27, 50)]
tail_band = [(27.4, 47), (35.6, 47), (36, 50), (27, 50)]
head = [(29, 14), (34, 14), (35, 19), (31.5, 22), (28, 19)]
cheek = [(29.5, 17), (30.5, 17), (30.5, 21), (29.5, 20)]

layers = [
    (left_wing, RUST), (right_wing, RUST), (left_tip, DARK), (right_tip, DARK),
    (tail, RUST), (tail_band, DARK), (body, CREAM), (head, GREY), (cheek, DARK),
]

rows = []
for y in range(H - 1, -1, -1):  # bitmaps are stored bottom-up
    row = bytearray()
    for x in range(W):
        c = sky(x, y)
        for poly, colour in layers:
            if inside(poly, x + 0.5, y + 0.5):
                c = colour
        row += bytes((c[2], c[1], c[0]))
    row += b"\0" * ((4 - len(row) % 4) % 4)
    rows.append(bytes(row))

pixels = b"".join(rows)
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "Logo.bmp"), "wb") as f:
    f.write(header + info + pixels)
