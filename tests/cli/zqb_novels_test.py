#!/usr/bin/env python3
"""Real public-domain novels as they circulate (tests/text/novel_corpus, sources
in its SOURCES.md), each imported by `zqb import`: every chapter of its true
list (NAME.chapters) found once and named so, none empty, no sentence taken
for a heading, and every character of the file back out of `zqb txt --plain`
but the prefixes scraped texts put before headings and whitespace.
Usage: zqb_novels_test.py ZQB"""

import codecs
import lzma
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

ZQB = None
CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "text", "novel_corpus")
# What scraped texts put before a heading, which the chapter's name leaves out.
PREFIX = re.compile(r"^[ \t\u3000]*(?:正文|《[^》]{0,30}》目录)[ \t\u3000]+(?=第)", re.M)


def run(*args):
    return subprocess.run([ZQB, *args], capture_output=True)


def user_defined(error):
    """GBK's user-defined areas as code page 936 reads them: private-use characters."""
    pair = error.object[error.start:error.start + 2]
    if len(pair) == 2:
        lead, trail = pair
        if 0xAA <= lead <= 0xAF and 0xA1 <= trail <= 0xFE:
            return chr(0xE000 + (lead - 0xAA) * 94 + trail - 0xA1), error.start + 2
        if 0xF8 <= lead <= 0xFE and 0xA1 <= trail <= 0xFE:
            return chr(0xE234 + (lead - 0xF8) * 94 + trail - 0xA1), error.start + 2
        if 0xA1 <= lead <= 0xA7 and 0x40 <= trail <= 0xA0 and trail != 0x7F:
            return chr(0xE4C6 + (lead - 0xA1) * 96 + trail - 0x40 - (trail > 0x7F)), error.start + 2
    return "\ufffd", error.start + 1


codecs.register_error("gbk_user_defined", user_defined)


def decode(data):
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8")
    if data.startswith(b"\xff\xfe"):
        return data.decode("utf-16")
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("gbk", errors="gbk_user_defined")


def visible(text):
    """The text's characters but whitespace, in order."""
    return re.sub(r"\s", "", text)


def lost_characters(original, back):
    """How many of the original's characters are not found, in order, in what came back."""
    lost, at = 0, 0
    for c in original:
        found = back.find(c, at, at + 4096)
        if found < 0:
            lost += 1
        else:
            at = found + 1
    return lost


class Novels(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def check_novel(self, name):
        source = next(f for f in os.listdir(CORPUS) if f.startswith(name + ".") and f.endswith(".xz"))
        with lzma.open(os.path.join(CORPUS, source)) as f:
            data = f.read()
        with open(os.path.join(CORPUS, name + ".chapters"), encoding="utf-8") as f:
            truth = f.read().splitlines()
        novel = self.path(source[:-3])
        with open(novel, "wb") as f:
            f.write(data)
        book = self.path(name + ".zqb")
        started = time.monotonic()
        result = run("import", novel, book)
        seconds = time.monotonic() - started
        self.assertEqual(result.returncode, 0, result.stderr)

        listing = run("chapters", book)
        self.assertEqual(listing.returncode, 0, listing.stderr)
        rows = [line.split("\t") for line in listing.stdout.decode("utf-8").splitlines()]
        names = [row[2] for row in rows]
        # The text before the first heading (a site's notice, the title) is the 序.
        if names and names[0] == "序" and truth[0] != "序":
            rows, names = rows[1:], names[1:]
        self.assertEqual(names, truth, name)
        empty = [row[2] for row in rows if int(row[3]) == 0]
        self.assertEqual(empty, [], "no chapter is empty")

        out = self.path(name + ".back.txt")
        self.assertEqual(run("txt", book, out, "--plain").returncode, 0)
        with open(out, encoding="utf-8") as f:
            back = visible(f.read())
        original = visible(PREFIX.sub("", decode(data)).lstrip("\ufeff"))
        lost = lost_characters(original, back)
        print(f"\n{name}: {len(truth)} chapters true, {len(names)} found, "
              f"{lost} of {len(original)} characters lost, imported in {seconds:.2f} s",
              file=sys.stderr)
        self.assertEqual(lost, 0)

    def test_sanguo_scraped_gbk_with_prefixed_headings_and_wrapped_lines(self):
        self.check_novel("sanguo")

    def test_xiyou_utf8_with_bom_and_prefixed_headings(self):
        self.check_novel("xiyou")

    def test_shuihu_utf16_with_its_prologue(self):
        self.check_novel("shuihu")

    def test_honglou_crlf_with_headings_scraped_twice_and_sentences_that_start_like_one(self):
        self.check_novel("honglou")

    def test_aq_a_modern_novella(self):
        self.check_novel("aq")


if __name__ == "__main__":
    ZQB = sys.argv.pop(1)
    # zqb records the books it changes in a writing store; the tests keep
    # theirs apart from the user's.
    _STORE_HOME = tempfile.TemporaryDirectory()
    os.environ["XDG_DATA_HOME"] = _STORE_HOME.name
    unittest.main()
