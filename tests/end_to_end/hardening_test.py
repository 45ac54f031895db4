"""The built ferravane program attacked as a hostile or unlucky user would:
data files that are not regular files, outputs aimed at the files the run
reads, outputs the user may not write, outputs through symbolic links,
figures too large to calculate with, control characters in texts, comments
in the settings file, no display at all, and a desktop module that is missing
or damaged. Each run must end (no hang), say
what went wrong, and leave every file it must not touch as it was.
Usage: hardening_test.py FERRAVANE SOURCE_DIR"""

import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import unittest

FERRAVANE, SOURCE = sys.argv[1:3]
BUILD = os.path.dirname(os.path.abspath(FERRAVANE))
sys.path.insert(0, os.path.join(SOURCE, "tools"))
import make_examples  # noqa: E402  the examples' own WK1 writer

EXAMPLE = os.path.join(SOURCE, "examples", "direct_loan.wk1")
RANGE = "WATER_LOANS"  # names the rate set "Budget 2001"
DATA_FILES = ("rates.txt", "topics.txt", "1.bin", "3.bin", "4.bin")
MODULE_NAME = "ferravane-desktop.so"
DESKTOP_MODULE = os.path.join(BUILD, MODULE_NAME)
NOBODY = 65534
SETTINGS = "[Runtime%20options]\n"


def file_state(path):
    """What a file is and holds, to show it was left alone."""
    st = os.lstat(path)
    if stat.S_ISLNK(st.st_mode):
        return ("link", os.readlink(path))
    if stat.S_ISREG(st.st_mode):
        with open(path, "rb") as f:
            return ("file", st.st_mode, st.st_uid, f.read())
    return ("other", stat.S_IFMT(st.st_mode), st.st_size)


class Hardening(unittest.TestCase):
    def setUp(self):
        # Inside the build folder, so the program can be hard-linked beside its own data files.
        self.dir = tempfile.mkdtemp(prefix="fv-hard-", dir=BUILD)
        os.chmod(self.dir, 0o755)
        self.settings = self.path("settings.ini")
        self.program = self.program_folder("program")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, *names):
        return os.path.join(self.dir, *names)

    def program_folder(self, name, with_module=True):
        """The program (with its desktop module, unless told) and copies of its
        data files in a folder of their own."""
        folder = self.path(name)
        os.mkdir(folder)
        os.chmod(folder, 0o755)
        program = os.path.join(folder, "ferravane")
        for built, placed in ((FERRAVANE, program), (DESKTOP_MODULE, os.path.join(folder, MODULE_NAME))):
            if placed != program and not with_module:
                continue
            try:
                os.link(built, placed)
            except OSError:
                shutil.copy2(built, placed)
        for data in DATA_FILES:
            shutil.copy(os.path.join(BUILD, data), os.path.join(folder, data))
        return program

    def write_settings(self, text=SETTINGS):
        with open(self.settings, "w") as ini:
            ini.write(text)

    def run_program(self, *words, program=None, env=None, as_nobody=False, stdout=subprocess.PIPE):
        environment = dict(os.environ, FERRAVANE_SETTINGS=self.settings)
        environment.pop("FERRAVANE_PRINT_PDF", None)
        environment.update(env or {})
        done = subprocess.run([program or self.program, *words], env=environment, stdout=stdout,
                              stderr=subprocess.PIPE, timeout=60,
                              user=NOBODY if as_nobody else None, group=NOBODY if as_nobody else None,
                              extra_groups=[] if as_nobody else None)
        out = done.stdout.decode("latin-1") if done.stdout is not None else ""
        return done.returncode, out, done.stderr.decode("latin-1")

    def program_file(self, name, source_text=None, example=None):
        """A WK1 spreadsheet from a source text (or a built example)."""
        if example is None:
            source = self.path(name + ".txt")
            with open(source, "w") as f:
                f.write(source_text)
            example = make_examples.read_source(source)
        spreadsheet = self.path(name + ".wk1")
        with open(spreadsheet, "wb") as f:
            f.write(make_examples.wk1_bytes(example))
        os.chmod(spreadsheet, 0o644)
        return spreadsheet

    # --- data files of every kind that is not a regular file ---

    def make_odd(self, path, kind, limit):
        if kind == "pipe":
            os.mkfifo(path)
        elif kind == "folder":
            os.mkdir(path)
        elif kind == "device":
            os.symlink("/dev/zero", path)
        elif kind == "too large":
            with open(path, "wb") as f:
                f.truncate(limit + 1)  # sparse: costs no disk

    def test_data_files_that_are_not_regular_files(self):
        own_failure = "cr_rates::load_custom unable to open input file"
        cases = [
            # data file, size limit, expected status, text on standard error
            ("settings", 1000000, 0, "The settings file could not be read"),
            ("rates.txt", 16000000, 1, 'The file "rates.txt" in the root directory of this program cannot be read'),
            ("topics.txt", 16000000, 1, 'The file "topics.txt" in the root directory of this program is defective'),
            ("own rates", 16000000, 0, own_failure),
            ("4.bin", 12000000, 1, 'clip_wk3::render unable to open "'),
        ]
        for data, limit, status_expected, message in cases:
            for kind in ("pipe", "folder", "device", "too large"):
                with self.subTest(data=data, kind=kind):
                    program = self.program_folder("p-%s-%s" % (data, kind.replace(" ", "-")))
                    folder = os.path.dirname(program)
                    odd = os.path.join(folder, data if data.endswith((".txt", ".bin")) else "odd")
                    if os.path.lexists(odd):
                        os.remove(odd)
                    self.make_odd(odd, kind, limit)
                    remembered = {"own_filename": odd if data == "own rates" else "",
                                  "rate_item_actual": "FY 1999 average", "rate_item_forecast": "Budget 2001",
                                  "rate_item_client": "My rates", "online_spreadsheet_options": 2}
                    self.write_settings(SETTINGS + "".join("%s=%s\n" % item for item in remembered.items()))
                    env = {"FERRAVANE_SETTINGS": odd} if data == "settings" else {}
                    before = file_state(odd)
                    output = os.path.join(folder, "out.wk3")
                    status, _, err = self.run_program("wk3", output, EXAMPLE, RANGE, program=program, env=env)
                    self.assertEqual(status, status_expected, err)
                    self.assertIn(message, err)
                    self.assertEqual(file_state(odd), before)
                    if status_expected == 0:
                        # With the settings unread there is no spreadsheet output to fill the file.
                        self.assertTrue(os.path.exists(output))
                        if data != "settings":
                            self.assertGreater(os.path.getsize(output), 0)
                    else:
                        self.assertFalse(os.path.exists(output), "a failed run leaves no output")
                    if data == "own rates":
                        # The own category alone is affected: nothing remembered was emptied.
                        with open(self.settings) as ini:
                            kept = ini.read()
                        for key, value in remembered.items():
                            self.assertIn("%s=%s\n" % (key, value), kept)

    def test_settings_comments_are_comments(self):
        text = ("# my settings\n; kept by hand\n[Runtime%20options]\n# the budget year\nbudget_year=2001\n"
                "range_names=WATER_LOANS ; the usual one\n")
        self.write_settings(text)
        for _ in range(2):  # the second run reads what the first one wrote
            status, _, err = self.run_program("file", self.path("o.txt"), EXAMPLE, RANGE)
            self.assertEqual(status, 0, err)
            self.assertNotIn("damaged", err)
        self.assertFalse(os.path.exists(self.settings + ".damaged"))
        with open(self.settings) as ini:
            written = ini.read()
        for comment in ("# my settings\n", "; kept by hand\n", "# the budget year\n", "; the usual one\n"):
            self.assertIn(comment, written)

    # --- outputs aimed at each file the run reads ---

    def test_outputs_never_overwrite_a_file_the_run_reads(self):
        own = self.path("own.txt")
        with open(own, "w") as f:
            f.write('#CLIENT-RATE-FILE\n"Mine"  1 2 3 4 5 6 7 8 9\n')
        os.link(own, self.path("own-hard-link.txt"))
        folder = os.path.dirname(self.program)
        spreadsheet = self.path("book.wk1")
        shutil.copy(EXAMPLE, spreadsheet)
        targets = {
            "the settings file": self.settings,
            "the file of your own rate assumptions": self.path("own-hard-link.txt"),
            "the data file rates.txt of this program": os.path.join(folder, "rates.txt"),
            "the data file topics.txt of this program": os.path.join(folder, "topics.txt"),
            "the data file 4.bin of this program": os.path.join(folder, "4.bin"),
            "being read": spreadsheet,
        }
        self.write_settings(SETTINGS + "own_filename=%s\n" % own)
        # A run that writes nowhere it must not settles what the program writes to its settings.
        status, _, err = self.run_program("import", "/dev/null", spreadsheet, RANGE)
        self.assertEqual(status, 0, err)
        for description, target in targets.items():
            for mode in ("file", "import", "logfile", "wk3"):
                for spelling in ("direct", "link"):
                    with self.subTest(target=description, mode=mode, spelling=spelling):
                        name = target
                        if spelling == "link" or mode == "wk3":
                            name = self.path("alias.wk3")
                            if os.path.lexists(name):
                                os.remove(name)
                            os.symlink(target, name)
                        states = {path: file_state(path) for path in targets.values()}
                        status, _, err = self.run_program(mode, name, spreadsheet, RANGE)
                        self.assertEqual(status, 1, err)
                        self.assertIn(description, err)
                        for path, state in states.items():
                            self.assertEqual(file_state(path), state, path)

    # --- permissions ---

    def test_outputs_the_user_may_not_write_are_refused(self):
        root = os.geteuid() == 0
        shared = self.path("shared")
        os.mkdir(shared)
        os.chmod(shared, 0o777)  # world-writable, no sticky bit: renaming over any file there works
        spreadsheet = self.path("book.wk1")
        shutil.copy(EXAMPLE, spreadsheet)
        os.chmod(spreadsheet, 0o644)
        cases = [
            # owner of the existing output, its mode, run as another user, expected: refused or written in place
            ("me", 0o444, False, "refused"),
            ("other", 0o444, True, "refused"),
            ("other", 0o666, True, "in place"),
        ]
        for owner, mode, other_user, outcome in cases:
            for command in ("file", "import", "logfile", "wk3"):
                with self.subTest(owner=owner, mode=oct(mode), command=command):
                    if other_user and not root:
                        self.skipTest("needs root to run the program as another user")
                    if owner == "me" and root:
                        self.skipTest("the superuser may write any file")
                    output = os.path.join(shared, "out.wk3")
                    if os.path.lexists(output):
                        os.remove(output)
                    with open(output, "w") as f:
                        f.write("the owner's data\n")
                    os.chmod(output, mode)
                    self.write_settings(SETTINGS + ("online_spreadsheet_options=2\n" if command == "wk3" else ""))
                    os.chmod(self.settings, 0o666)
                    before = file_state(output)
                    status, _, err = self.run_program(command, output, spreadsheet, RANGE, as_nobody=other_user)
                    if outcome == "refused":
                        self.assertEqual(status, 1, err)
                        self.assertEqual(file_state(output), before)
                    else:
                        self.assertEqual(status, 0, err)
                        after = os.stat(output)
                        self.assertEqual((after.st_uid, stat.S_IMODE(after.st_mode)), (os.geteuid(), mode))
                        with open(output, "rb") as f:
                            self.assertNotEqual(f.read(), b"the owner's data\n")

    # --- symbolic links and devices ---

    def test_outputs_through_symbolic_links_reach_the_file_they_name(self):
        spreadsheet = EXAMPLE
        os.mkdir(self.path("real"))
        cases = {
            "to an existing file": ("real/existing.wk3", "abs"),
            "to a file not there yet": ("real/new.wk3", "abs"),
            "relative": ("real/relative.wk3", "rel"),
            "through another link": ("real/chained.wk3", "chain"),
        }
        for case, (target, kind) in cases.items():
            for command in ("file", "import", "logfile", "wk3"):
                with self.subTest(case=case, command=command):
                    self.write_settings(SETTINGS + ("online_spreadsheet_options=2\n" if command == "wk3" else ""))
                    real = self.path(target)
                    for leftover in (real, self.path("out.wk3"), self.path("middle.wk3")):
                        if os.path.lexists(leftover):
                            os.remove(leftover)
                    if case == "to an existing file":
                        with open(real, "w") as f:
                            f.write("old\n")
                    link = self.path("out.wk3")
                    if kind == "abs":
                        os.symlink(real, link)
                    elif kind == "rel":
                        os.symlink(target, link)
                    else:
                        os.symlink(real, self.path("middle.wk3"))
                        os.symlink("middle.wk3", link)
                    status, _, err = self.run_program(command, link, spreadsheet, RANGE)
                    self.assertEqual(status, 0, err)
                    self.assertTrue(os.path.islink(link), "the link stays a link")
                    with open(real, "rb") as f:
                        content = f.read()
                    self.assertGreater(len(content), 100)
                    self.assertNotEqual(content, b"old\n")
                    self.assertEqual([n for n in os.listdir(self.path("real")) if ".tmp" in n], [])

    def test_standard_output_is_written_directly(self):
        status, out, err = self.run_program("file", "/dev/stdout", EXAMPLE, RANGE)
        self.assertEqual(status, 0, err)
        self.assertIn("Subsidy and components display", out)
        # Appended to what a redirection in append mode already holds.
        log = self.path("appended.txt")
        with open(log, "w") as f:
            f.write("earlier lines\n")
        with open(log, "ab") as f:
            status, _, err = self.run_program("import", "/dev/stdout", EXAMPLE, RANGE, stdout=f)
        self.assertEqual(status, 0, err)
        with open(log, "rb") as f:
            text = f.read().decode("latin-1")
        self.assertTrue(text.startswith("earlier lines\n\"Ferravane version"))

    # --- figures too large to calculate with ---

    def test_non_finite_figures_fail_the_run_in_every_output_mode(self):
        head = ("@range\tBIG\nName\tHuge\nProgram type\tDirect loan\nBudget year\t2001\nAmount\tThousands\n"
                "Rate assumption\tBudget, 2001\nPurpose\tBudget\nTiming\tsimple\n"
                "Import file\t%s\nOutput file\t%s\nCohort\t2001\n" % (self.path("named.csv"), self.path("named.txt")))
        programs = {
            # the row's sum is not finite: the message names it
            "row": (head + "Disbursements\t1e308\t1e308\nPrincipal pmts, scheduled\t100\t100\nEND\n",
                    'the value of the row "Disbursements"'),
            # each row is finite, the subsidy is not
            "subsidy": (head + "Disbursements\t1e307\t1e307\t1e307\nPrincipal pmts, scheduled\t1e307\t1e307\t1e307"
                        "\t1e307\nInterest pmts, scheduled\t1e306\t1e306\nEND\n", "its subsidy is not a finite number"),
        }
        have_pdf_text = shutil.which("pdftotext") is not None
        for case, (source, named) in programs.items():
            spreadsheet = self.program_file("big-" + case, source)
            for command in ("file", "import", "logfile", "wk3", "print"):
                with self.subTest(case=case, command=command):
                    self.write_settings(SETTINGS + ("online_spreadsheet_options=2\n" if command == "wk3" else ""))
                    output = self.path("out.wk3")
                    pdf = self.path("printed.pdf")
                    for leftover in (output, pdf, self.path("named.csv"), self.path("named.txt")):
                        if os.path.exists(leftover):
                            os.remove(leftover)
                    words = [command, spreadsheet, "BIG"] if command == "print" else [command, output, spreadsheet,
                                                                                        "BIG"]
                    status, _, err = self.run_program(*words, env={"FERRAVANE_PRINT_PDF": pdf})
                    self.assertNotEqual(status, 0, err)
                    self.assertIn("Cohort 2001 cannot be calculated: " + named, err)
                    self.assertIsNone(re.search(r"\b(inf|nan)\b", err, re.IGNORECASE), err)
                    self.assertFalse(os.path.exists(self.path("named.csv")))
                    self.assertFalse(os.path.exists(self.path("named.txt")))
                    if command == "logfile":
                        with open(output) as f:
                            log = f.read()
                        self.assertIn('"Subsidy has not been computed"', log)
                        self.assertIsNone(re.search(r"\b(inf|nan)\b", log, re.IGNORECASE), log)
                    elif command == "print":
                        # Only the messages are printed, and they tell what went wrong.
                        if have_pdf_text and os.path.exists(pdf):
                            text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True,
                                                  check=True).stdout.decode("latin-1")
                            self.assertIn("cannot be calculated", text)
                            self.assertNotIn("Subsidy and components display", text)
                    else:
                        self.assertFalse(os.path.exists(output))

    # --- texts in outputs ---

    def test_control_characters_and_quotes_in_written_texts(self):
        example = make_examples.read_source(os.path.join(SOURCE, "examples", "source", "direct_loan.txt"))
        name_row = next(row for row in example.rows if row and row[0] == "Name")
        name_row[1] = 'Water\r\nLoans \x1b[31m"red"\x07'
        spreadsheet = self.program_file("odd\nname\x1b", example=example)
        outputs = {}
        for command in ("file", "import", "logfile"):
            output = self.path(command + ".out")
            status, _, err = self.run_program(command, output, spreadsheet, RANGE)
            self.assertEqual(status, 0, err)
            with open(output, "rb") as f:
                outputs[command] = f.read()
        for command, data in outputs.items():
            with self.subTest(command=command):
                lines = data.split(b"\r\n")
                for line in lines:
                    self.assertFalse(any(b < 0x20 and b not in (0x09, 0x0A) or b == 0x7F for b in line), line)
                self.assertNotIn(b"\x1b", data)
                # Only whole CR LF line ends (the file output's messages part may use LF).
                self.assertEqual(data.count(b"\r"), data.count(b"\r\n"))
                if command != "logfile":  # the log names the spreadsheet, not the program
                    self.assertIn(b"Water  Loans  [31m", data)
        # Quoted texts double an embedded quote, as CSV readers expect.
        self.assertIn(b'"Water  Loans  [31m""red"" "', outputs["import"])
        self.assertIn(b'odd name .wk1 (WATER_LOANS)"', outputs["logfile"])

    # --- no display ---

    def test_the_desktop_without_a_display_says_so(self):
        cleared = {name: "" for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for env, words in ((cleared, ()), (dict(cleared, DISPLAY=":97"), ()), (cleared, ("--open", EXAMPLE))):
            with self.subTest(display=env["DISPLAY"], words=words):
                self.write_settings()
                status, _, err = self.run_program(*words, env=env)
                self.assertEqual(status, 2, err)
                self.assertIn("No display is available", err)
                self.assertIn("ferravane file OUTPUT SPREADSHEET RANGE", err)

    # --- the desktop module ---

    def loaded_libraries(self, *words, env=None):
        """The exit status and the shared objects the dynamic loader brought in
        during a run, as LD_DEBUG=libs reports them."""
        trace = self.path("ld-trace")
        status, _, err = self.run_program(*words, env=dict(env or {}, LD_DEBUG="libs", LD_DEBUG_OUTPUT=trace))
        loaded = set()
        for name in os.listdir(self.dir):
            if name.startswith("ld-trace."):
                with open(self.path(name), errors="replace") as f:
                    loaded.update(re.findall(r"calling init: (\S+)", f.read()))
                os.remove(self.path(name))
        return status, err, {os.path.basename(path) for path in loaded}

    def test_a_batch_run_that_does_not_print_loads_no_gui_library(self):
        self.write_settings()
        gui = re.compile(r"^(libQt6|libX|libxcb|libGL|libEGL|libfontconfig|libfreetype|%s)" % re.escape(MODULE_NAME))
        for words in (("import", self.path("out.csv"), EXAMPLE, RANGE), ("file", self.path("out.txt"), EXAMPLE, RANGE)):
            with self.subTest(words=words[0]):
                status, err, loaded = self.loaded_libraries(*words)
                self.assertEqual(status, 0, err)
                self.assertTrue(any(name.startswith("libc.so") for name in loaded), loaded)  # the trace was read
                self.assertEqual(sorted(name for name in loaded if gui.match(name)), [])
        # The same trace of a print run shows the module and Qt coming in.
        status, err, loaded = self.loaded_libraries("print", EXAMPLE, RANGE,
                                                    env={"FERRAVANE_PRINT_PDF": self.path("batch.pdf")})
        self.assertEqual(status, 0, err)
        self.assertIn(MODULE_NAME, loaded)
        self.assertTrue(any(name.startswith("libQt6Gui") for name in loaded), loaded)
        self.assertTrue(os.path.getsize(self.path("batch.pdf")) > 0)

    def test_file_format_libraries_come_in_only_for_the_files_that_need_them(self):
        self.write_settings()
        # libgsf (with GLib, GIO, libxml2, ICU) reads XLS files; libzip (with libcrypto, libbz2) XLSX and ODS
        # files; libxlsxwriter writes XLSX outputs.
        format_libraries = re.compile(r"^(libgsf|libglib|libgio|libxml2|libicu|libzip|libcrypto|libbz2|libxlsxwriter)")
        status, err, loaded = self.loaded_libraries("import", self.path("out.csv"), EXAMPLE, RANGE)
        self.assertEqual(status, 0, err)
        self.assertTrue(any(name.startswith("libc.so") for name in loaded), loaded)
        self.assertEqual(sorted(name for name in loaded if format_libraries.match(name)), [])
        def cohort_lines():
            with open(self.path("out.csv"), "rb") as f:
                return [line for line in f.read().split(b"\r\n") if line[:4].isdigit()]
        from_wk1 = cohort_lines()
        self.assertEqual(len(from_wk1), 3)
        stem = EXAMPLE[:-len(".wk1")]
        for workbook, wanted, unwanted in ((stem + ".xls", "libgsf", "libzip"), (stem + ".xlsx", "libzip", "libgsf"),
                                           (stem + ".ods", "libzip", "libgsf")):
            with self.subTest(workbook=os.path.basename(workbook)):
                status, err, loaded = self.loaded_libraries("import", self.path("out.csv"), workbook, RANGE)
                self.assertEqual(status, 0, err)
                self.assertTrue(any(name.startswith(wanted) for name in loaded), loaded)
                self.assertFalse(any(name.startswith(unwanted) for name in loaded), loaded)
                self.assertFalse(any(name.startswith("libxlsxwriter") for name in loaded), loaded)
                # The same cohort lines either way (the header's spreadsheet name and dates aside).
                self.assertEqual(cohort_lines(), from_wk1)
        # An XLSX output brings in its writer, and reading a WK1 file still no reader's library.
        self.write_settings(SETTINGS + "online_spreadsheet_options=2\n")
        status, err, loaded = self.loaded_libraries("wk3", self.path("out.xlsx"), EXAMPLE, RANGE)
        self.assertEqual(status, 0, err)
        self.assertTrue(any(name.startswith("libxlsxwriter") for name in loaded), loaded)
        self.assertFalse(any(name.startswith(("libgsf", "libzip")) for name in loaded), loaded)

    def test_the_desktop_starts_through_its_module(self):
        self.write_settings(SETTINGS + "startup_logo=0\n")
        environment = dict(os.environ, FERRAVANE_SETTINGS=self.settings, QT_QPA_PLATFORM="offscreen")
        with open(self.path("desktop.err"), "wb") as err:
            desktop = subprocess.Popen([self.program, "--open", EXAMPLE], env=environment, stdout=subprocess.DEVNULL,
                                       stderr=err)
        try:
            mapped = ""
            for _ in range(200):  # up to 20 seconds for the window to come up
                if desktop.poll() is not None:
                    break
                with open("/proc/%d/maps" % desktop.pid) as f:
                    mapped = f.read()
                if MODULE_NAME in mapped and "libQt6Widgets" in mapped:
                    break
                time.sleep(0.1)
            time.sleep(0.5)
            still_running = desktop.poll() is None
        finally:
            desktop.kill()
            desktop.wait()
        with open(self.path("desktop.err"), errors="replace") as f:
            said = f.read()
        self.assertTrue(still_running, said)  # the event loop runs until the user quits
        self.assertIn(MODULE_NAME, mapped)
        self.assertIn("libQt6Widgets", mapped)

    def test_the_desktop_module_knows_the_files_the_run_reads(self):
        # The module keeps its own list: a print file aimed at one of them is still refused.
        self.write_settings()
        rates = os.path.join(os.path.dirname(self.program), "rates.txt")
        before = file_state(rates)
        status, _, err = self.run_program("print", EXAMPLE, RANGE, env={"FERRAVANE_PRINT_PDF": rates})
        self.assertEqual(status, 1, err)
        self.assertIn("the data file rates.txt of this program", err)
        self.assertEqual(file_state(rates), before)

    def test_a_missing_or_damaged_desktop_module_is_named_with_the_reason(self):
        program = self.program_folder("without-module", with_module=False)
        module = os.path.join(os.path.dirname(program), MODULE_NAME)
        # The installed place: ../lib/ferravane, or ../lib/<multiarch>/ferravane.
        installed = re.escape(os.path.dirname(os.path.dirname(program))) + r"/lib(/[^/\n]+)?/ferravane/" + MODULE_NAME
        self.write_settings()
        pdf = {"FERRAVANE_PRINT_PDF": self.path("batch.pdf")}
        for damage, reason in ((None, "No such file or directory"), (b"not a shared object\n" * 20,
                                                                     "invalid ELF header")):
            if damage is not None:
                with open(module, "wb") as f:
                    f.write(damage)
            expected = "The desktop part of this program, %s, cannot be loaded: " % module
            for words, env in ((("print", EXAMPLE, RANGE), pdf), (("--open", EXAMPLE), {"QT_QPA_PLATFORM": "offscreen"}),
                               ((), {"QT_QPA_PLATFORM": "offscreen"})):
                with self.subTest(damage=damage is not None, words=words):
                    status, _, err = self.run_program(*words, program=program, env=env)
                    self.assertEqual(status, 1, err)
                    self.assertIn(expected, err)
                    self.assertIn(reason, err)  # dlerror's words
                    if damage is None:
                        self.assertRegex(err, re.escape("(Looked for it as:\n  %s\n  " % module) + installed + r"\)")
            self.assertFalse(os.path.exists(self.path("batch.pdf")))
            # Runs that do not print still deliver.
            status, _, err = self.run_program("import", self.path("out.csv"), EXAMPLE, RANGE, program=program)
            self.assertEqual(status, 0, err)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
