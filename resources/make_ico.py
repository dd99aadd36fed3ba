#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

"""Build the program's Windows icon from rendered PNGs.

    make_ico.py app.ico icon-32.png icon-48.png icon-128.png icon-256.png

The 32x32 picture is stored as a 24-bit bitmap with a transparency mask (for
old shells that cannot show alpha); all larger ones as 32-bit bitmaps with alpha.
"""
import sys

from iconfile import read_png, write_icon_file


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    entries = []
    for path in sys.argv[2:]:
        image = read_png(path)
        if image[0] != image[1] or image[0] > 256:
            sys.exit("%s: an icon picture must be square and at most 256 pixels" % path)
        entries.append((image, 24 if image[0] <= 32 else 32, None))
    write_icon_file(sys.argv[1], entries, kind=1)


if __name__ == "__main__":
    main()
