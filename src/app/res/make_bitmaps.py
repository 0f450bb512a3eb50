#!/usr/bin/env python3
"""Writes the 16x16 button images of the program as 24-bit BMP files.

Run from anywhere: python3 make_bitmaps.py [output folder]. The output is checked in,
so the build does not need Python. Magenta is the background; the program replaces it
with the button face colour when it loads the images.
"""
import math
import os
import struct
import sys

PALETTE = {
    ".": (255, 0, 255),   # background key
    "k": (0, 0, 0),
    "g": (128, 128, 128),
    "l": (192, 192, 192),
    "w": (255, 255, 255),
    "y": (255, 232, 120),
    "o": (224, 168, 48),
    "d": (150, 90, 30),
    "r": (210, 0, 0),
    "G": (0, 150, 0),
    "b": (0, 0, 160),
    "B": (60, 90, 200),
    "Y": (255, 220, 0),
}

ART = {
    "open": [
        "................",
        "................",
        ".kkkk...........",
        "kyyyyk..........",
        "kyyyyykkkkkkkk..",
        "kyyyyyyyyyyyyyk.",
        "kyyyyyyyyyyyyyk.",
        "kyyykkkkkkkkkkkk",
        "kyykoooooooooook",
        "kykooooooooook..",
        "kkooooooooook...",
        "kooooooooook....",
        "kkkkkkkkkkkk....",
        "................",
        "................",
        "................",
    ],
    "append": [
        "................",
        "................",
        "......kkkk......",
        "......kGGk......",
        "......kGGk......",
        "......kGGk......",
        "..kkkkkGGkkkkk..",
        "..kGGGGGGGGGGk..",
        "..kGGGGGGGGGGk..",
        "..kkkkkGGkkkkk..",
        "......kGGk......",
        "......kGGk......",
        "......kGGk......",
        "......kkkk......",
        "................",
        "................",
    ],
    "prop": [
        "................",
        "..kkkkkkkkk.....",
        "..kwwwwwwwkk....",
        "..kwwwwwwwkwk...",
        "..kwbbbbwwkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbbbwwk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbbbwwk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbbbwwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
    ],
    "del": [
        "................",
        "................",
        "..rr........rr..",
        "..rrr......rrr..",
        "...rrr....rrr...",
        "....rrr..rrr....",
        ".....rrrrrr.....",
        "......rrrr......",
        "......rrrr......",
        ".....rrrrrr.....",
        "....rrr..rrr....",
        "...rrr....rrr...",
        "..rrr......rrr..",
        "..rr........rr..",
        "................",
        "................",
    ],
    "save": [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwggggggwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwggggggwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbllllllllbbk.",
        ".kbbllkkllllbbk.",
        ".kbbllkkllllbbk.",
        ".kbbllllllllbbk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    "cancel": [
        "................",
        "..kkkkkkkk......",
        "..kddddddk......",
        "..kddddddk......",
        "..kddddddk..G...",
        "..kddddddk..GG..",
        "..kddddGGGGGGGG.",
        "..kddYdGGGGGGGGG",
        "..kddddGGGGGGGG.",
        "..kddddddk..GG..",
        "..kddddddk..G...",
        "..kddddddk......",
        "..kddddddk......",
        "..kkkkkkkk......",
        "................",
        "................",
    ],
    "auto": [
        "........kkkkk...",
        ".......kYYYk....",
        "......kYYYk.....",
        ".....kYYYk......",
        "....kYYYk.......",
        "...kYYYYkkkk....",
        "..kYYYYYYYYk....",
        "..kkkkkYYYk.....",
        "......kYYk......",
        ".....kYYk.......",
        "....kYYk........",
        "...kYYk.........",
        "..kYk...........",
        ".kk.............",
        "................",
        "................",
    ],
}


def gear():
    """A gear wheel with six teeth and a hole, drawn from its outline."""
    def inside(x, y):
        dx, dy = x + 0.5 - 8, y + 0.5 - 8
        r = math.hypot(dx, dy)
        angle = (math.degrees(math.atan2(dy, dx)) + 30) % 60
        edge = 7.9 if abs(angle - 30) < 17 else 5.3
        return 2.5 < r <= edge

    rows = []
    for y in range(16):
        row = ""
        for x in range(16):
            if not inside(x, y):
                row += "."
                continue
            border = any(not (0 <= nx < 16 and 0 <= ny < 16 and inside(nx, ny))
                         for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
            row += "k" if border else ("l" if x + y < 15 else "g")
        rows.append(row)
    return rows


ART["tools"] = gear()


def write_bmp(path, rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), path
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows go bottom-up
        for ch in row:
            r, g, b = PALETTE[ch]
            pixels += bytes((b, g, r))
    header_size = 14 + 40
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    with open(path, "wb") as f:
        f.write(file_header + info + pixels)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, rows in ART.items():
        write_bmp(os.path.join(out, name + ".bmp"), rows)


if __name__ == "__main__":
    main()
