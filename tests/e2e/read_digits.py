#!/usr/bin/env python3
"""Reads the seven-segment digit displays off a screenshot of the window.

    read_digits.py SHOT.png X,Y,W,H [X,Y,W,H ...]

Prints one line per area: the text its lit (lime) segments show, with "."
for a decimal point, or "?" for a character that is no digit. The segments
are straight lines: a character's lit pixels are grouped by the blank
columns between characters, and each segment is looked for where it lies
in the character's box (a "1" lights only the box's right-hand side).
"""
import subprocess
import sys

LIME = (0, 255, 0)
# Segments: top, middle, bottom, upper left, upper right, lower left, lower right.
DIGITS = {
    0b1111101: "0", 0b1010000: "1", 0b0110111: "2", 0b1010111: "3", 0b1011010: "4",
    0b1001111: "5", 0b1101111: "6", 0b1010001: "7", 0b1111111: "8", 0b1011111: "9",
    0b0000010: "-",
}


def lit_pixels(shot, x, y, width, height):
    ppm = subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "ppm:-"],
                         check=True, capture_output=True).stdout
    # P6 header: magic, width, height, maximum, each followed by white space.
    fields, at = [], 0
    while len(fields) < 4:
        while ppm[at:at + 1].isspace():
            at += 1
        start = at
        while not ppm[at:at + 1].isspace():
            at += 1
        fields.append(ppm[start:at])
    at += 1
    w, h = int(fields[1]), int(fields[2])
    data = ppm[at:]
    return {(i % w, i // w) for i in range(w * h) if tuple(data[3 * i:3 * i + 3]) == LIME}


def read_text(pixels):
    if not pixels:
        return ""
    columns = sorted({x for x, _ in pixels})
    groups, current = [], [columns[0]]
    for x in columns[1:]:
        if x - current[-1] > 1:
            groups.append(current)
            current = []
        current.append(x)
    groups.append(current)
    top = min(y for _, y in pixels)
    bottom = max(y for _, y in pixels)
    middle = (top + bottom) / 2
    text = ""
    for group in groups:
        left, right = group[0], group[-1]
        mine = [(x, y) for x, y in pixels if left <= x <= right]
        if max(y for _, y in mine) - min(y for _, y in mine) <= 2 and min(y for _, y in mine) > middle:
            text += "."
            continue

        def any_at(xs, ys):
            return any(x in xs and y in ys for x, y in mine)

        inner = range(left + 1, right) if right - left >= 2 else range(0)
        near = lambda row: range(round(row) - 1, round(row) + 2)
        upper = range(top + 2, int(middle) - 1)
        lower = range(int(middle) + 2, bottom - 1)
        at_left, at_right = range(left, left + 2), range(right - 1, right + 1)
        wide = right - left >= 3
        segments = [
            wide and any_at(inner, near(top)),
            wide and any_at(inner, near(middle)),
            wide and any_at(inner, near(bottom)),
            wide and any_at(at_left, upper),
            any_at(at_right, upper),
            wide and any_at(at_left, lower),
            any_at(at_right, lower),
        ]
        mask = sum(1 << index for index, lit in enumerate(segments) if lit)
        text += DIGITS.get(mask, "?")
    return text


def main():
    shot = sys.argv[1]
    for area in sys.argv[2:]:
        x, y, width, height = (int(v) for v in area.split(","))
        print(read_text(lit_pixels(shot, x, y, width, height)))


if __name__ == "__main__":
    main()
