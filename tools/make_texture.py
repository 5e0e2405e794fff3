#!/usr/bin/env python3
"""Writes resources/tex1.bmp, the cube's texture: a yellow square hazard sign
with a black trefoil in the middle of a dark, mottled grey-green surface,
crossed by a thin black line each way through the centre. 256 x 256 pixels,
8 bits per pixel with a 256-entry colour table. Deterministic: the same file
every run."""

import math
import os
import struct

SIZE = 256


def palette():
    entries = []
    # 0..127: the mottled surface, dark grey-green shades; entry 0 is the
    # darkest.
    for i in range(128):
        t = i / 127.0
        entries.append((int(0x21 + t * 0x50), int(0x21 + t * 0x5C), int(0x10 + t * 0x38)))
    # 128..191: the sign's yellows.
    for i in range(64):
        t = i / 63.0
        entries.append((int(0xC0 + t * 0x3F), int(0xA0 + t * 0x5F), int(0x00 + t * 0x20)))
    # 192..255: near black.
    for i in range(64):
        v = i // 8
        entries.append((v, v, v))
    return entries


def noise(seed):
    """A small fixed-seed generator (no dependence on the library's)."""
    state = seed & 0xFFFFFFFF

    def next_value():
        nonlocal state
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        return state / 0x7FFFFFFF

    return next_value


def mottled(random):
    # Value noise on a coarse grid, smoothly interpolated, plus fine grain.
    grid = 16
    cells = SIZE // grid + 2
    values = [[random() for _ in range(cells)] for _ in range(cells)]
    out = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            gx, gy = x / grid, y / grid
            ix, iy = int(gx), int(gy)
            fx, fy = gx - ix, gy - iy
            sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
            a = values[iy][ix] * (1 - sx) + values[iy][ix + 1] * sx
            b = values[iy + 1][ix] * (1 - sx) + values[iy + 1][ix + 1] * sx
            v = a * (1 - sy) + b * sy
            v = 0.75 * v + 0.25 * random()
            row.append(int(v * 100))
        out.append(row)
    return out


def in_trefoil(dx, dy, radius):
    r = math.hypot(dx, dy)
    if r < radius * 0.16:
        return True
    if r < radius * 0.24 or r > radius:
        return False
    angle = math.degrees(math.atan2(-dy, dx)) % 360
    # Three blades 60 degrees wide, one pointing down.
    return any(abs(((angle - centre + 180) % 360) - 180) < 30 for centre in (90, 210, 330))


def picture():
    pixels = mottled(noise(1957))
    half = SIZE // 2
    sign = 44
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - half + 0.5, y - half + 0.5
            if abs(dx) <= sign and abs(dy) <= sign:
                border = abs(dx) > sign - 4 or abs(dy) > sign - 4
                if border:
                    pixels[y][x] = 192
                elif in_trefoil(dx, dy, sign - 8):
                    pixels[y][x] = 194
                else:
                    pixels[y][x] = 128 + int(63 * (0.8 + 0.2 * math.cos((dx + dy) / 40.0)))
            elif x in (half - 1, half) or y in (half - 1, half):
                pixels[y][x] = 193
    return pixels


def write_bmp(path, pixels, colours):
    header_size = 14 + 40 + 256 * 4
    image_size = SIZE * SIZE
    data = bytearray()
    data += struct.pack("<2sIHHI", b"BM", header_size + image_size, 0, 0, header_size)
    data += struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, image_size, 2835, 2835, 256, 0)
    for r, g, b in colours:
        data += struct.pack("<BBBB", b, g, r, 0)
    for row in reversed(pixels):  # bottom row first
        data += bytes(row)
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "..", "resources", "tex1.bmp"), picture(), palette())


if __name__ == "__main__":
    main()
