"""Seed inputs for the fuzz targets whose input is not a file format of its
own, made from the example programs' sources (examples/source/*.txt: one
spreadsheet row per line, cells separated by tabs).

  make_seeds.py range_parser OUTDIR SOURCE...   the range parser's byte form
  make_seeds.py grid OUTDIR SOURCE...           the calculation's text grid

Usage from scripts/fuzz; /usr/bin/python3 with the standard library only."""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import make_examples  # noqa: E402  the examples' own source reader

WIDEST, HIGHEST, LONGEST_TEXT = 8, 40, 39


def range_parser_bytes(example):
    """The grid as fuzz_range_parser decodes it: width, height, shape and
    budget-year bytes, then one choice byte (and its payload) per cell."""
    rows = [row[:WIDEST] for row in example.rows[:HIGHEST]]
    width = max(2, max((len(row) for row in rows), default=2))
    height = max(6, len(rows))
    out = bytearray([width - 2, height - 6, 0, 2001 - 1990])
    for r in range(height):
        row = rows[r] if r < len(rows) else []
        for c in range(width):
            if r == 0 and c == 0:
                continue  # the decoder puts "Name" there
            value = row[c] if c < len(row) else None
            if value is None:
                out.append(0)
            elif isinstance(value, float):
                if c == 0:
                    out += bytes([3, int(value) & 0xFF])
                else:
                    out.append(3)
                    out += struct.pack(">d", value)
            else:
                text = value.encode("latin-1")[:LONGEST_TEXT]
                out += bytes([6, len(text)]) + text
    return bytes(out)


def grid_text(path):
    """The source itself: the calculation target reads the same tab grid."""
    with open(path, "rb") as source:
        return source.read()


def main(argv):
    kind, outdir, sources = argv[0], argv[1], argv[2:]
    os.makedirs(outdir, exist_ok=True)
    for path in sources:
        name = os.path.splitext(os.path.basename(path))[0]
        if kind == "range_parser":
            data = range_parser_bytes(make_examples.read_source(path))
        elif kind == "grid":
            data = grid_text(path)
        else:
            raise SystemExit("make_seeds.py: unknown kind " + kind)
        with open(os.path.join(outdir, "example-" + name), "wb") as seed:
            seed.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
