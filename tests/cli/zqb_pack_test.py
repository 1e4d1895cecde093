#!/usr/bin/env python3
"""zqb pack and unpack with the real reader program of the Windows tree."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

ZQB, READER = sys.argv.pop(1), sys.argv.pop(1)


def run(*args):
    return subprocess.run([ZQB, *args], capture_output=True)


class PackTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.reader = open(READER, "rb").read()

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.tmp.name, name)

    def book(self, spec):
        with open(self.path("spec.json"), "w", encoding="utf-8") as f:
            json.dump(spec, f, ensure_ascii=False)
        self.assertEqual(run("build", self.path("spec.json"), self.path("book.zqb")).returncode, 0)
        return self.path("book.zqb")

    def test_pack_then_unpack_gives_the_book_back(self):
        for password in ("", "pw"):
            book = self.book({"title": "书", "password": password,
                              "chapters": [{"name": "一", "content": "e1xydGYxIHh9"}]})
            extra = ["--password", password] if password else []
            result = run("pack", book, self.path("out.exe"), "--reader", READER, *extra)
            self.assertEqual(result.returncode, 0, result.stderr)
            # Without --reader, the reader the Windows tree builds beside zqb's.
            result = run("pack", book, self.path("default.exe"), *extra)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(open(self.path("default.exe"), "rb").read()[:len(self.reader)], self.reader)
            exe = open(self.path("out.exe"), "rb").read()
            self.assertEqual(exe[:len(self.reader)], self.reader)
            self.assertEqual(exe[-3:], b"END")
            self.assertEqual(exe[len(self.reader):len(self.reader) + 3], b"ZQB")
            result = run("unpack", self.path("out.exe"), self.path("back.zqb"))
            self.assertEqual(result.returncode, 0, result.stderr)
            back = open(self.path("back.zqb"), "rb").read()
            self.assertEqual(len(exe), len(self.reader) + len(back) + 3)
            original = open(book, "rb").read()
            self.assertEqual(len(back), len(original))
            dumped = json.loads(run("dump", self.path("back.zqb"), *extra).stdout)
            self.assertEqual(dumped["title"], "书")

    def test_unpack_of_a_program_without_a_book(self):
        result = run("unpack", READER, self.path("x.zqb"))
        self.assertEqual(result.returncode, 65)
        self.assertIn(b"carries no book", result.stderr)
        self.assertFalse(os.path.exists(self.path("x.zqb")))

    def test_pack_needs_the_reader(self):
        book = self.book({})
        result = run("pack", book, self.path("o.exe"), "--reader", book)
        self.assertEqual(result.returncode, 65)


if __name__ == "__main__":
    unittest.main(verbosity=1)
