#!/usr/bin/env python3
"""zqb against hostile book files: bounded memory, checks that hold, exits that tell the truth."""
import os
import stat
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

ZQB = sys.argv.pop(1)
# zqb records the books it changes in a writing store; the tests keep theirs
# apart from the user's.
_STORE_HOME = tempfile.TemporaryDirectory()
os.environ["XDG_DATA_HOME"] = _STORE_HOME.name
MAGIC = struct.pack("<I", 0x033E0F0D)


def block(plain, claimed=None, stream=None):
    if plain == b"" and claimed is None:
        return MAGIC + struct.pack("<i", 0)  # the empty block has no stream
    stream = zlib.compress(plain) if stream is None else stream
    return MAGIC + struct.pack("<i", len(plain) if claimed is None else claimed) + stream


def item(data):
    return struct.pack("<i", len(data)) + data


def book_file(chapters):
    """A book whose chapters are given as (name block, content block)."""
    empty = item(block(b""))
    out = [b"ZQB", struct.pack("<d", 1.0), struct.pack("<i", 0), item(block(b"title")), empty,
           empty, struct.pack("<d", 45000.0), empty, empty, struct.pack("<i", len(chapters))]
    for name, content in chapters:
        out.append(struct.pack("<i", 1) + item(name) + item(content))
    return b"".join(out)


def run_measured(*args):
    """Runs zqb as a child: exit status, peak resident memory in MB, output."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        child = subprocess.Popen([ZQB, *args], stdout=out, stderr=err)
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = os.waitstatus_to_exitcode(status)
        err.seek(0)
        return child.returncode, usage.ru_maxrss / 1024, err.read()


class HostileBooks(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_blocks_that_lie_about_their_size_cost_what_they_hold(self):
        # Each block claims 65,536 bytes and holds a stream of a few bytes:
        # the reader must not keep (or zero-fill) what the headers claim.
        liar = block(b"x" * 5, claimed=65536)
        lying = self.write("lying.zqb", book_file([(liar, liar)] * 10000))
        honest_text = os.urandom(len(lying) // 2000).hex().encode()[:90]
        honest = self.write("honest.zqb", book_file([(block(b"n"), block(honest_text))] * 5000))
        status, lying_mb, err = run_measured("check", lying)
        self.assertEqual(status, 0, err)
        _, honest_mb, _ = run_measured("check", honest)
        print(f"check: lying blocks {lying_mb:.0f} MB, honest book {honest_mb:.0f} MB "
              f"({os.path.getsize(lying)} and {os.path.getsize(honest)} bytes)", file=sys.stderr)
        self.assertLess(lying_mb, honest_mb + 64)

    def test_a_decompression_bomb_is_read_a_few_chapters_at_a_time(self):
        # 4.5 MB of chapters that each inflate to 16 MB: the reader stops at
        # its budget, and the commands that only read hold a chapter or two.
        chapter = block(b"{\\rtf1 " + b"a" * (16 << 20) + b"}")
        bomb = self.write("bomb.zqb", book_file([(block(b"c"), chapter)] * 280))
        for args in (["check", bomb], ["count", bomb], ["chapters", bomb], ["dump", bomb],
                     ["grep", bomb, "b"], ["txt", bomb, os.path.join(self.dir, "bomb.txt")],
                     ["txt", bomb, os.path.join(self.dir, "bomb-plain.txt"), "--plain"],
                     ["epub", bomb, os.path.join(self.dir, "bomb.epub")]):
            status, mb, err = run_measured(*args)
            print(f"{args[0]} of a {os.path.getsize(bomb) >> 20} MB bomb: {mb:.0f} MB",
                  file=sys.stderr)
            self.assertIn(status, (0, 4, 5), (args, err))
            self.assertLess(mb, 128, args)

    def test_a_bin_count_past_32_bits_is_no_clean_chapter(self):
        # The control reads \bin4294967297 as \bin1 and parses the nesting behind it.
        for count in (b"4294967297", b"999999999999"):
            rtf = b"{\\rtf1 \\bin" + count + b" x" + b"{" * 5000 + b"}" * 5000 + b"}"
            path = self.write("bin.zqb", book_file([(block(b"c"), block(rtf))]))
            status, _, err = run_measured("check", path)
            self.assertEqual(status, 4, (count, err))

    def test_output_that_cannot_be_written_is_no_success(self):
        path = self.write("small.zqb", book_file([(block(b"one"), block(b"text of one\r\n"))]))
        for args in (["dump", path], ["count", path], ["chapters", path], ["grep", path, "text"]):
            with open("/dev/full", "wb") as full:
                result = subprocess.run([ZQB, *args], stdout=full, stderr=subprocess.PIPE)
            self.assertEqual(result.returncode, 73, args)
            self.assertIn(b"cannot write", result.stderr)

    def test_an_epub_of_more_chapters_than_a_zip_holds_is_refused_at_once(self):
        path = self.write("many.zqb", book_file([(block(b""), block(b""))] * 70000))
        out = os.path.join(self.dir, "many.epub")
        status, mb, err = run_measured("epub", path, out)
        self.assertEqual(status, 65, err)
        self.assertIn(b"at most 65529", err)
        self.assertFalse(os.path.exists(out))
        self.assertLess(mb, 200)

    def test_import_refuses_what_is_no_text_too_large_or_unreadable_as_a_book(self):
        out = os.path.join(self.dir, "out.zqb")
        picture = self.write("cover.txt", b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR" + bytes(200))
        result = subprocess.run([ZQB, "import", picture, out], capture_output=True)
        self.assertEqual(result.returncode, 3)
        self.assertIn(b"not a text file", result.stderr)
        huge = os.path.join(self.dir, "huge.txt")
        with open(huge, "wb") as f:
            f.truncate(300 << 20)  # sparse: nothing is written to disk
        status, mb, err = run_measured("import", huge, out)
        self.assertEqual(status, 3)
        self.assertIn(b"too large to import", err)
        self.assertLess(mb, 64, "refused before reading")
        # One line of 60 MB compresses to almost nothing: its book would be
        # refused by its own reader, so it is never written.
        line = self.write("line.txt", b"ab" * (30 << 20))
        status, _, err = run_measured("import", line, out)
        self.assertEqual(status, 65, err)
        self.assertIn(b"too large for one book file", err)
        self.assertFalse(os.path.exists(out))

    def test_a_heading_rule_that_backtracks_without_end_is_called_too_complex(self):
        out = os.path.join(self.dir, "out.zqb")
        novel = self.write("novel.txt", ("第一章\n" + "a" * 38 + "!\n" * 1).encode() * 2000)
        started = time.monotonic()
        result = subprocess.run([ZQB, "import", novel, out, "--rule", "(a+)+$"], capture_output=True)
        self.assertLess(time.monotonic() - started, 10)
        self.assertEqual(result.returncode, 64, result.stderr)
        self.assertIn(b"too complex", result.stderr)
        self.assertFalse(os.path.exists(out))

    def test_a_read_only_book_is_not_rewritten(self):
        path = self.write("locked.zqb", book_file([(block(b"one"), block(b"text"))]))
        with open(path, "rb") as f:
            before = f.read()
        os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        result = subprocess.run([ZQB, "rename", path, "1", "new"], capture_output=True)
        self.assertEqual(result.returncode, 73)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), before)
        self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o444)


if __name__ == "__main__":
    unittest.main()
