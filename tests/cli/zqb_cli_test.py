#!/usr/bin/env python3
"""Drives the zqb tool as a user would: build books from JSON, dump them back."""
import base64
import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

ZQB = sys.argv.pop(1)
# zqb records the books it changes in a writing store; the tests keep theirs
# apart from the user's.
_STORE_HOME = tempfile.TemporaryDirectory()
os.environ["XDG_DATA_HOME"] = _STORE_HOME.name
EMPTY_ITEM = bytes.fromhex("080000000d0f3e0300000000")


def run(*args, stdin=None):
    return subprocess.run([ZQB, *args], capture_output=True, input=stdin)


class ZqbTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def build(self, spec, name="book.zqb"):
        spec_path = self.path(name + ".json")
        with open(spec_path, "w", encoding="utf-8") as f:
            json.dump(spec, f, ensure_ascii=False)
        return run("build", spec_path, self.path(name)), self.path(name)

    def dump(self, path, *extra):
        result = run("dump", path, *extra)
        return result, (json.loads(result.stdout) if result.returncode == 0 else None)

    def test_round_trip_of_every_field(self):
        content = b"{\\rtf1 \\'d5\\'c2}\x00after nul"
        spec = {
            "title": "新的书籍", "author": "作者", "book_type": "小说", "intro": "第一行\r\n第二行",
            "cover": base64.b64encode(b"\x89PNG\x00\x01").decode(), "flags": 0xF0,
            "chapters": [{"name": "第一章", "content": base64.b64encode(content).decode()},
                         {"kind": 5, "name": "", "content": ""}],
        }
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        result, book = self.dump(path)
        self.assertEqual(result.returncode, 0, result.stderr)
        for key in ("title", "author", "book_type", "intro", "cover", "flags"):
            self.assertEqual(book[key], spec[key], key)
        self.assertEqual(book["format_version"], 1.0)
        self.assertEqual(book["password_hint"], "")
        self.assertRegex(book["time_text"], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")
        self.assertEqual([c["kind"] for c in book["chapters"]], [1, 5])
        self.assertEqual(base64.b64decode(book["chapters"][0]["content"]), content)
        # What dump prints builds the same book again.
        result, again = self.build(book, "again.zqb")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.dump(again)[1]["chapters"], book["chapters"])

    def test_empty_spec_is_the_smallest_book(self):
        result, path = self.build({})
        self.assertEqual(result.returncode, 0, result.stderr)
        data = open(path, "rb").read()
        self.assertEqual(len(data), 3 + 8 + 4 + 12 * 3 + 8 + 12 * 2 + 4)
        self.assertEqual(data[:15], b"ZQB" + struct.pack("<d", 1.0) + b"\0\0\0\0")
        self.assertEqual(data[15:27], EMPTY_ITEM)

    def test_password_protects_and_is_required(self):
        result, path = self.build({"title": "秘密", "password": "密码", "password_hint": "常用的"})
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotIn("秘密".encode("gbk"), open(path, "rb").read())
        result, _ = self.dump(path)
        self.assertEqual(result.returncode, 2)
        self.assertIn("文件密码错误，请重新打开文件", result.stderr.decode())
        self.assertEqual(self.dump(path, "--password", "wrong")[0].returncode, 2)
        result, book = self.dump(path, "--password", "密码")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual((book["title"], book["password_hint"], book["flags"]), ("秘密", "常用的", 1))

    def test_read_statuses(self):
        foreign = self.path("foreign.zqb")
        open(foreign, "wb").write(b"PK\x03\x04 not a book")
        result, _ = self.dump(foreign)
        self.assertEqual(result.returncode, 1)
        self.assertIn("文件格式错误，请重新选择文件", result.stderr.decode())
        result, _ = self.dump(self.path("missing.zqb"))
        self.assertEqual(result.returncode, 3)
        self.assertIn("文件打开失败，请确定文件是否被占用", result.stderr.decode())

    def test_text_gbk_cannot_hold_is_refused_by_field(self):
        result, path = self.build({"title": "ok", "chapters": [{"name": "emoji 😀"}]})
        self.assertEqual(result.returncode, 65)
        self.assertIn("chapters[0].name", result.stderr.decode())
        self.assertFalse(os.path.exists(path), "nothing is written")

    def test_bad_specs(self):
        for spec, word in (([], "object"), ({"titel": "x"}, "titel"), ({"cover": "%%"}, "cover"),
                           ({"flags": -1}, "flags"), ({"chapters": {}}, "chapters"),
                           ({"chapters": [{"kind": "one"}]}, "kind")):
            result, path = self.build(spec)
            self.assertEqual(result.returncode, 65, spec)
            self.assertIn(word, result.stderr.decode())
            self.assertFalse(os.path.exists(path))
        not_json = self.path("bad.json")
        open(not_json, "w").write("{")
        self.assertEqual(run("build", not_json, self.path("x.zqb")).returncode, 65)

    def test_txt_writes_the_text_conversion(self):
        content = b"{\\rtf1 \\'d5\\'c2}"
        result, path = self.build({"title": "书", "password": "pw",
                                   "chapters": [{"name": "一", "content": base64.b64encode(content).decode()}]})
        self.assertEqual(result.returncode, 0, result.stderr)
        out = self.path("book.txt")
        self.assertEqual(run("txt", path, out).returncode, 2, "the password is needed")
        self.assertFalse(os.path.exists(out))
        result = run("txt", path, out, "--password", "pw")
        self.assertEqual(result.returncode, 0, result.stderr)
        text = open(out, "rb").read()
        self.assertTrue(text.startswith("书籍信息\r\n书名：书\r\n".encode("gbk")))
        self.assertTrue(text.endswith("章节数量：1\r\n\r\n\r\n一\r\n\r\n".encode("gbk") + content))
        self.assertEqual(run("txt", path, self.path("no/such/dir/x.txt"), "--password", "pw").returncode, 73)

    def test_check_summarises(self):
        result, path = self.build({"chapters": [{"name": "a", "content": "AAAA"}, {"name": "b"}]})
        result = run("check", path)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"2 chapters, 3 bytes of content", result.stdout)
        open(self.path("bad.zqb"), "wb").write(b"XYZ")
        self.assertEqual(run("check", self.path("bad.zqb")).returncode, 1)

    def test_check_reports_damage_and_cuts(self):
        result, path = self.build({"chapters": [{"name": "a", "content": base64.b64encode(b"{\\rtf1 a}").decode()},
                                                {"name": "b", "content": base64.b64encode(b"b" * 400).decode()},
                                                {"name": "c"}]})
        data = open(path, "rb").read()
        # Cut inside the third chapter: two of three chapters read.
        open(self.path("cut.zqb"), "wb").write(data[:-5])
        result = run("check", self.path("cut.zqb"))
        self.assertEqual(result.returncode, 4)
        self.assertIn(b"2 chapters", result.stdout)
        self.assertIn(b"2 of 3 chapters read", result.stdout)
        # Spoil the zlib stream of chapter b's content (the largest item).
        at = data.index(b"\x78\x9c", data.index(b"\x90\x01\x00\x00"))
        spoiled = data[:at + 2] + b"\xa5" * 6 + data[at + 8:]
        open(self.path("spoiled.zqb"), "wb").write(spoiled)
        result = run("check", self.path("spoiled.zqb"))
        self.assertEqual(result.returncode, 4)
        self.assertIn(b"chapter 2 content: damaged, kept as stored", result.stdout)
        result = run("dump", self.path("spoiled.zqb"))
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"warning: chapter 2 content", result.stderr)

    def test_special_files_are_refused(self):
        fifo = self.path("fifo")
        os.mkfifo(fifo)
        for target in ("/dev/zero", fifo):
            result = subprocess.run([ZQB, "check", target], capture_output=True, timeout=20)
            self.assertEqual(result.returncode, 3, target)

    def test_misuse(self):
        for args in ((), ("frobnicate",), ("dump",), ("dump", "a", "b"), ("dump", "a", "--password"),
                     ("dump", "a", "--verbose"), ("build", "spec.json")):
            result = run(*args)
            self.assertEqual(result.returncode, 64, args)
            self.assertIn(b"zqb:", result.stderr)
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"zqb dump BOOK", result.stdout)

    def test_unwritable_output(self):
        spec = self.path("spec.json")
        open(spec, "w").write("{}")
        result = run("build", spec, self.path(os.path.join("no such dir", "book.zqb")))
        self.assertEqual(result.returncode, 73)
        self.assertIn(b"cannot write", result.stderr)


    def test_chapter_operations_write_the_book_back(self):
        rtf = b"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 ab\\b \\'d6\\'d0cd\\b0 }"
        spec = {"password": "密码", "chapters": [
            {"name": "一", "content": base64.b64encode(rtf).decode()},
            {"name": "二", "content": base64.b64encode("纯文本".encode("gbk")).decode()},
            {"kind": 2, "name": "三", "content": base64.b64encode(b"other").decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        pw = ("--password", "密码")

        def names():
            listed = run("chapters", path, *pw)
            self.assertEqual(listed.returncode, 0, listed.stderr)
            return [line.split("\t") for line in listed.stdout.decode().splitlines()]

        self.assertEqual(names(), [["1", "1", "一", str(len(rtf))], ["2", "1", "二", "6"],
                                   ["3", "2", "三", "5"]])
        self.assertEqual(run("chapters", path).returncode, 2, "the password is needed")

        self.assertEqual(run("move", path, "3", "1", *pw).returncode, 0)
        self.assertEqual([n[2] for n in names()], ["三", "一", "二"])
        self.assertEqual(run("rename", path, "1", "序", *pw).returncode, 0)
        self.assertEqual(run("insert", path, "4", "尾", *pw).returncode, 0)
        self.assertEqual(run("delete", path, "4", *pw).returncode, 0)
        self.assertEqual([n[2] for n in names()], ["序", "一", "二"])

        # Cut after the double-byte character: the bold carries on.
        self.assertEqual(run("split", path, "2", "3", *pw).returncode, 0)
        _, book = self.dump(path, *pw)
        self.assertEqual([c["name"] for c in book["chapters"]], ["序", "一", "一（续）", "二"])
        second = base64.b64decode(book["chapters"][2]["content"])
        self.assertIn(b"\\b cd", second)
        self.assertIn(b"\\fonttbl", second)
        self.assertEqual(base64.b64decode(book["chapters"][1]["content"]),
                         b"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 ab\\b \\'d6\\'d0}")

        self.assertEqual(run("merge", path, "3", *pw).returncode, 0)
        _, book = self.dump(path, *pw)
        merged = base64.b64decode(book["chapters"][2]["content"])
        self.assertIn(b"\\par {", merged)
        self.assertIn(b"\\'b4\\'bf", merged, "the plain text is carried into RTF")
        self.assertEqual(book["flags"] & 1, 1, "still protected")

        self.assertEqual(run("merge", path, "3", *pw).returncode, 64, "nothing follows")
        self.assertEqual(run("delete", path, "9", *pw).returncode, 64)
        self.assertEqual(run("split", path, "1", "99", *pw).returncode, 64)
        self.assertEqual(run("move", path, "1", *pw).returncode, 64)
        self.assertEqual(run("rename", path, "1", "한", *pw).returncode, 64)
        _, after = self.dump(path, *pw)
        self.assertEqual(after, book, "a refused operation writes nothing")

    def test_history_keeps_each_change_and_restore_brings_one_back(self):
        store = self.path("store.db")
        st = ("--store", store)
        spec = {"chapters": [{"name": "一", "content": base64.b64encode("第一稿。".encode("gbk")).decode()},
                             {"name": "二", "content": base64.b64encode("乙".encode("gbk")).decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(run("rename", path, "1", "序章", *st).returncode, 0)
        self.assertEqual(run("split", path, "1", "2", *st).returncode, 0)

        def history(*more):
            listed = run("history", path, *more, *st)
            self.assertEqual(listed.returncode, 0, listed.stderr)
            return [line.split("\t") for line in listed.stdout.decode().splitlines()]

        # Chapter 1: as built, renamed, split (newest first); the second half is new.
        first = history("1")
        self.assertEqual([v[4] for v in first], ["序章", "序章", "一"])
        self.assertTrue(all(v[0] == "1" for v in first))
        self.assertEqual(first[2][3], "3", "字数 of 第一稿。")
        self.assertEqual([v[4] for v in history("2")], ["序章（续）"])
        shown = run("history", path, "1", "--show", first[2][1], *st)
        self.assertEqual(shown.stdout.decode(), "一\n\n第一稿。\n")

        self.assertEqual(run("restore", path, "1", first[2][1], *st).returncode, 0)
        _, book = self.dump(path)
        self.assertEqual([c["name"] for c in book["chapters"]], ["一", "序章（续）", "二"])
        self.assertEqual(base64.b64decode(book["chapters"][0]["content"]), "第一稿。".encode("gbk"))
        self.assertEqual([v[4] for v in history("1")], ["一", "序章", "序章", "一"])
        self.assertEqual(run("restore", path, "1", "999", *st).returncode, 64)

        # A deleted chapter stays listed; the day's words count every change.
        self.assertEqual(run("delete", path, "3", *st).returncode, 0)
        self.assertIn(["deleted"], [v[:1] for v in history() if v[4] == "二"])
        stats = run("stats", "--days", "2", "--json", *st)
        self.assertEqual(stats.returncode, 0, stats.stderr)
        days = json.loads(stats.stdout)["days"]
        self.assertEqual(len(days), 2)
        self.assertEqual(days[-1]["words"], 0, "the restore gave 稿 again (+1), 乙 went (-1)")

        # A damaged store is set aside; the change is made all the same.
        with open(store, "wb") as f:
            f.write(b"not a database" * 100)
        result = run("rename", path, "2", "尾", *st)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"was damaged", result.stderr)
        self.assertEqual([v[4] for v in history("2")], ["尾", "序章（续）"], "a new store")

    def test_format_lays_out_paragraphs_and_can_be_taken_back(self):
        rtf = "{\\rtf1\\ansi\\ansicpg936 {\\b 第一段},有粗体.  \\par\\par\\par 价格3.14元!\\par}"
        spec = {"chapters": [{"name": "一", "content": base64.b64encode(rtf.encode("gbk")).decode()},
                             {"name": "二", "content": base64.b64encode("  纯文本,好.".encode("gbk")).decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        st = ("--store", self.path("store.db"))
        done = run("format", path, *st)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, b"5 paragraphs adjusted in 2 chapters\n")
        _, book = self.dump(path)
        first = base64.b64decode(book["chapters"][0]["content"])
        self.assertIn(b"{\\b ", first, "the bold stays")
        out = self.path("plain.txt")
        self.assertEqual(run("txt", path, out, "--plain").returncode, 0)
        with open(out, encoding="utf-8") as f:
            text = f.read()
        self.assertIn("\u3000\u3000第一段，有粗体。\n\u3000\u3000价格3.14元！", text)
        self.assertIn("\u3000\u3000纯文本，好。", text)
        self.assertEqual(run("format", path, *st).stdout, b"0 paragraphs adjusted in 0 chapters\n")
        self.assertEqual(run("format", path, "1", "--indent", "no", "--blank", "1", *st).returncode, 0)
        self.assertEqual(run("txt", path, out, "--plain").returncode, 0)
        with open(out, encoding="utf-8") as f:
            self.assertIn("第一段，有粗体。\n\n价格3.14元！", f.read())
        self.assertEqual(run("format", path, "--blank", "2").returncode, 64)
        self.assertEqual(run("format", path, "9").returncode, 64)
        # The text before the first layout is in the store.
        listed = run("history", path, "1", *st).stdout.decode().splitlines()
        self.assertEqual(len(listed), 3)

    def test_renumber_puts_chapter_numbers_in_order_in_their_own_numerals(self):
        names = ["序章", "第一章 出发", "第三章 渡河", "第004回 山谷", "7. 夜雨", "第一卷 风起"]
        result, path = self.build({"chapters": [{"name": n} for n in names]})
        self.assertEqual(result.returncode, 0, result.stderr)
        done = run("renumber", path, "--store", self.path("store.db"))
        self.assertEqual(done.stdout, b"3 chapters renamed\n")
        _, book = self.dump(path)
        self.assertEqual([c["name"] for c in book["chapters"]],
                         ["序章", "第一章 出发", "第二章 渡河", "第003回 山谷", "4. 夜雨", "第一卷 风起"])
        self.assertEqual(run("renumber", path).stdout, b"0 chapters renamed\n")

    def test_volumes_come_in_with_a_novel_and_nest_in_the_epub(self):
        import zipfile
        text = ("第一卷 风起\n第一章 出发\n他走了。\n第三章 渡河\n河很宽。\n"
                "第二卷 归途\n第五章 到家\n到了。\n第二章 夜\n夜深。\n第三卷 空\n")
        novel = self.path("山河.txt")
        with open(novel, "w", encoding="utf-8") as f:
            f.write(text)
        book = self.path("山河.zqb")
        self.assertEqual(run("import", novel, book).returncode, 0)
        listing = run("chapters", book).stdout.decode("utf-8").splitlines()
        self.assertEqual([line.split("\t")[2] for line in listing if line.endswith("\tvolume")],
                         ["第一卷 风起", "第二卷 归途", "第三卷 空"])
        self.assertEqual(run("renumber", book, "--per-volume").stdout, b"2 chapters renamed\n")
        _, dumped = self.dump(book)
        self.assertEqual([c["name"] for c in dumped["chapters"]],
                         ["第一卷 风起", "第一章 出发", "第二章 渡河", "第二卷 归途", "第一章 到家",
                          "第二章 夜", "第三卷 空"])
        out = self.epubcheck_book(book)
        with zipfile.ZipFile(out) as epub:
            nav = epub.read("OEBPS/nav.xhtml").decode("utf-8")
        toc = nav[nav.index("<ol>"):]
        # Each volume an item holding its chapters' list; the empty one none.
        self.assertRegex(toc, r"<li><a href=\"[^\"]+\">第一卷 风起</a>\n<ol>\n<li><a [^>]+>第一章 出发</a></li>\n"
                              r"<li><a [^>]+>第二章 渡河</a></li>\n</ol>\n</li>\n<li><a [^>]+>第二卷 归途</a>\n<ol>")
        self.assertIn(">第三卷 空</a></li>\n</ol>", toc)

    def test_a_cut_file_is_not_written_back(self):
        spec = {"chapters": [{"name": "a"}, {"name": "b"}]}
        result, path = self.build(spec)
        with open(path, "rb") as f:
            data = f.read()
        with open(path, "wb") as f:
            f.write(data[:-6])
        result = run("delete", path, "1")
        self.assertEqual(result.returncode, 4, result.stderr)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), data[:-6])

    def test_count_gives_the_words_of_each_chapter_and_the_book(self):
        rtf = b"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\'cc\\'ec\\'c1\\'c1 OK\\par}"
        spec = {"chapters": [{"name": "一", "content": base64.b64encode(rtf).decode()},
                             {"name": "二", "content": base64.b64encode("他说：“好。”".encode("gbk")).decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        text = run("count", path)
        self.assertEqual(text.returncode, 0, text.stderr)
        self.assertEqual(text.stdout.decode().splitlines(),
                         ["1\t一\t3\t5\t4", "2\t二\t3\t7\t7", "total\t\t6\t12\t11"])
        counted = json.loads(run("count", path, "--json").stdout)
        self.assertEqual(counted["total"], {"words": 6, "characters": 12, "characters_no_space": 11})
        self.assertEqual([c["words"] for c in counted["chapters"]], [3, 3])

    def test_grep_prints_the_matching_lines_of_the_chapters(self):
        rtf = b"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\'cc\\'ec\\'c1\\'c1 OK\\par second \\u20013?line\\par}"
        spec = {"chapters": [{"name": "一", "content": base64.b64encode(rtf).decode()},
                             {"name": "二", "content": base64.b64encode("他说：\r\n天亮了".encode("gbk")).decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        found = run("grep", path, "天亮")
        self.assertEqual(found.returncode, 0, found.stderr)
        self.assertEqual(found.stdout.decode().splitlines(), ["1\t一\t天亮 OK", "2\t二\t天亮了"])
        regex = run("grep", path, "^second 中", "--regex")
        self.assertEqual(regex.stdout.decode().splitlines(), ["1\t一\tsecond 中line"])
        self.assertEqual(run("grep", path, "nowhere").returncode, 5)
        self.assertEqual(run("grep", path, "(", "--regex").returncode, 64)
        # Lookarounds and Unicode classes are the editor's expressions.
        regex = run("grep", path, r"(?<=他)说\p{P}", "--regex")
        self.assertEqual(regex.stdout.decode().splitlines(), ["2\t二\t他说："])

    def test_grep_matches_long_paragraphs_whole_and_ends_endless_expressions(self):
        paragraph = b"a" * 1_000_000
        spec = {"chapters": [{"name": "long", "content": base64.b64encode(paragraph).decode()},
                             {"name": "short", "content": base64.b64encode(b"ab\r\n" + b"a" * 60 + b"c b").decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        found = run("grep", path, "a+$", "--regex")
        self.assertEqual(found.returncode, 0, found.stderr)
        lines = found.stdout.split(b"\n")
        self.assertEqual(lines[0], b"1\tlong\t" + paragraph)
        # Exponential backtracking is ended at its limit: the chapter says so,
        # the other lines are still printed, the exit says it was incomplete.
        endless = run("grep", path, "(a|aa)+b", "--regex")
        self.assertEqual(endless.returncode, 6, endless.stderr)
        self.assertIn(b"chapter 2", endless.stderr)
        self.assertEqual(endless.stdout.decode().splitlines(), ["2\tshort\tab"])

    def test_txt_plain_writes_readable_text(self):
        rtf = b"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\b \\'cc\\'ec\\b0 \\par}"
        spec = {"title": "书", "author": "某", "chapters": [{"name": "一", "content": base64.b64encode(rtf).decode()}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        out = self.path("plain.txt")
        for encoding, codec, bom in (("utf8", "utf-8", b""), ("utf8-bom", "utf-8", b"\xef\xbb\xbf"), ("gbk", "gbk", b"")):
            result = run("txt", path, out, "--plain", "--encoding", encoding)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(out, "rb") as f:
                data = f.read()
            self.assertEqual(data, bom + "书\r\n作者：某\r\n\r\n一\r\n\r\n天\r\n".encode(codec), encoding)
        self.assertEqual(run("txt", path, out, "--plain", "--encoding", "latin1").returncode, 64)

    def test_gbk_user_defined_characters_keep_their_bytes(self):
        # Real texts of old novels carry characters from GBK's user-defined
        # areas (AA A4, FE 6A): private-use characters, as Windows reads them,
        # and their own bytes again in a GBK text.
        gbk = "第一回 天罡\r\n　　宋江".encode("gbk") + b"\xaa\xa4" + "说。".encode("gbk") + b"\xfe\x6a\r\n"
        novel = self.path("pua.txt")
        with open(novel, "wb") as f:
            f.write(gbk)
        result = run("import", novel, self.path("pua.zqb"))
        self.assertEqual(result.returncode, 0, result.stderr)
        out = self.path("pua-back.txt")
        self.assertEqual(run("txt", self.path("pua.zqb"), out, "--plain", "--encoding", "gbk").returncode, 0)
        with open(out, "rb") as f:
            back = f.read()
        self.assertIn("　　宋江".encode("gbk") + b"\xaa\xa4" + "说。".encode("gbk") + b"\xfe\x6a", back)
        self.assertEqual(run("txt", self.path("pua.zqb"), out, "--plain").returncode, 0)
        with open(out, encoding="utf-8") as f:
            self.assertIn("宋江\ue003说。\ue82f", f.read())

    def epubcheck(self, path):
        """Runs epubcheck (Debian's package): no errors and no warnings. It walks
        the reading order recursively: a book of thousands of chapters needs a deep stack."""
        result = subprocess.run(["java", "-Xss256m", "-jar", "/usr/bin/epubcheck", path], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("No errors or warnings detected", result.stdout, result.stdout + result.stderr)

    def test_import_a_novel_then_take_it_out_as_text_and_epub(self):
        chapters = [("第%d章 风%d" % (n, n), ["　　他说第一章写得好。第%d章的字。" % n, "", "　　雪\\{下}。"])
                    for n in range(1, 41)]
        text = "远行\r\n序言之前的一行\r\n" + "".join(
            name + "\r\n" + "\r\n".join(lines) + "\r\n" for name, lines in chapters)
        novel = self.path("远行.txt")
        for encoding in ("gb18030", "utf-8", "utf-16"):
            with open(novel, "wb") as f:
                f.write(text.encode(encoding))
            result = run("import", novel, self.path("novel.zqb"), "--author", "某人")
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout, b"41 chapters\n", encoding)
        result, book = self.dump(self.path("novel.zqb"))
        self.assertEqual((book["title"], book["author"]), ("远行", "某人"))
        self.assertEqual([c["name"] for c in book["chapters"][:3]], ["序", "第1章 风1", "第2章 风2"])
        # Back out as plain text: the same lines, chapter by chapter.
        out = self.path("back.txt")
        self.assertEqual(run("txt", self.path("novel.zqb"), out, "--plain").returncode, 0)
        with open(out, encoding="utf-8", newline="") as f:
            back = f.read()
        for name, lines in chapters:
            self.assertIn(name + "\r\n\r\n" + "\r\n".join(lines) + "\r\n", back)
        self.assertIn("远行\r\n序言之前的一行", back)
        # A rule of one's own, and a bad one.
        result = run("import", novel, self.path("own.zqb"), "--rule", "^第[0-9]*0章.*$")
        self.assertEqual(result.stdout, b"5 chapters\n")
        self.assertEqual(run("import", novel, self.path("bad.zqb"), "--rule", "第(").returncode, 64)
        self.assertEqual(run("import", self.path("none.txt"), self.path("x.zqb")).returncode, 3)
        self.epubcheck_book(self.path("novel.zqb"))
        # A text that names itself and its author at its head.
        with open(novel, "wb") as f:
            f.write(("书名：远方\r\n作者：某某\r\n\r\n" + text).encode("utf-8"))
        self.assertEqual(run("import", novel, self.path("named.zqb")).returncode, 0)
        _, book = self.dump(self.path("named.zqb"))
        self.assertEqual((book["title"], book["author"]), ("远方", "某某"))
        # Lines cut at a fixed width come back as paragraphs, unless told not to.
        paragraph = "　　" + "楚汉分争，天下大乱，百姓流离失所，英雄并起，逐鹿中原。" * 8
        wrapped = "第一章 楚汉\n" + "".join(
            paragraph[i:i + 20] + "\n" for _ in range(3) for i in range(0, len(paragraph), 20))
        with open(novel, "w", encoding="utf-8") as f:
            f.write(wrapped)
        joined = run("import", novel, self.path("joined.zqb"))
        self.assertIn(b"joined into paragraphs", joined.stdout)
        kept = run("import", novel, self.path("kept.zqb"), "--unwrap", "off")
        self.assertEqual(kept.stdout, b"1 chapters\n")
        self.assertEqual(run("import", novel, self.path("x.zqb"), "--unwrap", "maybe").returncode, 64)

    def epubcheck_book(self, book):
        out = self.path("book.epub")
        result = run("epub", book, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.epubcheck(out)
        return out

    def test_a_folder_imports_in_natural_order(self):
        folder = self.path("parts")
        os.mkdir(folder)
        for name in ("第10章", "第2章", "第1章"):
            with open(os.path.join(folder, name + ".txt"), "w", encoding="utf-8") as f:
                f.write("　　" + name + "的字。\n")
        result = run("import", folder, self.path("parts.zqb"), "--title", "合集")
        self.assertEqual(result.returncode, 0, result.stderr)
        result, book = self.dump(self.path("parts.zqb"))
        self.assertEqual([c["name"] for c in book["chapters"]], ["第1章", "第2章", "第10章"])
        self.assertEqual(book["title"], "合集")

    def test_epub_of_a_book_whose_texts_need_escaping_with_cover_and_styles(self):
        import zipfile
        png = base64.b64decode("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==")
        rtf = (b"{\\rtf1\\ansi\\ansicpg936 a<b>&\"c\" \\b bold\\b0  \\i it\\i0  \\ul under\\ulnone  "
               b"\\'d6\\'d0\\u-10179?\\u-8704?\\par \x01\\par\\'a1\\'a1\\u12288?  \\'b6\\'fe\\'a1\\'a1x\\par}")
        spec = {"title": "<书&名>", "author": "\"某\" & '人'", "intro": "简介 <一>\r\n二",
                "cover": base64.b64encode(png).decode(),
                "chapters": [{"name": "第<1>章 & \"", "content": base64.b64encode(rtf).decode()},
                             {"name": "", "content": ""}]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        out = self.epubcheck_book(path)
        with zipfile.ZipFile(out) as z:
            self.assertEqual(z.namelist()[0], "mimetype")
            self.assertEqual(z.getinfo("mimetype").compress_type, zipfile.ZIP_STORED)
            page = z.read("OEBPS/c00001.xhtml").decode("utf-8")
            opf = z.read("OEBPS/content.opf").decode("utf-8")
            self.assertIn(z.read("OEBPS/cover.png"), [png])
        self.assertIn("<h2>第&lt;1&gt;章 &amp; &quot;</h2>", page)
        self.assertIn("a&lt;b&gt;&amp;&quot;c&quot; <b>bold</b> <i>it</i> <u>under</u> 中\U0001F600</p>", page)
        # The stylesheet indents: the paragraph's own leading spaces are left out, no others.
        self.assertIn("<p>二　x</p>", page)
        self.assertIn("<dc:title>&lt;书&amp;名&gt;</dc:title>", opf)
        self.assertIn("<dc:language>zh</dc:language>", opf)
        self.assertIn('properties="cover-image"', opf)

    def test_epub_of_five_thousand_chapters(self):
        spec = {"title": "长篇", "chapters": [
            {"name": "第%d章" % n, "content": base64.b64encode(b"{\\rtf1 \\'d5\\'c2 %d\\par two}" % n).decode()}
            for n in range(1, 5001)]}
        result, path = self.build(spec)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.epubcheck_book(path)


if __name__ == "__main__":
    unittest.main(verbosity=1)
