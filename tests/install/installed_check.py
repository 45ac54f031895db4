"""Checks an installed Ferravane: the program run from another working folder
finds its data files in PREFIX/share/ferravane and computes a shipped example
as the examples' README documents it; the rate generator, the manual pages
and the guide are in their places; the desktop module in lib/ferravane (or lib/<multiarch>/ferravane) serves a
print run into a PDF; the desktop entry opens every spreadsheet
kind the program reads and names an installed icon; a program without its data names both
places it looked in. Usage: installed_check.py PREFIX SOURCE_DIR
(PREFIX is an install prefix, or the usr folder of an unpacked .deb)."""

import configparser
import glob
import gzip
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

PREFIX, SOURCE = (os.path.abspath(p) for p in sys.argv[1:3])
FERRAVANE = os.path.join(PREFIX, "bin", "ferravane")
MAKE_RATES = os.path.join(PREFIX, "bin", "ferravane-make-rates")
DATA = os.path.join(PREFIX, "share", "ferravane")

# The 2001 cohort of examples/direct_loan (WATER_LOANS) with the default
# settings, as examples/README.md gives it.
DIRECT_LOAN_2001 = "2001      2.46       1.79       1.63      -0.95       0.00     5.3118       (C)"


class Installed(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="fv-installed-")
        self.env = dict(os.environ, FERRAVANE_SETTINGS=os.path.join(self.dir, "settings.ini"))
        self.env.pop("FERRAVANE_PRINT_PDF", None)

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def run_in_scratch(self, *words):
        done = subprocess.run(list(words), cwd=self.dir, env=self.env, capture_output=True, timeout=120)
        return done.returncode, done.stdout.decode("latin-1"), done.stderr.decode("latin-1")

    def test_runs_an_example_from_another_folder(self):
        example = os.path.join(self.dir, "water.wk1")
        shutil.copy(os.path.join(SOURCE, "examples", "direct_loan.wk1"), example)
        status, _, err = self.run_in_scratch(FERRAVANE, "file", "subsidy.txt", "water.wk1", "WATER_LOANS")
        self.assertEqual(status, 0, err)
        with open(os.path.join(self.dir, "subsidy.txt"), "rb") as f:
            text = f.read().decode("latin-1")
        self.assertIn(DIRECT_LOAN_2001, text)

    def test_every_file_is_in_its_place(self):
        for name in ("rates.txt", "topics.txt", "1.bin", "3.bin", "4.bin"):
            self.assertTrue(os.path.isfile(os.path.join(DATA, name)), name)
        for page in ("ferravane.1.gz", "ferravane-make-rates.1.gz"):
            with gzip.open(os.path.join(PREFIX, "share", "man", "man1", page), "rt") as f:
                self.assertTrue(f.read().startswith(".TH "), page)
        docs = os.path.join(PREFIX, "share", "doc", "ferravane")
        for name in ("guide.md", "copyright", "changelog.gz"):
            self.assertTrue(os.path.isfile(os.path.join(docs, name)), name)

    def test_the_desktop_module_prints_from_its_installed_place(self):
        modules = glob.glob(os.path.join(PREFIX, "lib", "ferravane", "ferravane-desktop.so")) + \
            glob.glob(os.path.join(PREFIX, "lib", "*-linux-gnu", "ferravane", "ferravane-desktop.so"))
        self.assertEqual(len(modules), 1, modules)
        module = modules[0]
        self.assertEqual(os.stat(module).st_mode & 0o111, 0)  # a module is read, not run
        self.assertFalse(os.path.exists(os.path.join(PREFIX, "bin", "ferravane-desktop.so")))
        shutil.copy(os.path.join(SOURCE, "examples", "direct_loan.wk1"), os.path.join(self.dir, "water.wk1"))
        self.env["FERRAVANE_PRINT_PDF"] = os.path.join(self.dir, "printed.pdf")
        status, _, err = self.run_in_scratch(FERRAVANE, "print", "water.wk1", "WATER_LOANS")
        self.assertEqual(status, 0, err)
        with open(os.path.join(self.dir, "printed.pdf"), "rb") as f:
            self.assertEqual(f.read(5), b"%PDF-")

    def test_version_and_help_point_to_the_manual(self):
        status, version, _ = self.run_in_scratch(FERRAVANE, "--version")
        self.assertEqual(status, 0)
        self.assertRegex(version, r"^ferravane \d+\.\d+\.\d+\n$")
        status, rates_version, _ = self.run_in_scratch(MAKE_RATES, "--version")
        self.assertEqual(status, 0)
        self.assertEqual(rates_version.split()[1], version.split()[1])
        status, out, _ = self.run_in_scratch(FERRAVANE, "--help")
        self.assertEqual(status, 0)
        self.assertIn("man ferravane", out)
        self.assertIn("guide.md", out)

    def test_the_rate_generator_refreshes_the_installed_file(self):
        # Two fiscal years of flat monthly yields, FY 2024 and FY 2025.
        monthly = os.path.join(self.dir, "monthly.csv")
        with open(monthly, "w") as f:
            f.write("date,GS3M,GS6M,GS1,GS2,GS3,GS5,GS7,GS10,GS30\n")
            for n in range(24):
                year, month = 2023 + (9 + n) // 12, (9 + n) % 12 + 1
                f.write("%d-%02d-01,%s\n" % (year, month, ",".join(["4.25"] * 9)))
        status, out, err = self.run_in_scratch(MAKE_RATES, "--previous", os.path.join(DATA, "rates.txt"),
                                               "-o", "rates.txt", "monthly.csv")
        self.assertEqual(status, 0, err)
        self.assertIn("2 actual sets, 39 budget sets", out)
        with open(os.path.join(self.dir, "rates.txt")) as f:
            self.assertIn('"FY 2025 average"  4.25', f.read())

    def test_desktop_entry_and_icon(self):
        entry_path = os.path.join(PREFIX, "share", "applications", "ferravane.desktop")
        if shutil.which("desktop-file-validate"):
            done = subprocess.run(["desktop-file-validate", entry_path], capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(entry_path)
        section = entry["Desktop Entry"]
        self.assertEqual(section["Exec"], "ferravane --open %F")
        # shared-mime-info's own table tells which type each extension has.
        offered = set(filter(None, section["MimeType"].split(";")))
        globs = {}
        with open("/usr/share/mime/globs2") as f:
            for line in f:
                if not line.startswith("#"):
                    _, mime_type, pattern = line.rstrip("\n").split(":")[:3]
                    globs.setdefault(pattern, set()).add(mime_type)
        for extension in ("wk1", "wk3", "wk4", "123", "xls", "xlsx", "xlsm", "ods"):
            self.assertTrue(globs.get("*." + extension, set()) & offered, extension)
        icons = os.path.join(PREFIX, "share", "icons", "hicolor")
        self.assertTrue(os.path.isfile(os.path.join(icons, "scalable", "apps", section["Icon"] + ".svg")))
        for size in (16, 24, 32, 48, 64, 128, 256):
            with open(os.path.join(icons, "%dx%d" % (size, size), "apps", section["Icon"] + ".png"), "rb") as f:
                header = f.read(24)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual((int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")),
                             (size, size))

    def test_a_program_without_its_data_names_both_places(self):
        elsewhere = os.path.join(self.dir, "elsewhere", "bin")
        os.makedirs(elsewhere)
        shutil.copy(FERRAVANE, elsewhere)
        status, _, err = self.run_in_scratch(os.path.join(elsewhere, "ferravane"), "x.wk1", "RANGE")
        self.assertEqual(status, 1)
        self.assertIn('The file "rates.txt" in the root directory of this program is missing.', err)
        self.assertIn(os.path.join(elsewhere, "rates.txt"), err)
        self.assertIn(os.path.join(self.dir, "elsewhere", "share", "ferravane", "rates.txt"), err)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
