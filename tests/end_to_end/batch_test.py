"""End-to-end runs of the built ferravane program in batch mode: every command
on the shipped examples, the command-line errors, the run failures and what
each leaves behind. Usage: batch_test.py FERRAVANE WBDUMP SOURCE_DIR"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

FERRAVANE, WBDUMP, SOURCE = sys.argv[1:4]
sys.path.insert(0, os.path.join(SOURCE, "tools"))
import make_examples  # noqa: E402  the examples' own WK1 writer

EXAMPLES = os.path.join(SOURCE, "examples")
RANGES = {"direct_loan": "WATER_LOANS", "loan_guarantee": "WORKING_CAPITAL",
          "disbursement_periods": "HOUSING_REHAB", "warnings": "FARM_EQUIPMENT"}


def cohort_lines(display):
    """The rows of the subsidy table: they start with a blank and a year."""
    return [line for line in display.split("\r\n") if line[:6].strip().isdigit()]


class Batch(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="fv-e2e-")
        self.settings = os.path.join(self.dir, "settings.ini")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def settings_file(self, **values):
        with open(self.settings, "w") as ini:
            ini.write("[Runtime%20options]\n")
            for key, value in values.items():
                ini.write("%s=%s\n" % (key, value))

    def run_ferravane(self, *words, env_extra=None):
        env = dict(os.environ, FERRAVANE_SETTINGS=self.settings)
        env.pop("FERRAVANE_PRINT_PDF", None)
        env.update(env_extra or {})
        done = subprocess.run([FERRAVANE, *words], env=env, capture_output=True, timeout=120)
        return done.returncode, done.stdout.decode("latin-1"), done.stderr.decode("latin-1")

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read().decode("latin-1")

    def write_program(self, name, source_text):
        source = self.path(name + ".txt")
        with open(source, "w") as f:
            f.write(source_text)
        example = make_examples.read_source(source)
        with open(self.path(name + ".wk1"), "wb") as f:
            f.write(make_examples.wk1_bytes(example))
        return self.path(name + ".wk1")

    # --- the commands on the examples ---

    def test_file_mode_gives_the_same_subsidy_from_every_format(self):
        for example, range_name in RANGES.items():
            tables = []
            for ext in ("wk1", "wk3", "xls"):
                out = "%s_%s.txt" % (example, ext)
                status, _, err = self.run_ferravane("file", self.path(out), os.path.join(EXAMPLES, example + "." + ext),
                                                    range_name)
                self.assertEqual(status, 0, err)
                text = self.read(out)
                self.assertIn("Subsidy and components display", text)
                self.assertTrue(text.endswith("\r\n") or "Warning messages:" in text)
                tables.append(cohort_lines(text))
            self.assertTrue(tables[0], example)
            self.assertEqual(tables[0], tables[1], example)
            self.assertEqual(tables[0], tables[2], example)

    def test_import_file_is_the_same_from_every_format(self):
        # The lines that name the spreadsheet, its date and the run's time differ by nature.
        varying = ('"Spreadsheet name', '"Last updated on', '"Run date/time')
        for example, range_name in RANGES.items():
            imports = {}
            for ext in ("wk1", "wk3", "xls", "xlsx", "ods"):
                out = "%s_%s.csv" % (example, ext)
                status, _, err = self.run_ferravane("import", self.path(out), os.path.join(EXAMPLES, example + "." + ext),
                                                    range_name)
                self.assertEqual(status, 0, "%s.%s: %s" % (example, ext, err))
                imports[ext] = [line for line in self.read(out).split("\r\n") if not line.startswith(varying)]
            self.assertGreater(len(imports["wk1"]), 10, example)
            for ext in ("wk3", "xls", "xlsx", "ods"):
                self.assertEqual(imports[ext], imports["wk1"], "%s.%s" % (example, ext))

    def test_warnings_go_after_the_display_in_file_mode(self):
        status, _, err = self.run_ferravane("file", self.path("w.txt"), os.path.join(EXAMPLES, "warnings.wk1"),
                                            "FARM_EQUIPMENT")
        self.assertEqual(status, 0, err)
        self.assertIn("\n\nWarning messages:\n", self.read("w.txt"))

    def test_import_file(self):
        status, _, err = self.run_ferravane("import", self.path("i.csv"), os.path.join(EXAMPLES, "direct_loan.wk1"),
                                            "WATER_LOANS")
        self.assertEqual(status, 0, err)
        text = self.read("i.csv")
        lines = text.split("\r\n")
        self.assertTrue(lines[0].startswith('"Ferravane version..'))
        self.assertIn('"Cohort"  "Total"    "Interest"  "Default"   "Fee"     "Other"    "Single effective"', lines)
        self.assertEqual(len([l for l in lines if l[:4] in ("2001", "2002", "2003")]), 3)
        self.assertIn('"(none)"', lines)

    def test_log_file_collects_one_line_per_cohort_per_run(self):
        for _ in range(2):
            status, _, err = self.run_ferravane("logfile", self.path("runs.log"),
                                                os.path.join(EXAMPLES, "direct_loan.wk1"), "WATER_LOANS", "budget", "2001")
            self.assertEqual(status, 0, err)
        lines = [l for l in self.read("runs.log").splitlines() if l]
        self.assertEqual(len(lines), 6)
        self.assertIn('(WATER_LOANS)", 2001, ', lines[0])
        self.assertIn('"Budget forecast rates, Budget 2001"', lines[0])
        self.assertTrue(lines[0].endswith('"(no warning messages)"'))

    def test_wk3_output_follows_the_spreadsheet_mask(self):
        self.settings_file(online_spreadsheet_options=2 | 64)
        status, _, err = self.run_ferravane("wk3", self.path("out.wk3"), os.path.join(EXAMPLES, "direct_loan.wk1"),
                                            "WATER_LOANS")
        self.assertEqual(status, 0, err)
        dump = subprocess.run([WBDUMP, self.path("out.wk3")], capture_output=True, check=True).stdout.decode("latin-1")
        sheets = {line.split("\t")[1].split(":")[0] for line in dump.splitlines() if line.startswith("cell\t")}
        self.assertEqual(sheets, {"B", "G"})
        self.assertIn("Subsidy and components display", dump)

    def test_cohorts_on_one_thread_and_on_many_give_the_same_outputs(self):
        lines = ["@range\tMANY", "Name\tMany cohorts", "Program type\tdirect", "Budget year\t2001",
                 "Timing\tquarterly, end"]
        for n in range(60):
            lines += ["Obligations", "Disbursements\t%d\t%d" % (100 + n, 40 + n % 5)]
            if n % 7 == 3:
                continue  # no repayments: no single effective rate (message 57)
            # Every tenth cohort's principal is wider than a display line, so it is divided.
            width = 130 + n if n % 10 == 0 else 12 + n % 9
            lines.append("Principal pmts, scheduled\t" + "\t".join(str(10 + (n * 3 + k) % 11) for k in range(width)))
            lines.append("Defaults [annual, middle]\t%d\t-1" % (-2 - n % 3))
        programs = dict(RANGES)
        programs["many"] = "MANY"
        many = self.write_program("many", "\n".join(lines) + "\n")
        def outputs(threads, commands=(("import", "out.csv"), ("file", "out.txt"), ("wk3", "out.wk3"))):
            texts = []
            for name, range_name in programs.items():
                workbook = many if name == "many" else os.path.join(EXAMPLES, name + ".wk1")
                for command, out in commands:
                    status, _, err = self.run_ferravane(command, self.path(out), workbook, range_name,
                                                        env_extra={"FERRAVANE_THREADS": threads})
                    self.assertEqual(status, 0, err)
                    if command == "wk3":
                        text = subprocess.run([WBDUMP, self.path(out)], capture_output=True,
                                              check=True).stdout.decode("latin-1")
                    else:
                        text = self.read(out)
                    # The run's time stamp is the only thing two runs may differ in.
                    texts.append(re.sub(r"\w+ \d+ \w+ \d{4} \d\d:\d\d:\d\d", "(run time)", text))
            return texts

        # The single effective rate searched; every display into the spreadsheet output, with and
        # without the derivation display (which goes over the cohorts once more as it draws them).
        # Both keep the rows' distributed parts, which those displays show.
        text_outputs = (("import", "out.csv"), ("file", "out.txt"))
        for with_derivation in (False, True):
            self.settings_file(online_spreadsheet_options=0xFE if with_derivation else 0xDE,
                               calc_single_effective_rate=1, online_filename=self.path("online.wk3"))
            self.assertEqual(outputs("1"), outputs("4"))
        kept = outputs("1", text_outputs)
        # Outputs that show no parts: the calculation builds each cohort's parts again, the figures stay.
        self.settings_file(online_spreadsheet_options=2 | 64, calc_single_effective_rate=1,
                           online_filename=self.path("online.wk3"))
        self.assertEqual(outputs("1", text_outputs), kept)
        self.assertEqual(outputs("4", text_outputs), kept)

    def test_wk3_command_writes_an_excel_workbook_for_an_xlsx_name(self):
        try:
            import openpyxl
        except ImportError:
            self.skipTest("python3-openpyxl is not installed")
        self.settings_file(online_spreadsheet_options=2 | 64)
        status, _, err = self.run_ferravane("wk3", self.path("out.xlsx"), os.path.join(EXAMPLES, "direct_loan.wk1"),
                                            "WATER_LOANS")
        self.assertEqual(status, 0, err)
        book = openpyxl.load_workbook(self.path("out.xlsx"))
        self.assertEqual(book.sheetnames, ["Subsidy", "Messages"])
        rows = [[cell.value for cell in row] for row in book["Subsidy"].iter_rows()]
        self.assertIn(["Program name" + "." * 42, "Rural Water Facility Loans"], [r[:2] for r in rows])
        # The cohort rows hold numbers, as the subsidy display shows them (see examples/README.md).
        cohorts = [r for r in rows if isinstance(r[0], (int, float))]
        self.assertEqual([r[:7] for r in cohorts], [[2001, 2.46, 1.79, 1.63, -0.95, 0, 5.3118],
                                                    [2002, 1.99, 1.2, 1.74, -0.95, 0, 5.3114],
                                                    [2003, 0.04, -0.75, 1.75, -0.95, 0, 5.2765]])
        if shutil.which("ssconvert") is not None:
            csv = self.path("subsidy.csv")
            subprocess.run(["ssconvert", "-T", "Gnumeric_stf:stf_assistant", "-O", "sheet=Subsidy separator=,",
                            self.path("out.xlsx"), csv], capture_output=True, check=True)
            self.assertIn("\n2001,2.46,1.79,1.63,-0.95,0,5.311", self.read("subsidy.csv"))

    def test_wk3_without_spreadsheet_output_leaves_the_file_as_created(self):
        status, _, err = self.run_ferravane("wk3", self.path("none.WK3"), os.path.join(EXAMPLES, "direct_loan.wk1"),
                                            "WATER_LOANS")
        self.assertEqual(status, 0, err)
        self.assertEqual(os.path.getsize(self.path("none.WK3")), 0)

    def test_print_into_a_pdf(self):
        if shutil.which("pdftotext") is None:
            self.skipTest("pdftotext (poppler-utils) is not installed")
        pdf = self.path("printed.pdf")
        spreadsheet = os.path.join(EXAMPLES, "warnings.wk1")
        status, _, err = self.run_ferravane("print", spreadsheet, "FARM_EQUIPMENT",
                                            env_extra={"FERRAVANE_PRINT_PDF": pdf})
        self.assertEqual(status, 0, err)
        def pdf_text(path):
            return subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, check=True).stdout.decode()
        subsidy = pdf_text(pdf)
        self.assertIn("Subsidy and components display", subsidy)
        self.assertIn("page 1", subsidy)
        # The example has warnings: the messages display is the second job.
        self.assertIn("Error and warning messages", pdf_text(self.path("printed-2.pdf")))

    # --- what goes wrong ---

    def test_command_line_errors_run_nothing(self):
        cases = [
            (["book.wk1"], "Command line error:  the range name appears to be missing from the command line."),
            (["print"], "Command line error:  the command line has a single word \"print\""),
            (["wk3", self.path("out.txt"), "book.wk1", "R"], "The filename MUST have a \"wk3\" extension."),
            (["wk3", self.path("out.xls"), "book.wk1", "R"], "The filename MUST have a \"wk3\" extension."),
        ]
        for words, message in cases:
            status, out, err = self.run_ferravane(*words)
            self.assertEqual(status, 1, words)
            self.assertIn(message, err)
        self.assertFalse(os.path.exists(self.path("out.txt")))
        self.assertFalse(os.path.exists(self.path("out.xls")))

    def test_run_failures_are_reported_per_mode_and_write_nothing(self):
        good = os.path.join(EXAMPLES, "direct_loan.wk1")
        damaged = self.path("damaged.wk1")
        with open(damaged, "wb") as f:
            f.write(b"\x00\x00\x02\x00\x06")
        cases = [
            (["file", self.path("o.txt"), good, "NOPE"],
             "An error occured while calculating a subsidy from:\nspreadsheet %s and range NOPE\n\n"
             "(Technical message:  E026:  Range not found)" % good),
            (["import", self.path("o.txt"), damaged, "R"], "spreadsheet %s and range R" % damaged),
            (["file", self.path("o.txt"), good, "WATER_LOANS", "budget", "1850"],
             "(Technical message:  Unable to find selection Budget 1850 among the Budget forecast rates rate "
             "choices)"),
        ]
        for words, message in cases:
            status, _, err = self.run_ferravane(*words)
            self.assertEqual(status, 1, words)
            self.assertIn(message, err)
            self.assertFalse(os.path.exists(self.path("o.txt")), words)
        # The log file mode writes the failure into the log instead.
        status, _, err = self.run_ferravane("logfile", self.path("f.log"), good, "NOPE")
        self.assertEqual(status, 1)
        self.assertEqual(self.read("f.log"), '"%s (NOPE)",  "An error occured while calculating a subsidy.  '
                         'Technical message:  E026:  Range not found"\r\n' % good)

    def test_workbooks_of_today_that_cannot_be_read_say_why(self):
        truncated = self.path("truncated.xlsx")
        with open(os.path.join(EXAMPLES, "direct_loan.xlsx"), "rb") as f:
            image = f.read()
        with open(truncated, "wb") as f:
            f.write(image[:len(image) // 2])
        binary = self.path("binary.xlsb")
        with open(binary, "wb") as f:
            f.write(b"not really a workbook")
        cases = [
            (truncated, "Spreadsheet file %s is damaged: its ZIP container is truncated or is no ZIP archive." % truncated),
            (binary, "Spreadsheet file %s is an Excel binary workbook (.xlsb), a format that is not supported." % binary),
        ]
        for spreadsheet, message in cases:
            status, _, err = self.run_ferravane("import", self.path("o.csv"), spreadsheet, "WATER_LOANS")
            self.assertEqual(status, 1, spreadsheet)
            self.assertIn(message, err.replace("\n", " "))
            self.assertFalse(os.path.exists(self.path("o.csv")))

    def test_conflict_resolution_failure_becomes_messages_56_and_0(self):
        # The spreadsheet's choices win (the default); it asks for an actual-rate set that does not exist.
        spreadsheet = self.write_program("analysis", "@range\tDATA\nName\tAnalysis run\nProgram type\tdirect\n"
                                         "Budget year\t2001\nPurpose\tanalysis\nRate assumption\tActual, 1850\n"
                                         "Obligations\nDisbursements\t100\nPrincipal pmts, scheduled\t50\t50\n")
        status, _, err = self.run_ferravane("logfile", self.path("c.log"), spreadsheet, "DATA")
        self.assertEqual(status, 1)
        self.assertIn("Spreadsheet calls for a rate selection that does not exist.", err)
        log = self.read("c.log")
        self.assertIn('"Subsidy has not been computed"', log)
        # The first line numbered 56, each further line that ends in a line break numbered 0.
        self.assertIn('"(4 warning messages)"', log)

    def test_the_input_spreadsheet_is_never_an_output(self):
        copy = self.path("book.wk1")
        shutil.copy(os.path.join(EXAMPLES, "direct_loan.wk1"), copy)
        with open(copy, "rb") as f:
            before = f.read()
        for command in ("file", "import", "logfile"):
            status, _, err = self.run_ferravane(command, copy, copy, "WATER_LOANS")
            self.assertEqual(status, 1, command)
            self.assertIn("being read", err)
        with open(copy, "rb") as f:
            self.assertEqual(f.read(), before)

    def test_help_and_version(self):
        status, out, _ = self.run_ferravane("--help")
        self.assertEqual(status, 0)
        self.assertIn("Usage: ferravane", out)
        status, out, _ = self.run_ferravane("--version")
        self.assertEqual(status, 0)
        self.assertTrue(out.startswith("ferravane "))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
