#!/usr/bin/env python3
"""Writes the TrueType seed fonts of the font parser's fuzz corpus.

The fonts are made here, table by table, so the corpus stays small and free of
outside licences. Each holds only the tables the parser reads (no outlines).
Usage: make_font_seeds.py CORPUS_DIR [REGRESSION_DIR]
With REGRESSION_DIR it also writes the damaged fonts kept as regression inputs.
"""
import struct
import sys
from pathlib import Path


def sfnt(tables):
    """An sfnt 1.0 file holding `tables` (tag -> bytes), each 4-byte aligned."""
    tags = sorted(tables)
    header = struct.pack(">IHHHH", 0x00010000, len(tags), 16, 0, 0)
    offset = 12 + 16 * len(tags)
    directory, body = b"", b""
    for tag in tags:
        data = tables[tag]
        directory += struct.pack(">4sIII", tag.encode(), 0, offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return header + directory + body


def head(units_per_em=1000, loc_format=0, bbox=(-50, -200, 900, 800)):
    return struct.pack(">IIIIHHQQhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0, units_per_em,
                       0, 0, *bbox, 0, 8, 2, loc_format, 0)


def hhea(ascent, descent, metrics):
    return struct.pack(">Ihhh", 0x00010000, ascent, descent, 0) + b"\0" * 24 + struct.pack(">H", metrics)


def maxp(glyphs):
    return struct.pack(">IH", 0x00005000, glyphs)


def hmtx(advances):
    return b"".join(struct.pack(">Hh", a, 0) for a in advances)


def post(angle):
    return struct.pack(">IiHhII", 0x00030000, angle << 16, 0, 0, 0, 0) + b"\0" * 16


def name(records):
    """records: (platform, encoding, language, nameId, bytes)."""
    storage, entries = b"", b""
    for platform, encoding, language, name_id, text in records:
        entries += struct.pack(">HHHHHH", platform, encoding, language, name_id, len(text), len(storage))
        storage += text
    return struct.pack(">HHH", 0, len(records), 6 + 12 * len(records)) + entries + storage


def format4(segments):
    """segments: (start, end, delta, glyph ids or None); the 0xFFFF end segment is added."""
    segments = list(segments) + [(0xFFFF, 0xFFFF, 1, None)]
    count = len(segments)
    ends = b"".join(struct.pack(">H", s[1]) for s in segments)
    starts = b"".join(struct.pack(">H", s[0]) for s in segments)
    deltas = b"".join(struct.pack(">H", s[2] & 0xFFFF) for s in segments)
    ranges, glyph_ids = b"", b""
    for i, (start, end, _, ids) in enumerate(segments):
        if ids is None:
            ranges += struct.pack(">H", 0)
        else:
            ranges += struct.pack(">H", 2 * (count - i) + len(glyph_ids))
            glyph_ids += b"".join(struct.pack(">H", g) for g in ids)
    body = struct.pack(">HHHH", 2 * count, 2, 0, 0) + ends + b"\0\0" + starts + deltas + ranges + glyph_ids
    return struct.pack(">HHH", 4, 6 + len(body), 0) + body


def format0(glyph_of_code):
    return struct.pack(">HHH", 0, 262, 0) + bytes(glyph_of_code[i] if i < len(glyph_of_code) else 0
                                                   for i in range(256))


def cmap(subtables):
    """subtables: (platform, encoding, bytes)."""
    out = struct.pack(">HH", 0, len(subtables))
    offset = 4 + 8 * len(subtables)
    data = b""
    for platform, encoding, table in subtables:
        out += struct.pack(">HHI", platform, encoding, offset + len(data))
        data += table
    return out + data


def utf16(text):
    return text.encode("utf-16-be")


def font(glyphs, advances, cmap_table, names, units=1000, angle=0, loc_format=0):
    return sfnt({"cmap": cmap_table, "head": head(units, loc_format), "hhea": hhea(800, -200, len(advances)),
                 "hmtx": hmtx(advances), "maxp": maxp(glyphs), "name": name(names), "post": post(angle)})


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    sub4 = format4([(0x20, 0x22, 1 - 0x20, None), (0x41, 0x43, 0, [4, 5, 0])])
    mac_bold = (1, 0, 0, 2, b"Bold")
    win_regular = (3, 1, 1033, 2, utf16("Regular"))
    seeds = {
        "windows-format4.ttf": font(6, [500, 600, 700, 250, 333, 444], cmap([(3, 1, sub4)]), [mac_bold, win_regular]),
        "mac-format0-and-format4.ttf": font(6, [0, 600], cmap([(1, 0, format0([0, 1, 2, 3, 4, 5] * 20)),
                                                                 (3, 1, sub4)]), [win_regular], angle=-12),
        "short-hmtx-2048-units.ttf": font(6, [1229], cmap([(0, 3, sub4), (3, 1, sub4)]), [win_regular],
                                          units=2048, loc_format=1),
        "overlapping-segments.ttf": font(6, [500] * 6, cmap([(3, 1, format4([(0x20, 0x7E, 1 - 0x20, None),
                                                                             (0x30, 0x39, 2 - 0x30, None),
                                                                             (0x10, 0x15, 0, [1, 2, 3, 4, 5, 1])]))]),
                                         [mac_bold]),
    }
    for file_name, data in seeds.items():
        (out / file_name).write_bytes(data)
    if len(sys.argv) > 2:
        write_regressions(Path(sys.argv[2]), mac_bold)


def write_regressions(out, names):
    """Damaged fonts whose cmap claims far more work than its size."""
    out.mkdir(parents=True, exist_ok=True)
    # 8000 segments, each covering every code: 500 million visits if each
    # segment is walked code by code, and each code mapped 8000 times.
    full = [(0, 0xFFFE, 1, None)] * 8000
    (out / "cmap-8000-segments-each-all-codes.ttf").write_bytes(
        font(65535, [500], cmap([(3, 1, format4(full))]), [names]))
    # Segments out of order and overlapping: a code must still map to one glyph.
    shuffled = [(0x100, 0x1FF, 0, None), (0x0, 0x2FF, 3, None), (0x80, 0x180, 0, [7] * 0x101)]
    (out / "cmap-overlapping-unsorted-segments.ttf").write_bytes(
        font(1024, [500], cmap([(3, 1, format4(shuffled))]), [names]))


if __name__ == "__main__":
    main()
