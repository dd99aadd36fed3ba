#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

"""Draw the pointing-hand cursor and write it as a Windows .cur file.

    make_cursor.py HAND-M.CUR

The hand is drawn below as text, one character per pixel:
  X outline (black)   o glove (white)   s shading (light grey)   . clear
The hot spot is the tip of the raised index finger.
"""
import sys

from iconfile import write_icon_file

SIZE = 32
HAND = """
.....XX..........
....XooX.........
....XooX.........
....XooX.........
....XosX.........
....XosXXX.......
....XosXooXXX....
....XosXosXooXX..
....XosXosXosXoX.
XX..XooXosXosXosX
XoX.XoooooooosooX
XooXXoooooooooooX
.XooXoooooooooooX
..XoXoooooooooosX
..XoooooooooooosX
...XooooooooooosX
...XoooooooooossX
....XoooooooosssX
....XooooooooossX
.....XoooooooosX.
.....XoooooooosX.
.....XXXXXXXXXXX.
"""
OFFSET = (7, 2)            # where the drawing's top-left pixel lands on the cursor
TIP = (5, 0)               # fingertip inside the drawing
COLOURS = {"X": (0, 0, 0, 255), "o": (255, 255, 255, 255),
           "s": (200, 200, 200, 255), ".": (0, 0, 0, 0)}


def hand_image():
    lines = [line for line in HAND.strip().splitlines()]
    rows = [[COLOURS["."]] * SIZE for _ in range(SIZE)]
    for y, line in enumerate(lines):
        for x, ch in enumerate(line):
            rows[OFFSET[1] + y][OFFSET[0] + x] = COLOURS[ch]
    return SIZE, SIZE, rows


def hot_spot():
    return OFFSET[0] + TIP[0], OFFSET[1] + TIP[1]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_cursor.py OUTPUT.CUR")
    image = hand_image()
    x, y = hot_spot()
    if image[2][y][x] != COLOURS["X"]:
        sys.exit("the hot spot is not on the fingertip's outline")
    write_icon_file(sys.argv[1], [(image, 32, (x, y))], kind=2)


if __name__ == "__main__":
    main()
