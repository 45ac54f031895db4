#!/usr/bin/python3
"""Writes the worksheet templates the spreadsheet writers render over.

    /usr/bin/python3 tools/make_templates.py [folder]      (default: data/ beside tools/)

data/1.bin  WK1 worksheet for the "Wk1" clipboard format
data/3.bin  WK3 worksheet, one sheet, for the "Wk3" clipboard format
data/4.bin  WK3 worksheet for the spreadsheet output file, sheets A to H

Each is a complete worksheet with no cells. The writers rely on its shape:
it begins with the beginning-of-file record, a WK1 template has its range
record right after it, and the last 4 bytes are the end-of-file record (the
writers cut it off, append their cells and end the file again). Besides that
the templates only set column widths, so a display reads as it does on screen:
column A holds the row descriptions (55 characters in the displays), the other
columns hold numbers in 12-character fields.

The templates are written here byte by byte from the record layouts, not by
the writers they serve, so the writers' tests check them against a file made
independently.
"""

import os
import struct
import sys

FIRST_COLUMN_WIDTH = 55
COLUMN_WIDTH = 12


def record(rtype, data=b""):
    return struct.pack("<HH", rtype, len(data)) + data


def wk1_template():
    window = struct.pack(
        "<HHBBHHHHHHHHHHHHH",
        0, 0,            # cursor column, row
        0x71, 0,         # default format: general
        COLUMN_WIDTH,    # default column width
        6, 20,           # columns and rows on screen
        0, 0,            # left column, top row
        0, 0, 0, 0,      # no titles
        4, 4,            # border widths
        76, 0)           # window width
    assert len(window) == 32
    return b"".join([
        record(0, struct.pack("<H", 0x0406)),                    # beginning of file: 1-2-3 release 2
        record(6, struct.pack("<HHHH", 0, 0, 0xFFFF, 0xFFFF)),  # active range: empty
        record(2, b"\xff"),                                      # calculation: automatic
        record(3, b"\x00"),                                      # calculation order: natural
        record(4, b"\x00"),                                      # no split window
        record(5, b"\xff"),                                      # windows synchronised
        record(7, window),
        record(8, struct.pack("<HB", 0, FIRST_COLUMN_WIDTH)),    # width of column A
        record(41, b"'"),                                        # default label prefix: left
        record(1),
    ])


def wk3_template(sheets):
    start = struct.pack(
        "<HH HBB HBB 4s BB 8s",
        0x1000, 4,                  # 1-2-3 release 3 worksheet
        0, 0, 0,                    # first cell: row, sheet, column
        0xFFFF, 0, 0xFF,            # last cell: none (render fills it in)
        b"\0" * 4, 1, 2, b"\0" * 8)
    assert len(start) == 26
    parts = [record(0, start)]
    for sheet in range(sheets):
        # cell-style header (row 0, the sheet, column 0), then the width(s)
        parts.append(record(6, struct.pack("<HBBB", 0, sheet, 0, COLUMN_WIDTH)))
        parts.append(record(7, struct.pack("<HBBBB", 0, sheet, 0, 0, FIRST_COLUMN_WIDTH)))
    parts.append(record(1))
    return b"".join(parts)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    files = {"1.bin": wk1_template(), "3.bin": wk3_template(1), "4.bin": wk3_template(8)}
    for name, data in files.items():
        assert data[-4:] == b"\x01\x00\x00\x00"
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
