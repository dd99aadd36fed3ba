# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

"""Small helpers to read PNG pictures and write Windows .ico and .cur files.

Only the Python standard library is used, so the resources can be rebuilt on
a bare system. An image is (width, height, rows), where rows is a list of
rows of (r, g, b, a) tuples, top row first.
"""
import struct
import zlib


def read_png(path):
    """Decode an 8-bit, non-interlaced RGB or RGBA PNG (what rsvg-convert writes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s: not a PNG" % path)
    pos, idat, width = 8, bytearray(), None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, ctype, _c, _f, interlace = struct.unpack(">IIBBBBB", chunk)
            if depth != 8 or ctype not in (2, 6) or interlace:
                raise ValueError("%s: need an 8-bit RGB/RGBA PNG without interlacing" % path)
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    step = 4 if ctype == 6 else 3
    stride = width * step
    raw = zlib.decompress(bytes(idat))
    rows, prior = [], bytearray(stride)
    for y in range(height):
        at = y * (stride + 1)
        kind, row = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        for i in range(stride):
            left = row[i - step] if i >= step else 0
            up = prior[i]
            if kind == 1:
                row[i] = (row[i] + left) & 255
            elif kind == 2:
                row[i] = (row[i] + up) & 255
            elif kind == 3:
                row[i] = (row[i] + ((left + up) >> 1)) & 255
            elif kind == 4:
                ul = prior[i - step] if i >= step else 0
                p = left + up - ul
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - ul)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else ul
                row[i] = (row[i] + pred) & 255
        prior = row
        if step == 4:
            rows.append([tuple(row[x:x + 4]) for x in range(0, stride, 4)])
        else:
            rows.append([tuple(row[x:x + 3]) + (255,) for x in range(0, stride, 3)])
    return width, height, rows


def _and_mask(width, height, rows, transparent):
    """1 bit per pixel, bottom-up, rows padded to 32 bits; 1 = see-through."""
    stride = (width + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if transparent(px):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib(image, bits, matte=(192, 192, 192)):
    """The device-independent bitmap of one icon or cursor image.

    bits 32: BGRA pixels, the mask marks fully transparent pixels.
    bits 24: BGR pixels without alpha; pixels at least half opaque are blended
    over the matte colour, the rest are masked out and stored black.
    """
    width, height, rows = image
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, a in row:
            if bits == 32:
                line += bytes((b, g, r, a))
            elif a < 128:
                line += b"\0\0\0"
            else:
                blend = [(c * a + m * (255 - a)) // 255 for c, m in zip((b, g, r), matte[::-1])]
                line += bytes(blend)
        line += b"\0" * (-len(line) % 4)
        pixels += line
    if bits == 32:
        mask = _and_mask(width, height, rows, lambda px: px[3] == 0)
    else:
        mask = _and_mask(width, height, rows, lambda px: px[3] < 128)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + mask


def write_icon_file(path, entries, kind=1):
    """entries: list of (image, bits, hotspot or None). kind 1 = .ico, 2 = .cur."""
    blobs = [dib(image, bits) for image, bits, _hot in entries]
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    for (image, bits, hot), blob in zip(entries, blobs):
        width, height, _rows = image
        if kind == 2:
            # a cursor keeps its hot spot where an icon keeps planes and bit count
            field1, field2 = hot
        else:
            field1, field2 = 1, bits
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0,
                           field1, field2, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)
