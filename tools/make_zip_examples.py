#!/usr/bin/python3
"""Writes the example workbooks of today's formats in examples/ from the same
readable sources as tools/make_examples.py.

    /usr/bin/python3 tools/make_zip_examples.py [--check WBDUMP] [name ...]

Each examples/source/<name>.txt becomes examples/<name>.xlsx and
examples/<name>.ods, holding the same cells and the same named range as the
example's WK1, WK3 and XLS files. Neither is written by hand: the XLSX file by
python3-openpyxl, the ODS file by gnumeric's ssconvert from the gnumeric XML
workbook that make_examples.py converts to XLS. Both packages are then
rewritten with fixed entry dates, so a regeneration with the same tools gives
the same bytes.

--check WBDUMP reads every file written with the given wbdump and compares its
cells and candidate range with the source, and reads each file back with a
second program: the XLSX with openpyxl, the ODS with gnumeric. Exit status 1
on a mismatch.
"""

import argparse
import datetime
import os
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_examples as m  # noqa: E402

FIXED_DATE = (2001, 10, 1, 0, 0, 0)


def write_xlsx(example, path):
    import openpyxl  # python3-openpyxl
    from openpyxl.workbook.defined_name import DefinedName

    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Sheet1"
    for row, col, value in example.cells():
        if isinstance(value, float) and value == int(value) and abs(value) < 2**53:
            value = int(value)
        sheet.cell(row=row + 1, column=col + 1, value=value)
    top, left, bottom, right = example.bounds()
    area = "Sheet1!$%s$%d:$%s$%d" % (m.column_letters(left), top + 1, m.column_letters(right), bottom + 1)
    book.defined_names.append(DefinedName(example.range_name, attr_text=area))
    stamp = datetime.datetime(*FIXED_DATE)
    book.properties.created = stamp
    book.properties.modified = stamp
    book.save(path)
    fix_entry_dates(path)


def write_ods(example, path):
    with tempfile.TemporaryDirectory(prefix="fv-examples-") as folder:
        source = os.path.join(folder, example.name + ".gnumeric")
        target = os.path.join(folder, example.name + ".ods")
        with open(source, "w", encoding="utf-8") as out:
            out.write(m.gnumeric_xml(example))
        run = subprocess.run(["ssconvert", "--export-type=Gnumeric_OpenCalc:odf", source, target],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True)
        if run.returncode != 0 or not os.path.isfile(target):
            raise m.SourceError("ssconvert failed for %s:\n%s" % (example.name, run.stdout))
        with open(target, "rb") as data, open(path, "wb") as out:
            out.write(data.read())
    fix_entry_dates(path)


def fix_entry_dates(path):
    """Rewrites the package with every entry dated FIXED_DATE, in the same order
    and with the same compression (an ODS mimetype entry stays first and stored)."""
    with zipfile.ZipFile(path) as old:
        entries = [(info, old.read(info.filename)) for info in old.infolist()]
    with zipfile.ZipFile(path, "w") as new:
        for info, data in entries:
            fixed = zipfile.ZipInfo(info.filename, date_time=FIXED_DATE)
            fixed.compress_type = info.compress_type
            fixed.external_attr = info.external_attr
            new.writestr(fixed, data)


def check_openpyxl(example, path):
    try:
        import openpyxl
    except ImportError:
        return None
    book = openpyxl.load_workbook(path, data_only=True)
    sheet = book.worksheets[0]
    seen = {}
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None:
                value = cell.value
                seen[(cell.row - 1, cell.column - 1)] = float(value) if isinstance(value, (int, float)) else value
    problems = []
    expected = m.expected_cells(example)
    for key in sorted(set(expected) | set(seen)):
        if expected.get(key) != seen.get(key):
            problems.append("openpyxl cell %s%d: expected %r, read %r" % (m.column_letters(key[1]), key[0] + 1,
                                                                          expected.get(key), seen.get(key)))
    top, left, bottom, right = example.bounds()
    name = book.defined_names.get(example.range_name)
    wanted = "Sheet1!$%s$%d:$%s$%d" % (m.column_letters(left), top + 1, m.column_letters(right), bottom + 1)
    if name is None or name.attr_text != wanted:
        problems.append("openpyxl: defined name %s is %r" % (example.range_name, name and name.attr_text))
    return problems


def main(argv):
    parser = argparse.ArgumentParser(description="Writes the XLSX and ODS examples from examples/source.")
    parser.add_argument("--check", metavar="WBDUMP", help="read every file written back and compare")
    parser.add_argument("names", nargs="*", help="examples to write (all when none)")
    options = parser.parse_args(argv)
    wbdump = options.check
    names = options.names or sorted(os.path.splitext(f)[0] for f in os.listdir(m.SOURCES) if f.endswith(".txt"))
    failed = False
    for name in names:
        try:
            example = m.read_source(os.path.join(m.SOURCES, name + ".txt"))
            paths = {ext: os.path.join(m.EXAMPLES, name + "." + ext) for ext in ("xlsx", "ods")}
            write_xlsx(example, paths["xlsx"])
            write_ods(example, paths["ods"])
        except (m.SourceError, OSError, ImportError) as failure:
            print("make_zip_examples: %s" % failure, file=sys.stderr)
            failed = True
            continue
        print("wrote %s.xlsx, %s.ods (range %s)" % (name, name, example.range_name))
        if wbdump:
            failed = m.check_written(wbdump, example, name, paths, {
                "ods": ("gnumeric", m.check_gnumeric),
                "xlsx": ("python3-openpyxl", lambda example, path, ext: check_openpyxl(example, path)),
            }) or failed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
