#!/usr/bin/python3
"""Writes the example workbooks in examples/ from their readable sources.

    /usr/bin/python3 tools/make_examples.py [--check WBDUMP] [name ...]

Each examples/source/<name>.txt becomes examples/<name>.wk1, examples/<name>.wk3
and examples/<name>.xls. With no names every source is written.

Source format: one spreadsheet row per line, cells separated by tabs. A cell
that reads as a decimal number is a number cell; any other non-empty cell is a
label (put it in double quotes to keep a number as a label); an empty cell is
left blank. An empty line is an empty row. Lines starting with "#" are notes.
"@range NAME" names the input range and "@origin CELL" (for example B3) puts its
upper-left cell; the range covers every row of the source and as many columns
as the widest row has.

The WK1 and WK3 files are written here byte by byte from the record layouts
(beginning of file, named range, cells in row order, end of file), not by the
program's own spreadsheet writers. The XLS file is written by a different
program: this script writes the cells and a defined name as a gnumeric XML
workbook into a temporary folder and converts it with
    ssconvert --export-type=Gnumeric_Excel:excel_biff8 in.gnumeric out.xls

--check WBDUMP runs the given wbdump executable on every file written and
compares its cells and candidate range with the source, and reads each XLS
file back with python3-xlrd when it is installed. Exit status 1 on a mismatch.
"""

import math
import os
import re
import struct
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")
SOURCES = os.path.join(EXAMPLES, "source")

NUMBER = re.compile(r"^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$")
CELL = re.compile(r"^([A-Za-z]{1,2})([1-9][0-9]*)$")

# Lotus keeps at most this much text in a label; names fit 15 characters.
MAX_LABEL = 240
MAX_NAME = 15
DOCUMENT_DATE = "2001-10-01T00:00:00Z"


class SourceError(Exception):
    pass


class Example:
    def __init__(self, name):
        self.name = name
        self.range_name = None
        self.origin = (0, 0)  # row, column, 0-based
        self.rows = []        # lists of None, float or str

    def width(self):
        return max(2, max((len(r) for r in self.rows), default=0))

    def height(self):
        return max(6, len(self.rows))

    def cells(self):
        """(row, column, value) of every non-blank cell, row by row, 0-based on the sheet."""
        top, left = self.origin
        for r, cells in enumerate(self.rows):
            for c, value in enumerate(cells):
                if value is not None:
                    yield top + r, left + c, value

    def bounds(self):
        top, left = self.origin
        return top, left, top + self.height() - 1, left + self.width() - 1


def column_number(letters):
    n = 0
    for ch in letters.upper():
        n = n * 26 + (ord(ch) - ord("A") + 1)
    return n - 1


def column_letters(n):
    text = ""
    n += 1
    while n:
        n, rest = divmod(n - 1, 26)
        text = chr(ord("A") + rest) + text
    return text


def read_source(path):
    example = Example(os.path.splitext(os.path.basename(path))[0])
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\r\n")
            where = "%s:%d" % (path, number)
            if line.startswith("#"):
                continue
            if line.startswith("@"):
                word, _, value = line.partition("\t")
                value = value.strip()
                if word == "@range":
                    if not value or len(value) > MAX_NAME or not re.match(r"^[A-Za-z_][A-Za-z0-9_]*$", value):
                        raise SourceError("%s: a range name is 1 to %d letters, digits or _" % (where, MAX_NAME))
                    example.range_name = value
                elif word == "@origin":
                    match = CELL.match(value)
                    if not match:
                        raise SourceError("%s: @origin wants a cell such as B3" % where)
                    example.origin = (int(match.group(2)) - 1, column_number(match.group(1)))
                else:
                    raise SourceError("%s: unknown directive %s" % (where, word))
                continue
            cells = []
            for text in line.split("\t") if line else []:
                if text == "":
                    cells.append(None)
                elif len(text) >= 2 and text[0] == '"' and text[-1] == '"':
                    cells.append(text[1:-1])
                elif NUMBER.match(text):
                    cells.append(float(text))
                else:
                    cells.append(text)
            while cells and cells[-1] is None:
                cells.pop()
            for value in cells:
                if isinstance(value, str) and len(value) > MAX_LABEL:
                    raise SourceError("%s: a label longer than %d characters" % (where, MAX_LABEL))
            example.rows.append(cells)
    if example.range_name is None:
        raise SourceError("%s: no @range line" % path)
    top, left, bottom, right = example.bounds()
    if right > 255 or bottom > 8191:
        raise SourceError("%s: the range does not fit a Lotus worksheet" % path)
    return example


def record(rtype, data=b""):
    if len(data) > 2048:
        raise SourceError("record of %d bytes" % len(data))
    return struct.pack("<HH", rtype, len(data)) + data


def is_small_integer(value, low, high):
    return value == math.floor(value) and low <= value <= high


# WK1: beginning of file, active range, the named range, cells, end of file.
def wk1_bytes(example):
    top, left, bottom, right = example.bounds()
    last_row = max(r for r, _, _ in example.cells())
    last_col = max(c for _, c, _ in example.cells())
    out = [
        record(0, struct.pack("<H", 0x0406)),                        # 1-2-3 release 2
        record(6, struct.pack("<HHHH", 0, 0, last_col, last_row)),   # active range
        record(11, struct.pack("<16sHHHH", example.range_name.encode("ascii"), left, top, right, bottom)),
    ]
    for row, col, value in example.cells():
        if isinstance(value, str):
            out.append(record(15, struct.pack("<BHH", 0xFF, col, row) + b"'" + value.encode("ascii") + b"\0"))
        elif is_small_integer(value, -32768, 32767):
            out.append(record(13, struct.pack("<BHHh", 0xFF, col, row, int(value))))
        else:
            out.append(record(14, struct.pack("<BHHd", 0xFF, col, row, value)))
    out.append(record(1))
    return b"".join(out)


def extended_real(value):
    """The 10-byte extended real of a double: 64-bit mantissa with its leading bit, then sign and exponent."""
    if value == 0:
        return b"\0" * 10
    fraction, exponent = math.frexp(abs(value))     # value = fraction * 2**exponent, 0.5 <= fraction < 1
    mantissa = int(math.ldexp(fraction, 64))         # exact: the fraction has 53 bits
    biased = exponent - 1 + 16383
    return struct.pack("<QH", mantissa, biased | (0x8000 if value < 0 else 0))


# WK3: beginning of file, the named range, cells, end of file; one sheet (A).
def wk3_bytes(example):
    top, left, bottom, right = example.bounds()
    last_row = max(r for r, _, _ in example.cells())
    last_col = max(c for _, c, _ in example.cells())
    start = struct.pack("<HH HBB HBB 4s BB 8s", 0x1000, 4, 0, 0, 0, last_row, 0, last_col,
                        b"\0" * 4, 1, 2, b"\0" * 8)
    out = [
        record(0, start),
        record(9, struct.pack("<H16sHBBHBB", 0, example.range_name.encode("ascii"),
                              top, 0, left, bottom, 0, right)),
    ]
    for row, col, value in example.cells():
        header = struct.pack("<HBB", row, 0, col)
        if isinstance(value, str):
            out.append(record(22, header + b"'" + value.encode("ascii") + b"\0"))
        elif is_small_integer(value, -16384, 16383):
            out.append(record(24, header + struct.pack("<h", int(value) * 2)))
        else:
            out.append(record(23, header + extended_real(value)))
    out.append(record(1))
    return b"".join(out)


def gnumeric_xml(example):
    top, left, bottom, right = example.bounds()
    cells = []
    for row, col, value in example.cells():
        if isinstance(value, str):
            cells.append('<gnm:Cell Row="%d" Col="%d" ValueType="60">%s</gnm:Cell>' % (row, col, escape(value)))
        else:
            cells.append('<gnm:Cell Row="%d" Col="%d" ValueType="40">%s</gnm:Cell>' % (row, col, repr(value)))
    area = "Sheet1!$%s$%d:$%s$%d" % (column_letters(left), top + 1, column_letters(right), bottom + 1)
    last_row = max(r for r, _, _ in example.cells())
    last_col = max(c for _, c, _ in example.cells())
    return "\n".join([
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<gnm:Workbook xmlns:gnm="http://www.gnumeric.org/v10.dtd">',
        # A fixed document date: without one the converter stamps the time of the run, and every
        # regeneration would change the XLS files.
        '  <office:document-meta xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
        ' xmlns:meta="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" xmlns:dc="http://purl.org/dc/elements/1.1/"'
        ' office:version="1.2"><office:meta><meta:creation-date>%s</meta:creation-date><dc:date>%s</dc:date>'
        '</office:meta></office:document-meta>' % (DOCUMENT_DATE, DOCUMENT_DATE),
        '  <gnm:SheetNameIndex><gnm:SheetName gnm:Cols="256" gnm:Rows="65536">Sheet1</gnm:SheetName>'
        '</gnm:SheetNameIndex>',
        '  <gnm:Names><gnm:Name><gnm:name>%s</gnm:name><gnm:value>%s</gnm:value>'
        '<gnm:position>A1</gnm:position></gnm:Name></gnm:Names>' % (escape(example.range_name), area),
        '  <gnm:Sheets><gnm:Sheet>',
        '    <gnm:Name>Sheet1</gnm:Name><gnm:MaxCol>%d</gnm:MaxCol><gnm:MaxRow>%d</gnm:MaxRow>' % (last_col, last_row),
        '    <gnm:Cells>',
        *("      " + c for c in cells),
        '    </gnm:Cells>',
        '  </gnm:Sheet></gnm:Sheets>',
        '</gnm:Workbook>',
        '',
    ])


def write_xls(example, path):
    with tempfile.TemporaryDirectory(prefix="fv-examples-") as folder:
        source = os.path.join(folder, example.name + ".gnumeric")
        target = os.path.join(folder, example.name + ".xls")
        with open(source, "w", encoding="utf-8") as out:
            out.write(gnumeric_xml(example))
        run = subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:excel_biff8", source, target],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True)
        if run.returncode != 0 or not os.path.isfile(target):
            raise SourceError("ssconvert failed for %s:\n%s" % (example.name, run.stdout))
        with open(target, "rb") as data, open(path, "wb") as out:
            out.write(data.read())


def write_binary(path, data):
    with open(path, "wb") as out:
        out.write(data)


# Checks: what wbdump and xlrd read must be what the source says.
def expected_cells(example):
    return {(r, c): v for r, c, v in example.cells()}


def coordinate_of(text):
    """'A:B12' -> (11, 1)."""
    sheet, _, cell = text.partition(":")
    match = CELL.match(cell)
    return int(match.group(2)) - 1, column_number(match.group(1))


def check_wbdump(wbdump, example, path):
    run = subprocess.run([wbdump, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True)
    problems = []
    if run.returncode != 0:
        return ["wbdump failed: %s" % run.stderr.strip()]
    seen = {}
    candidates = []
    for line in run.stdout.splitlines():
        fields = line.split("\t")
        if fields[0] == "candidate":
            candidates.append(fields[1])
        elif fields[0] == "cell":
            coord, kind, text_code, text, number_code, number = fields[1:7]
            where = coordinate_of(coord)
            if kind == "1" and number_code == "0":
                seen[where] = float(number)
            elif kind == "2" and text_code == "0":
                seen[where] = text
            else:
                seen[where] = ("other", kind)
    if candidates != [example.range_name]:
        problems.append("candidates %s, expected [%s]" % (candidates, example.range_name))
    expected = expected_cells(example)
    for key in sorted(set(expected) | set(seen)):
        if expected.get(key) != seen.get(key):
            problems.append("cell %s%d: expected %r, read %r" % (column_letters(key[1]), key[0] + 1,
                                                                 expected.get(key), seen.get(key)))
    return problems


def check_xlrd(example, path):
    try:
        import xlrd  # noqa: F401 (python3-xlrd)
    except ImportError:
        return None
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    seen = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_NUMBER:
                seen[(r, c)] = cell.value
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                seen[(r, c)] = cell.value
            elif cell.ctype != xlrd.XL_CELL_EMPTY:
                seen[(r, c)] = ("other", cell.ctype)
    problems = []
    expected = expected_cells(example)
    for key in sorted(set(expected) | set(seen)):
        if expected.get(key) != seen.get(key):
            problems.append("xlrd cell %s%d: expected %r, read %r" % (column_letters(key[1]), key[0] + 1,
                                                                      expected.get(key), seen.get(key)))
    names = [n for n in book.name_obj_list if n.name.upper() == example.range_name.upper()]
    if len(names) != 1:
        problems.append("xlrd: defined name %s not found once" % example.range_name)
    else:
        _, rlo, rhi, clo, chi = names[0].area2d()
        top, left, bottom, right = example.bounds()
        if (rlo, rhi - 1, clo, chi - 1) != (top, bottom, left, right):
            problems.append("xlrd: name %s covers rows %d-%d, columns %d-%d" % (example.range_name, rlo, rhi - 1,
                                                                                 clo, chi - 1))
    return problems


def check_gnumeric(example, path, ext):
    """Reads a WK1 or WK3 file with gnumeric's own Lotus importer, a second reader of the same bytes.

    That importer knows the version word of release 4 worksheets but not that of release 3;
    the cell and name records it reads are the same in both, so the WK3 file is read from a
    copy whose version word says release 4."""
    with tempfile.TemporaryDirectory(prefix="fv-examples-") as folder:
        source = path
        if ext == "wk3":
            with open(path, "rb") as data:
                image = bytearray(data.read())
            image[4:6] = struct.pack("<H", 0x1002)
            source = os.path.join(folder, example.name + ".wk4")
            write_binary(source, bytes(image))
        target = os.path.join(folder, example.name + ".gnumeric")
        run = subprocess.run(["ssconvert", "--export-type=Gnumeric_XmlIO:sax:0", source, target],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True)
        if run.returncode != 0 or not os.path.isfile(target):
            return ["gnumeric could not read it: %s" % run.stdout.strip()]
        with open(target, encoding="utf-8") as data:
            xml = data.read()
    seen = {}
    for row, col, kind, text in re.findall(r'<gnm:Cell Row="(\d+)" Col="(\d+)" ValueType="(\d+)"[^>]*>([^<]*)<', xml):
        text = text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", '"').replace("&amp;", "&")
        seen[(int(row), int(col))] = float(text) if kind in ("30", "40") else text
    problems = []
    expected = expected_cells(example)
    for key in sorted(set(expected) | set(seen)):
        if expected.get(key) != seen.get(key):
            problems.append("gnumeric cell %s%d: expected %r, read %r" % (column_letters(key[1]), key[0] + 1,
                                                                          expected.get(key), seen.get(key)))
    return problems



def check_written(wbdump, example, name, paths, second_readers):
    """Reads every written file back with wbdump and with the second reader of
    its extension (extension -> (reader, check returning the problems, or None
    when the reader is not installed)); prints what was found and tells whether
    any file disagreed."""
    failed = False
    for ext, path in paths.items():
        problems = check_wbdump(wbdump, example, path)
        if ext in second_readers:
            reader, check = second_readers[ext]
            found = check(example, path, ext)
            if found is None:
                print("  %s.%s: %s not installed, not read back" % (name, ext, reader))
            else:
                problems += found
        for problem in problems:
            print("  %s.%s: %s" % (name, ext, problem))
        failed = failed or bool(problems)
        if not problems:
            print("  %s.%s: checked" % (name, ext))
    return failed

def main(argv):
    wbdump = None
    names = []
    args = iter(argv)
    for arg in args:
        if arg == "--check":
            wbdump = next(args, None)
            if wbdump is None:
                print("--check wants the wbdump executable", file=sys.stderr)
                return 2
        elif arg.startswith("-"):
            print(__doc__, file=sys.stderr)
            return 2
        else:
            names.append(arg)
    if not names:
        names = sorted(os.path.splitext(f)[0] for f in os.listdir(SOURCES) if f.endswith(".txt"))
    failed = False
    for name in names:
        try:
            example = read_source(os.path.join(SOURCES, name + ".txt"))
            paths = {ext: os.path.join(EXAMPLES, name + "." + ext) for ext in ("wk1", "wk3", "xls")}
            write_binary(paths["wk1"], wk1_bytes(example))
            write_binary(paths["wk3"], wk3_bytes(example))
            write_xls(example, paths["xls"])
        except (SourceError, OSError) as failure:
            print("make_examples: %s" % failure, file=sys.stderr)
            failed = True
            continue
        print("wrote %s.wk1, %s.wk3, %s.xls (range %s)" % (name, name, name, example.range_name))
        if wbdump:
            failed = check_written(wbdump, example, name, paths, {
                "wk1": ("gnumeric", check_gnumeric),
                "wk3": ("gnumeric", check_gnumeric),
                "xls": ("python3-xlrd", lambda example, path, ext: check_xlrd(example, path)),
            }) or failed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
