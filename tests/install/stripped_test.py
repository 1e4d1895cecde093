#!/usr/bin/env python3
"""The programs that ship carry no symbol table; their symbols are kept
beside the build (symbols/NAME.debug) for reading crash reports."""
import os
import struct
import sys
import unittest

BUILD = sys.argv.pop(1)


def coff_symbols(path):
    """The COFF symbol table's place and count in a PE file's header."""
    with open(path, "rb") as f:
        data = f.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", path
    return struct.unpack_from("<II", data, pe + 4 + 8)


class Stripped(unittest.TestCase):
    def test_shipped_programs_have_no_symbols_and_their_symbols_are_kept(self):
        for name in ("folivra.exe", "folivra_reader.exe"):
            with self.subTest(name=name):
                self.assertEqual(coff_symbols(os.path.join(BUILD, name))[1], 0, "no symbols")
                kept = os.path.join(BUILD, "symbols", name + ".debug")
                pointer, count = coff_symbols(kept)
                self.assertGreater(count, 1000, "the symbols are in " + kept)
                self.assertGreater(os.path.getsize(os.path.join(BUILD, "symbols", name)),
                                   os.path.getsize(os.path.join(BUILD, name)))
        with open(os.path.join(BUILD, "folivra.exe"), "rb") as f:
            self.assertIn(b"folivra.exe.debug", f.read(), "the editor names its symbols")


if __name__ == "__main__":
    unittest.main()
