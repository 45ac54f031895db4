"""Whole batch runs of the ferravane program, process start to exit, side by
side with gnumeric's ssconvert converting the same workbook to CSV: each
example, and a generated large workbook (about 10 MB of WK1: 250 cohorts, each
with ten monthly rows of 240 amounts) through the import command, with and
without the single effective rate. Reports medians, the ratio and peak memory.

The same kind of program with 290 cohorts (about 700,000 cells) is written as
XLSX by python3-openpyxl and as ODS by gnumeric's ssconvert, and run through
the import command beside ssconvert converting it to CSV. For these the peak
memory is set against the size of the sheet XML the file holds uncompressed:
the whole run's peak, and the reader's own (a run that loads the workbook and
stops at a range it does not hold, less the peak of the same run on a small
workbook: what the program needs whatever it reads).

Usage: /usr/bin/python3 bench/batch_runs.py [BUILD_DIR] [RUNS]"""

import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import make_examples  # noqa: E402

BUILD = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "release")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 11
FERRAVANE = os.path.join(BUILD, "ferravane")
EXAMPLES = {"direct_loan": "WATER_LOANS", "loan_guarantee": "WORKING_CAPITAL",
            "disbursement_periods": "HOUSING_REHAB", "warnings": "FARM_EQUIPMENT"}


def timed(command, env=None):
    """Wall seconds and peak resident kilobytes of one run."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    start = time.perf_counter()
    subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    seconds = time.perf_counter() - start
    # ru_maxrss of children is the largest of any child so far: run the larger job last to read it.
    return seconds, max(before, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)


def peak_kb(command, env=None):
    """Peak resident kilobytes of one run, measured in a fresh child python."""
    probe = ("import resource,subprocess,sys;subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,"
             "stderr=subprocess.DEVNULL);print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    out = subprocess.run([sys.executable, "-c", probe, *command], env=env, capture_output=True, text=True, check=True)
    return int(out.stdout.strip())


def median_seconds(command, env=None):
    return statistics.median(timed(command, env)[0] for _ in range(RUNS))


def large_source(path, cohorts=250):
    lines = ["@range\tLARGE", "Name\tLarge program", "Program type\tdirect", "Budget year\t2001", "Timing\tsimple"]
    for cohort in range(cohorts):
        lines += ["Obligations", "Disbursements\t1000\t500"]
        for row in range(10):
            label = ("Principal pmts, scheduled", "Interest pmts, scheduled", "Fees and other income", "Defaults",
                     "Recoveries")[row % 5]
            sign = -1 if label == "Defaults" else 1
            amounts = "\t".join("%.2f" % (sign * (1 + (cohort * 7 + row * 3 + k) % 13) / 10) for k in range(240))
            lines.append("%s [monthly, middle]\t%s" % (label, amounts))
    source = path + ".txt"
    with open(source, "w") as f:
        f.write("\n".join(lines) + "\n")
    return make_examples.read_source(source)


def large_workbook(path):
    with open(path, "wb") as f:
        f.write(make_examples.wk1_bytes(large_source(path)))


def large_xlsx(example, path):
    """Written by openpyxl, row by row (its write-only mode)."""
    import openpyxl
    from openpyxl.workbook.defined_name import DefinedName
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Sheet1")
    rows = {}
    for row, col, value in example.cells():
        rows.setdefault(row, {})[col] = value
    for row in range(max(rows) + 1):
        cells = rows.get(row, {})
        sheet.append([cells.get(col) for col in range(max(cells) + 1)] if cells else [])
    top, left, bottom, right = example.bounds()
    area = "Sheet1!$%s$%d:$%s$%d" % (make_examples.column_letters(left), top + 1,
                                     make_examples.column_letters(right), bottom + 1)
    book.defined_names.append(DefinedName(example.range_name, attr_text=area))
    book.save(path)


def large_ods(example, path):
    """Written by ssconvert from the gnumeric workbook of the same cells."""
    source = path + ".gnumeric"
    with open(source, "w", encoding="utf-8") as out:
        out.write(make_examples.gnumeric_xml(example))
    subprocess.run(["ssconvert", "--export-type=Gnumeric_OpenCalc:odf", source, path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def sheet_xml_bytes(path):
    """Uncompressed size of the parts that hold the cells."""
    with zipfile.ZipFile(path) as package:
        return sum(i.file_size for i in package.infolist()
                   if i.filename == "content.xml" or i.filename.startswith("xl/worksheets/")
                   or i.filename == "xl/sharedStrings.xml")


def zip_workbook_runs(scratch, env, ssconvert):
    example = large_source(os.path.join(scratch, "large_zip"), cohorts=290)
    cells = sum(1 for _ in example.cells())
    small_peak = peak_kb([FERRAVANE, "import", os.path.join(scratch, "s.csv"),
                          os.path.join(ROOT, "examples", "direct_loan.xlsx"), "NO_SUCH_RANGE"], env)
    print("\n%d cells, 290 cohorts; baseline peak of a run on a small workbook: %d kB" % (cells, small_peak))
    print("%-22s %9s %9s %7s %9s %10s %10s %10s" % ("workbook", "file", "sheet XML", "ferr.", "ssconvert",
                                                      "ratio", "run peak", "reader"))
    for kind, write in (("xlsx", large_xlsx), ("ods", large_ods)):
        if kind == "ods" and not ssconvert:
            continue
        path = os.path.join(scratch, "large." + kind)
        write(example, path)
        xml = sheet_xml_bytes(path)
        command = [FERRAVANE, "import", os.path.join(scratch, "large_%s.csv" % kind), path, "LARGE"]
        ours = median_seconds(command, env)
        theirs = statistics.median(timed([ssconvert, path, os.path.join(scratch, "large_%s.txt" % kind)])[0]
                                   for _ in range(3)) if ssconvert else 0
        run_peak = peak_kb(command, env)
        load_peak = peak_kb([FERRAVANE, "import", os.path.join(scratch, "n.csv"), path, "NO_SUCH_RANGE"], env)
        print("%-22s %7.1fMB %7.1fMB %5.0fms %7.0fms %10.1f %8.1fMB %8.1fMB" % (
            "large." + kind + " import", os.path.getsize(path) / 1e6, xml / 1e6, ours * 1e3, theirs * 1e3,
            theirs / ours if ours else 0, run_peak / 1024, (load_peak - small_peak) / 1024))


def main():
    scratch = tempfile.mkdtemp(prefix="fv-bench-")
    try:
        env = dict(os.environ, FERRAVANE_SETTINGS=os.path.join(scratch, "settings.ini"))
        ssconvert = shutil.which("ssconvert")
        print("%-28s %12s %12s %8s" % ("workbook", "ferravane", "ssconvert", "ratio"))
        for name, range_name in EXAMPLES.items():
            workbook = os.path.join(ROOT, "examples", name + ".wk1")
            ours = median_seconds([FERRAVANE, "import", os.path.join(scratch, "out.csv"), workbook, range_name], env)
            theirs = median_seconds([ssconvert, workbook, os.path.join(scratch, "out.txt")]) if ssconvert else 0
            print("%-28s %10.1fms %10.1fms %8.1f" % (name + ".wk1", ours * 1e3, theirs * 1e3,
                                                       theirs / ours if ours else 0))

        large = os.path.join(scratch, "large.wk1")
        large_workbook(large)
        size = os.path.getsize(large)
        command = [FERRAVANE, "import", os.path.join(scratch, "large.csv"), large, "LARGE"]
        plain = median_seconds(command, env)
        with open(os.path.join(scratch, "ser.ini"), "w") as ini:
            ini.write("[Runtime%20options]\ncalc_single_effective_rate=1\n")
        ser_env = dict(env, FERRAVANE_SETTINGS=os.path.join(scratch, "ser.ini"))
        with_ser = median_seconds(command, ser_env)
        theirs = median_seconds([ssconvert, large, os.path.join(scratch, "large.txt")]) if ssconvert else 0
        print("%-28s %10.1fms %10.1fms %8.1f   (%.1f MB)" % ("large.wk1 import", plain * 1e3, theirs * 1e3,
                                                             theirs / plain if plain else 0, size / 1e6))
        print("%-28s %10.1fms" % ("large.wk1 import with SER", with_ser * 1e3))
        print("peak memory: ferravane %d kB, with SER %d kB, ssconvert %s kB" % (
            peak_kb(command, env), peak_kb(command, ser_env),
            peak_kb([ssconvert, large, os.path.join(scratch, "large.txt")]) if ssconvert else "-"))
        zip_workbook_runs(scratch, env, ssconvert)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
