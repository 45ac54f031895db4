"""Keeps the user's guide honest: its message tables hold every message
number and E-code the program's sources can raise (and no other), the texts it
shares with the Tips windows are the Tips' own words, and the README and the
manual page point to it. Usage: guide_test.py SOURCE_DIR"""

import glob
import os
import re
import sys
import unittest

SOURCE = sys.argv[1]


def read(*parts):
    with open(os.path.join(SOURCE, *parts), encoding="utf-8") as f:
        return f.read()


def sources():
    for path in sorted(glob.glob(os.path.join(SOURCE, "src", "**", "*.[ch]*"), recursive=True)):
        with open(path, encoding="utf-8") as f:
            yield path, f.read()


def codes_in_sources():
    """E-codes: every thrown or entered text that begins with E and three digits."""
    return {"E" + code for _, text in sources() for code in re.findall(r'"E(\d{3}):', text)}


def message_numbers_in_sources():
    """Numbers given to the message list: add(NN, ...), the single effective
    rate's {NN, "..."} results, named message-number constants, and the
    failure lines added as add(number, ...) with number = NN."""
    numbers = set()
    for _, text in sources():
        numbers.update(re.findall(r"\badd\(\s*(\d+)\s*,", text))
        numbers.update(re.findall(r'\{\s*(\d+)\s*,\s*(?:"|format\(|first\b)', text))
        numbers.update(re.findall(r"constexpr unsigned \w*message\w* = (\d+);", text))
        if "add(number," in text:
            numbers.update(re.findall(r"\bnumber = (\d+);", text))
    return {int(n) for n in numbers}


def section(guide, heading):
    start = guide.index(heading)
    end = guide.find("\n#", start + len(heading))
    return guide[start:end if end >= 0 else len(guide)]


def words(text):
    return " ".join(text.split())


class Guide(unittest.TestCase):
    guide = read("docs", "guide.md")

    def test_every_message_number_is_explained(self):
        table = section(self.guide, "### Numbered messages")
        in_guide = {int(n) for n in re.findall(r"^\| (\d+) \|", table, re.M)}
        in_code = message_numbers_in_sources()
        self.assertGreater(len(in_code), 15)
        self.assertEqual(sorted(in_code - in_guide), [], "raised but not in the guide")
        self.assertEqual(sorted(in_guide - in_code), [], "in the guide but raised nowhere")

    def test_every_error_code_is_explained(self):
        table = section(self.guide, "### Errors")
        in_guide = set(re.findall(r"^\| (E\d{3}) \|", table, re.M))
        in_code = codes_in_sources()
        self.assertGreater(len(in_code), 20)
        self.assertEqual(sorted(in_code - in_guide), [], "raised but not in the guide")
        self.assertEqual(sorted(in_guide - in_code), [], "in the guide but raised nowhere")

    def test_shared_texts_are_the_tips_own_words(self):
        guide = words(self.guide)
        for topic in ("check-list.txt", "process.txt"):
            body = read("topics", topic).split("\n", 1)[1]
            self.assertIn(words(body), guide, topic)
        # The displays carry the names the Tips give them.
        for number, name in re.findall(r"^(\d)  ([^:]+):", read("topics", "explain-views.txt"), re.M):
            self.assertRegex(self.guide, r"\| %s \| %s \|" % (number, re.escape(name)))

    def test_the_readme_and_the_manual_page_point_to_it(self):
        self.assertTrue("(docs/guide.md)" in read("README.md"), "README.md does not link docs/guide.md")
        self.assertTrue("guide.md" in read("man", "ferravane.1"), "ferravane.1 does not name the guide")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
