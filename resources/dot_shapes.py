#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

"""List, check and name the floating shapes of a Word 97-2003 file (.doc/.dot).

For each page-anchored shape of the main text it prints the shape id, the
OfficeArt name (property 0x0380) and the rectangle in twips from the FSPA
table:

    dot_shapes.py card-template.dot
    dot_shapes.py card-template.dot --expect "Text Box 8=8985,11740,2304,2629"
    dot_shapes.py card-template.dot --name "Text Box 8=8985,11740,2304,2629"

--expect (repeatable): exit status 1 unless a shape of that name exists at
exactly that left, top, width, height.
--name (repeatable): give the shape at exactly that rectangle that name and
make it unfilled, then rewrite the file. The office's Word export keeps the
frame names of the source document only for drawing shapes, and it marks
text frames and pictures as filled with white, which would hide whatever lies
below them; this puts both right.
Only the Python standard library is used.
"""
import argparse
import struct
import sys

FREESECT = 0xFFFFFFFF
ENDOFCHAIN = 0xFFFFFFFE


class CompoundFile:
    """Just enough of the compound-file container to read streams by name."""

    def __init__(self, data):
        if data[:8] != b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1":
            raise ValueError("not a compound file")
        self.data = data
        self.ssize = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini_ssize = 1 << struct.unpack_from("<H", data, 0x20)[0]
        n_fat, first_dir = struct.unpack_from("<II", data, 0x2C)
        self.mini_cutoff, first_minifat, _n_minifat, first_difat, n_difat = \
            struct.unpack_from("<IIIII", data, 0x38)
        difat = list(struct.unpack_from("<109I", data, 0x4C))
        sect = first_difat
        for _ in range(n_difat):
            if sect in (FREESECT, ENDOFCHAIN):
                break
            entries = struct.unpack_from("<%dI" % (self.ssize // 4), self._sector(sect))
            difat.extend(entries[:-1])
            sect = entries[-1]
        fat_bytes = b"".join(self._sector(s) for s in difat[:n_fat] if s != FREESECT)
        self.fat = struct.unpack("<%dI" % (len(fat_bytes) // 4), fat_bytes)
        dir_bytes = self._chain(first_dir)
        self.dir_bytes = dir_bytes
        self.entries = {}
        self.index = {}
        root = None
        for off in range(0, len(dir_bytes) - 127, 128):
            name_len = struct.unpack_from("<H", dir_bytes, off + 64)[0]
            kind = dir_bytes[off + 66]
            if kind == 0 or name_len < 2:
                continue
            name = dir_bytes[off:off + name_len - 2].decode("utf-16-le")
            start, size = struct.unpack_from("<II", dir_bytes, off + 116)
            if kind == 5:
                root = (start, size)
            else:
                self.entries[name] = (start, size)
                if kind == 2:
                    self.index[name] = off // 128
        self.mini_stream = self._chain(root[0])[:root[1]] if root else b""
        mf = self._chain(first_minifat) if first_minifat != ENDOFCHAIN else b""
        self.minifat = struct.unpack("<%dI" % (len(mf) // 4), mf)

    def _sector(self, n):
        off = (n + 1) * self.ssize
        return self.data[off:off + self.ssize]

    def _chain(self, start):
        out, sect, seen = [], start, set()
        while sect not in (ENDOFCHAIN, FREESECT) and sect not in seen:
            seen.add(sect)
            out.append(self._sector(sect))
            sect = self.fat[sect]
        return b"".join(out)

    def stream(self, name):
        start, size = self.entries[name]
        if size < self.mini_cutoff:
            out, sect = [], start
            while sect not in (ENDOFCHAIN, FREESECT):
                off = sect * self.mini_ssize
                out.append(self.mini_stream[off:off + self.mini_ssize])
                sect = self.minifat[sect]
            return b"".join(out)[:size]
        return self._chain(start)[:size]


def officeart_records(buf, start, end):
    """Yield (type, instance, body_start, body_end) for the records in buf[start:end]."""
    pos = start
    while pos + 8 <= end:
        ver_inst, rtype, length = struct.unpack_from("<HHI", buf, pos)
        body = pos + 8
        yield rtype, ver_inst >> 4, ver_inst & 0xF, body, min(body + length, end)
        pos = body + length


def shape_names(buf, start, end, names):
    """Collect shape id -> name from every shape container under buf[start:end]."""
    for rtype, inst, ver, b, e in officeart_records(buf, start, end):
        if rtype == 0xF004:  # shape container
            spid, name = None, None
            for t2, inst2, _v2, b2, e2 in officeart_records(buf, b, e):
                if t2 == 0xF00A:
                    spid = struct.unpack_from("<I", buf, b2)[0]
                elif t2 == 0xF00B:
                    complex_at = b2 + 6 * inst2
                    for i in range(inst2):
                        opid, op = struct.unpack_from("<HI", buf, b2 + 6 * i)
                        pid, is_complex = opid & 0x3FFF, bool(opid & 0x8000)
                        if is_complex:
                            if pid == 0x0380:
                                raw = buf[complex_at:complex_at + op]
                                name = raw.decode("utf-16-le").rstrip("\0")
                            complex_at += op
            if spid is not None:
                names[spid] = name
        elif ver == 0xF:
            shape_names(buf, b, e, names)


def table_stream_name(wd):
    flags = struct.unpack_from("<H", wd, 0x0A)[0]
    return "1Table" if flags & 0x0200 else "0Table"


def fc_lcb(wd, index):
    return struct.unpack_from("<II", wd, 154 + 8 * index)


PLCF_SPA_MOM = 40
DGG_INFO = 50


def drawing_containers(buf):
    """Offsets (start, end) of the drawing containers in the OfficeArt content."""
    out = []
    rtype, _inst, _ver, _b, e = next(officeart_records(buf, 0, len(buf)))
    pos = e if rtype == 0xF000 else 0
    while pos + 9 <= len(buf):
        pos += 1  # label byte: main text or headers
        rtype, _inst, _ver, b, e = next(officeart_records(buf, pos, len(buf)))
        if rtype == 0xF002:
            out.append((pos, e))
        pos = e
    return out


def shapes_of(wd, table):
    fc_spa, lcb_spa = fc_lcb(wd, PLCF_SPA_MOM)
    fc_dgg, lcb_dgg = fc_lcb(wd, DGG_INFO)
    names = {}
    if lcb_dgg:
        buf = table[fc_dgg:fc_dgg + lcb_dgg]
        for pos, end in drawing_containers(buf):
            shape_names(buf, pos + 8, end, names)
    shapes = []
    if lcb_spa:
        n = (lcb_spa - 4) // 30
        base = fc_spa + 4 * (n + 1)
        for i in range(n):
            spid, left, top, right, bottom = struct.unpack_from("<Iiiii", table, base + 26 * i)
            shapes.append({"id": spid, "name": names.get(spid), "left": left, "top": top,
                           "width": right - left, "height": bottom - top})
    return shapes


def read_shapes(path):
    with open(path, "rb") as f:
        cf = CompoundFile(f.read())
    wd = cf.stream("WordDocument")
    return shapes_of(wd, cf.stream(table_stream_name(wd)))


# ---- writing -------------------------------------------------------------

def parse_records(buf, start, end):
    """OfficeArt records as [ver, inst, type, children-or-bytes]."""
    out = []
    for rtype, inst, ver, b, e in officeart_records(buf, start, end):
        body = parse_records(buf, b, e) if ver == 0xF else bytes(buf[b:e])
        out.append([ver, inst, rtype, body])
    return out


def serialize(records):
    out = bytearray()
    for ver, inst, rtype, body in records:
        data = serialize(body) if isinstance(body, list) else body
        out += struct.pack("<HHI", ver | (inst << 4), rtype, len(data)) + data
    return bytes(out)


def named_fopt(body, count, name):
    """A property table with the name set and the fill switched off."""
    props, blobs, at = [], {}, 6 * count
    for i in range(count):
        opid, op = struct.unpack_from("<HI", body, 6 * i)
        if opid & 0x8000:
            blobs[i] = body[at:at + op]
            at += op
        props.append([opid, op, blobs.get(i)])
    props = [p for p in props if p[0] & 0x3FFF != 0x0380]
    raw = (name + "\0").encode("utf-16-le")
    props.append([0x8380, len(raw), raw])
    fill = [p for p in props if p[0] & 0x3FFF == 0x01BF]
    if fill:
        # fFilled (bit 4) off, its "use" flag (bit 20) on
        fill[0][1] = (fill[0][1] & ~0x10) | 0x100000
    else:
        props.append([0x01BF, 0x100000, None])
    props.sort(key=lambda p: p[0] & 0x3FFF)
    fixed = b"".join(struct.pack("<HI", opid, op) for opid, op, _ in props)
    return fixed + b"".join(blob for _, _, blob in props if blob is not None), len(props)


def rename(records, targets, done):
    for rec in records:
        ver, _inst, rtype, body = rec
        if rtype == 0xF004:
            fsp = [r for r in body if r[2] == 0xF00A]
            spid = struct.unpack_from("<I", fsp[0][3], 0)[0] if fsp else None
            if spid in targets:
                fopt = [r for r in body if r[2] == 0xF00B]
                if not fopt:
                    fopt = [[3, 0, 0xF00B, b""]]
                    body.insert(body.index(fsp[0]) + 1, fopt[0])
                fopt[0][3], fopt[0][1] = named_fopt(fopt[0][3], fopt[0][1], targets[spid])
                done.add(spid)
        elif ver == 0xF:
            rename(body, targets, done)


def write_compound(cf, streams):
    """A fresh compound file holding the given streams; the directory tree,
    names, class ids and times are kept as they were."""
    ssize, cutoff = 512, 4096
    dirb = bytearray(cf.dir_bytes)
    mini, minifat, big = bytearray(), [], []
    for name, idx in sorted(cf.index.items(), key=lambda kv: kv[1]):
        data = streams[name]
        off = idx * 128
        struct.pack_into("<II", dirb, off + 120, len(data), 0)
        if not data:
            struct.pack_into("<I", dirb, off + 116, ENDOFCHAIN)
        elif len(data) < cutoff:
            first, n = len(mini) // 64, -(-len(data) // 64)
            mini += data + b"\0" * (n * 64 - len(data))
            minifat += [first + i + 1 for i in range(n - 1)] + [ENDOFCHAIN]
            struct.pack_into("<I", dirb, off + 116, first)
        else:
            big.append((off, data))
    items = [("dir", bytes(dirb))] + [(off, data) for off, data in big]
    if mini:
        items.append(("mini", bytes(mini)))
        items.append(("minifat", struct.pack("<%dI" % len(minifat), *minifat)))
    counts = [-(-len(data) // ssize) for _, data in items]
    n_fat = 1
    while n_fat * (ssize // 4) < n_fat + sum(counts):
        n_fat += 1
    if n_fat > 109:
        raise ValueError("file too large for this writer")
    fat = [FREESECT] * (n_fat * ssize // 4)
    for i in range(n_fat):
        fat[i] = 0xFFFFFFFD
    starts, sect = {}, n_fat
    body = bytearray()
    for (key, data), n in zip(items, counts):
        starts[key] = sect
        for i in range(n):
            fat[sect + i] = sect + i + 1 if i < n - 1 else ENDOFCHAIN
        body += data + b"\0" * (n * ssize - len(data))
        sect += n
    for off, _data in big:
        struct.pack_into("<I", body, off + 116, starts[off])  # body starts with the directory
    root = [i for i in range(0, len(dirb), 128) if dirb[i + 66] == 5][0]
    struct.pack_into("<II", body, root + 116,
                     starts["mini"] if mini else ENDOFCHAIN, len(mini))
    header = bytearray(512)
    header[0:8] = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIIII", header, 0x28, 0, n_fat, starts["dir"], 0, cutoff,
                     starts["minifat"] if mini else ENDOFCHAIN,
                     counts[-1] if mini else 0, ENDOFCHAIN, 0)
    difat = list(range(n_fat)) + [FREESECT] * (109 - n_fat)
    struct.pack_into("<109I", header, 0x4C, *difat)
    fat_bytes = struct.pack("<%dI" % len(fat), *fat)
    return bytes(header) + fat_bytes + bytes(body)


def name_shapes(path, wanted):
    """wanted: list of (name, (left, top, width, height)). Rewrites path."""
    with open(path, "rb") as f:
        cf = CompoundFile(f.read())
    wd = bytearray(cf.stream("WordDocument"))
    tname = table_stream_name(wd)
    table = cf.stream(tname)
    shapes = shapes_of(wd, table)
    targets = {}
    for name, rect in wanted:
        hits = [s["id"] for s in shapes
                if (s["left"], s["top"], s["width"], s["height"]) == rect]
        if len(hits) != 1:
            raise SystemExit("%d shapes at %s for %r" % (len(hits), rect, name))
        targets[hits[0]] = name
    fc, lcb = fc_lcb(wd, DGG_INFO)
    buf = table[fc:fc + lcb]
    first = next(officeart_records(buf, 0, len(buf)))
    out = bytearray(buf[:first[4]])  # the drawing-group container stays as it is
    done = set()
    for pos, end in drawing_containers(buf):
        tree = parse_records(buf, pos, end)
        rename(tree, targets, done)
        out += buf[pos - 1:pos] + serialize(tree)  # label byte, then the drawing
    if done != set(targets):
        raise SystemExit("shapes not found in the drawing: %s" % sorted(set(targets) - done))
    delta = len(out) - lcb
    # everything stored after the drawing moves by delta; the FIB points at it
    n_pairs = struct.unpack_from("<H", wd, 152)[0]
    for i in range(n_pairs):
        fci, lcbi = fc_lcb(wd, i)
        if i != DGG_INFO and fci >= fc + lcb and (lcbi or fci):
            struct.pack_into("<I", wd, 154 + 8 * i, fci + delta)
    struct.pack_into("<I", wd, 154 + 8 * DGG_INFO + 4, len(out))
    new_table = table[:fc] + bytes(out) + table[fc + lcb:]
    streams = {name: cf.stream(name) for name in cf.index}
    streams["WordDocument"] = bytes(wd)
    streams[tname] = new_table
    data = write_compound(cf, streams)
    with open(path, "wb") as f:
        f.write(data)


def parse_box(text):
    name, _, rect = text.partition("=")
    rect = tuple(int(v) for v in rect.split(","))
    if not name or len(rect) != 4:
        raise SystemExit("expected NAME=LEFT,TOP,WIDTH,HEIGHT, got %r" % text)
    return name, rect


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("file")
    ap.add_argument("--expect", action="append", default=[],
                    metavar="NAME=LEFT,TOP,WIDTH,HEIGHT")
    ap.add_argument("--name", action="append", default=[],
                    metavar="NAME=LEFT,TOP,WIDTH,HEIGHT")
    args = ap.parse_args()
    if args.name:
        name_shapes(args.file, [parse_box(t) for t in args.name])
    shapes = read_shapes(args.file)
    for s in shapes:
        print("id %(id)d  name %(name)r  left %(left)d  top %(top)d  "
              "width %(width)d  height %(height)d" % s)
    ok = True
    for name, rect in (parse_box(t) for t in args.expect):
        hits = [s for s in shapes if s["name"] == name]
        if not hits:
            print("MISSING shape %r" % name)
            ok = False
        elif not any((s["left"], s["top"], s["width"], s["height"]) == rect for s in hits):
            print("WRONG place for %r: want %s" % (name, rect))
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
