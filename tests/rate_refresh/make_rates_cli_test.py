"""ferravane-make-rates from the command line: bad input gets a clear message,
a non-zero status and no file changed; merged output is reproducible; a
refreshed file made from the monthly table and the Treasury's daily download
is the shipped one, and a freshly made one loads and verifies in the program.
Usage: make_rates_cli_test.py MAKE_RATES FERRAVANE BINARY_DIR SOURCE_DIR SHARED_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

MAKE_RATES, FERRAVANE, BINARY, SOURCE, SHARED = sys.argv[1:6]
SHIPPED = os.path.join(SOURCE, "data", "rates.txt")
MONTHLY = os.path.join(SHARED, "data", "treasury_cmt_monthly.csv")
DAILY = os.path.join(SHARED, "data", "treasury_par_yield_daily_2025.csv")
DAILY_HEADER = "Date,3 Mo,6 Mo,1 Yr,2 Yr,3 Yr,5 Yr,7 Yr,10 Yr,30 Yr\n"


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class MakeRates(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="fv-make-rates-")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)
        return self.path(name)

    def run_tool(self, *words):
        done = subprocess.run([MAKE_RATES, *words], cwd=self.dir, capture_output=True, timeout=120)
        return done.returncode, done.stdout.decode(), done.stderr.decode()

    def need_shared(self):
        if not (os.path.exists(MONTHLY) and os.path.exists(DAILY)):
            self.skipTest("no Treasury yields in " + os.path.dirname(MONTHLY))

    def test_bad_input_changes_nothing(self):
        partial_month = DAILY_HEADER + "2025-07-10,4,4,4,4,4,4,4,4,4\n2025-07-11,4,4,4,4,4,4,4,4,4\n"
        cases = [
            ("damaged.csv", 'Date,"3 Mo\n', "damaged.csv: not a CSV file"),
            ("letters.csv", DAILY_HEADER + "2025-07-10,4,4,x,4,4,4,4,4,4\n",
             'letters.csv, row 2: "x" is not a number'),
            ("partial.csv", partial_month, "partial.csv: no month with a yield for all nine maturities"),
            ("missing.csv", None, "missing.csv: cannot read it"),
        ]
        shutil.copy(SHIPPED, self.path("rates.txt"))
        for name, text, message in cases:
            if text is not None:
                self.write(name, text)
            status, _, err = self.run_tool("--months", "months.csv", "-o", "rates.txt", name)
            self.assertEqual(status, 1, name)
            self.assertIn(message, err, name)
            self.assertEqual(read_bytes(self.path("rates.txt")), read_bytes(SHIPPED), name)
            self.assertFalse(os.path.exists(self.path("months.csv")), name)

    def test_an_output_that_is_not_a_rate_file_is_not_replaced(self):
        self.need_shared()
        self.write("notes.txt", "my notes\n")
        status, _, err = self.run_tool("-o", "notes.txt", MONTHLY)
        self.assertEqual(status, 1)
        self.assertIn("notes.txt: not a rate file", err)
        with open(self.path("notes.txt")) as f:
            self.assertEqual(f.read(), "my notes\n")

    def test_command_line_errors(self):
        for words in ([], ["-o"], ["--frobnicate", "x.csv"], ["--months", "r.txt", "-o", "r.txt", "x.csv"]):
            status, _, err = self.run_tool(*words)
            self.assertEqual(status, 2, words)
            self.assertIn("usage: ferravane-make-rates", err, words)

    def test_merged_output_is_reproducible_and_matches_the_shipped_file(self):
        self.need_shared()
        outputs = []
        for n in (1, 2):
            status, out, err = self.run_tool("--months", "months%d.csv" % n, "-o", "rates%d.txt" % n, MONTHLY, DAILY)
            self.assertEqual(status, 0, err)
            self.assertIn("6 replacing earlier ones", out)
            self.assertIn("2025-07 left out: the file ends inside it", err)
            outputs.append((read_bytes(self.path("rates%d.txt" % n)), read_bytes(self.path("months%d.csv" % n))))
        self.assertEqual(outputs[0], outputs[1])
        # The daily download gives the months the monthly table holds, so the
        # refresh over the shipped file keeps it byte for byte.
        shutil.copy(SHIPPED, self.path("rates.txt"))
        status, out, err = self.run_tool("-o", "rates.txt", MONTHLY, DAILY)
        self.assertEqual(status, 0, err)
        self.assertIn("83 of 83 checksum blocks as before", out)
        self.assertEqual(read_bytes(self.path("rates.txt")), read_bytes(SHIPPED))

    def test_a_fresh_file_loads_and_verifies_in_the_program(self):
        self.need_shared()
        # The monthly table to December 2024, then the daily download: every
        # block made afresh, from each line alone.
        with open(MONTHLY) as f:
            lines = [line for line in f if not line.startswith("2025-")]
        self.write("to2024.csv", "".join(lines))
        status, _, err = self.run_tool("-o", "fresh.txt", "to2024.csv", DAILY)
        self.assertEqual(status, 0, err)
        self.assertNotEqual(read_bytes(self.path("fresh.txt")), read_bytes(SHIPPED))

        # An installed layout holding the fresh file, and one the shipped.
        results = []
        for rates in ("fresh.txt", SHIPPED):
            prefix = tempfile.mkdtemp(dir=self.dir)
            os.makedirs(os.path.join(prefix, "bin"))
            data = os.path.join(prefix, "share", "ferravane")
            os.makedirs(data)
            shutil.copy(FERRAVANE, os.path.join(prefix, "bin"))
            for name in ("topics.txt", "1.bin", "3.bin", "4.bin"):
                shutil.copy(os.path.join(BINARY, name), data)
            shutil.copy(self.path(rates), os.path.join(data, "rates.txt"))
            env = dict(os.environ, FERRAVANE_SETTINGS=os.path.join(prefix, "settings.ini"))
            env.pop("FERRAVANE_PRINT_PDF", None)
            example = os.path.join(SOURCE, "examples", "direct_loan.wk1")
            done = subprocess.run([os.path.join(prefix, "bin", "ferravane"), "file", "out.txt", example,
                                   "WATER_LOANS"], cwd=prefix, env=env, capture_output=True, timeout=120)
            self.assertEqual(done.returncode, 0, done.stderr.decode())
            with open(os.path.join(prefix, "out.txt"), "rb") as f:
                text = f.read().decode("latin-1")
            results.append([line for line in text.split("\r\n") if line[:6].strip().isdigit()])
        self.assertTrue(results[0])
        self.assertEqual(results[0], results[1])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
