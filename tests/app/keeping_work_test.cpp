// No path drops what the author typed or what the file stored: typed fields
// reach the book before anything reads it, damaged and cut books keep what
// they hold, other kinds and plain-text chapters are shown as they are, the
// previous version stays as .bak, and unsaved work has a recovery copy.
#include <richedit.h>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "text/text_rtf.h"
#include "ui/rtf_stream.h"
#include "ui/window_text.h"

namespace folivra::test {
namespace {

class KeepingWork : public WindowTest {
 protected:
  std::string gbk_path(const char* name) { return wide_to_gbk_lossy(dir_.path(name).wstring()); }
  std::string saved(const Book& book, const char* name) {
    Book copy = book;
    EXPECT_EQ(write_book(dir_.path(name), copy), 0);
    return gbk_path(name);
  }
  Book read(const char* name, ReadReport* report = nullptr) {
    Book book;
    EXPECT_EQ(read_book(dir_.path(name), "", book, report), ReadStatus::ok);
    return book;
  }
  std::wstring editor_text() {
    GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
    std::wstring text(static_cast<size_t>(SendMessageW(c().content, EM_GETTEXTLENGTHEX,
                                                       reinterpret_cast<WPARAM>(&how), 0)) +
                          1,
                      L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(
        static_cast<size_t>(SendMessageW(c().content, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                         reinterpret_cast<LPARAM>(text.data()))));
    return text;
  }
  bool read_only_editor() { return GetWindowLongPtrW(c().content, GWL_STYLE) & ES_READONLY; }
};

TEST_F(KeepingWork, ATitleTypedThenClosedIsAskedForAndSaved) {
  const std::string path = saved(sample_book(2), "tale.zqb");
  window().commands().open_book(path);
  SetFocus(c().title);
  SendMessageW(c().title, EM_SETSEL, 0, -1);
  type(c().title, L"新书名");
  EXPECT_TRUE(enabled(kCmdSave)) << "the edit itself marks the book modified";
  // The close button, with the title field still focused.
  prompts_.answers = {Answer::yes};
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, L"新书名 已被修改，是否保存?");
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(gbk_to_wide(read("tale.zqb").title), L"新书名");
}

TEST_F(KeepingWork, AuthorAndIntroductionTypedThenSavedByKey) {
  const std::string path = saved(sample_book(1), "tale.zqb");
  window().commands().open_book(path);
  SetFocus(c().intro);
  SendMessageW(c().intro, EM_SETSEL, 4, 4);
  type(c().intro, L"序：");
  EXPECT_TRUE(enabled(kCmdSave)) << "an introduction edit enables Save";
  SetFocus(c().author);
  SendMessageW(c().author, EM_SETSEL, 0, -1);
  type(c().author, L"某人");
  {
    HeldKeys ctrl(true);
    MSG msg{c().author, WM_KEYDOWN, 'S', 1, 0, {}};
    EXPECT_TRUE(window().translate_accelerator(msg));
  }
  EXPECT_FALSE(window().is_modified());
  const Book book = read("tale.zqb");
  EXPECT_EQ(gbk_to_wide(book.author), L"某人");
  EXPECT_EQ(gbk_to_wide(book.intro).rfind(L"序：", 0), 0u);
}

// Leaving a very large chapter puts a fresh control in the editor's place:
// everything typed before and after stays in the book, and the chapters
// nobody touched are saved as they were stored.
TEST_F(KeepingWork, ALargeChapterLeftAndComeBackToKeepsEveryWordTyped) {
  Book book = sample_book(3);
  std::string big = "{\\rtf1\\ansi\\ansicpg936 ";
  // Large enough to be loaded in pieces where the control needs that.
  for (int i = 0; i < 120000; ++i) big += i % 50 == 49 ? "\\'b0\\'a1\\par " : "\\'b0\\'a1";
  book.chapters[0].content = big + "}";
  const std::string path = saved(book, "big.zqb");
  const std::string stored = read_bytes(dir_.path("big.zqb"));
  window().commands().open_book(path);
  select(1);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, -1, -1);
  type(c().content, L"甲");
  const HWND first = c().content;
  const RECT place = rect_in_parent(first);
  select(2);
  ASSERT_NE(c().content, first) << "a fresh control after the large chapter";
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindowVisible(c().content));
  const RECT fresh_place = rect_in_parent(c().content);
  EXPECT_TRUE(EqualRect(&place, &fresh_place));
  EXPECT_EQ(editor_text().substr(0, 7), L"chapter") << "chapter 2 shown in it";
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  type(c().content, L"乙");
  select(1);
  EXPECT_EQ(editor_text().find(L"啊甲"), 122398u) << "after 120,000 characters and 2,399 breaks";
  EXPECT_FALSE(SendMessageW(c().content, EM_CANUNDO, 0, 0)) << "the load is no step to undo";
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  type(c().content, L"丙");
  EXPECT_TRUE(SendMessageW(c().content, EM_CANUNDO, 0, 0)) << "what is typed can be undone";
  command(kCmdSave);
  const Book back = read("big.zqb");
  const std::u16string first_text = chapter_text16(back.chapters[0].content);
  EXPECT_EQ(first_text.front(), u'丙');
  EXPECT_EQ(first_text.find(u"啊甲"), 122399u);
  EXPECT_EQ(chapter_text16(back.chapters[1].content).substr(0, 8), u"乙chapter");
  // Chapter 3 was never touched: its item is the stored one, byte for byte.
  const std::string saved_bytes = read_bytes(dir_.path("big.zqb"));
  const Layout before = layout_of(stored), after = layout_of(saved_bytes);
  EXPECT_EQ(stored_item(saved_bytes, after.items.back()), stored_item(stored, before.items.back()));
}

// A book of large chapters is shown from its names while a worker reads the
// rest: a chapter entered meanwhile is whole, what is typed and saved at once
// lands in a whole book, and the damage is told once the contents are in.
TEST_F(KeepingWork, ABookShownBeforeItsContentsAreReadIsWholeWheneverItIsUsed) {
  Book book = sample_book(3);
  for (int i = 4; i <= 400; ++i) {
    Chapter chapter = book.chapters[2];
    chapter.name = gbk_of("第") + std::to_string(i) + gbk_of("章");
    chapter.content =
        "{\\rtf1\\ansi chapter " + std::to_string(i) + " " + std::string(6000, 'x') + "}";
    book.chapters.push_back(chapter);
  }
  std::string image = write_book_image(book);
  const Layout layout = layout_of(image);
  const size_t content300 = layout.items[layout.items.size() - 201];
  spoil(image, content300);
  write_bytes(dir_.path("long.zqb"), image);

  window().commands().open_book(gbk_path("long.zqb"));
  ASSERT_TRUE(window().reading_contents());
  EXPECT_EQ(TreeView_GetCount(c().tree), 401u);
  select(350);
  EXPECT_EQ(editor_text().substr(0, 12), L"chapter 350 ") << "decoded before the rest";
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  type(c().content, L"新");
  command(kCmdSave);  // waits for the rest, never writes a stand-in
  const Book back = read("long.zqb");
  ASSERT_EQ(back.chapters.size(), 400u);
  EXPECT_EQ(chapter_text16(back.chapters[349].content).substr(0, 12), u"新chapter 350");
  for (size_t i = 3; i < 400; ++i) {
    if (i == 299 || i == 349) continue;
    ASSERT_EQ(back.chapters[i].content, book.chapters[i].content) << i;
  }
  const std::string again = read_bytes(dir_.path("long.zqb"));
  const Layout again_layout = layout_of(again);
  EXPECT_EQ(stored_item(again, again_layout.items[again_layout.items.size() - 201]),
            stored_item(image, content300))
      << "the damaged chapter goes back as it was stored";
  ASSERT_TRUE(wait_until([&] { return prompts_.messages.size() == 1; }, 10000))
      << "the damage is told once the contents are in";
  EXPECT_NE(prompts_.messages[0].text.find(L"第 300 章"), std::wstring::npos);
  select(300);
  EXPECT_NE(status_text(c().status, 3).find(L"已损坏"), std::wstring::npos);
}

// A chapter loaded piece by piece is the chapter loaded at once: the same
// text and the same RTF out of the control, with nothing to undo.
TEST_F(KeepingWork, AChapterLoadedInPiecesIsTheChapterLoadedWhole) {
  std::string formatted =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}"
      "{\\f1\\fswiss Arial;}}{\\colortbl ;\\red160\\green30\\blue30;}"
      "\\viewkind4\\uc1\\pard\\qc\\f0\\fs32 ";
  for (int p = 0; p < 30; ++p) {
    formatted += p % 7 == 3 ? "{\\b\\cf1 bold \\'d6\\'d0\\par more\\line " : "";
    formatted += "para " + std::to_string(p) + " \\u20013?\\'ce\\'c4\\f1 latin\\f0 ";
    formatted += p % 5 == 1 ? " \\i slanted" : "";
    formatted += p % 7 == 3 ? "}" : "";
    formatted += p % 5 == 2 ? " \\i0\\pard\\fi420\\fs24" : "";
    formatted += p + 1 < 30 ? "\\par\r\n" : "";
  }
  const std::vector<std::u16string> lines = {u"　　第一行，有“引号”。", u"", u"　　第三行 \\ { }"};
  const std::string contents[] = {
      formatted + "}",
      formatted + "\\par}",
      rtf_of_lines(lines, RtfFont{}),
      "\xB5\xDA\xD2\xBB\xD0\xD0\r\nline two\r\n\r\nlast",
      "\xB5\xDA\xD2\xBB\xD0\xD0\r\nline two\r\nthree\r\nfour\r\n",
      "plain text whose\r\n{\\rtf1 line looks like RTF}\r\nbut is not",
  };
  wchar_t cls[64] = {};
  GetClassNameW(c().content, cls, 64);
  const auto control = [&] {
    const HWND edit = CreateWindowExW(0, cls, L"", WS_POPUP | ES_MULTILINE, 0, 0, 300, 300, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    return edit;
  };
  bool went_on_later = false;
  for (const std::string& content : contents) {
    const HWND whole = control(), pieces = control(), later = control();
    load_chapter_text(whole, content, SIZE_MAX);
    load_chapter_text(pieces, content, 7);
    EXPECT_EQ(control_text(pieces), control_text(whole)) << content;
    EXPECT_EQ(save_rtf(pieces), save_rtf(whole)) << content;
    // In the background: the first and last pieces at once, the rest by steps.
    PieceLoad load;
    if (load.start(later, content, 7)) {
      went_on_later |= load.loading();
      load.finish();
    }
    EXPECT_EQ(control_text(later), control_text(whole)) << content;
    EXPECT_EQ(save_rtf(later), save_rtf(whole)) << content;
    EXPECT_FALSE(SendMessageW(later, EM_CANUNDO, 0, 0));
    DestroyWindow(later);
    CHARRANGE in_whole{}, in_pieces{};
    SendMessageW(whole, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&in_whole));
    SendMessageW(pieces, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&in_pieces));
    EXPECT_EQ(in_pieces.cpMin, in_whole.cpMin) << "the caret where a load at once leaves it";
    EXPECT_FALSE(SendMessageW(pieces, EM_CANUNDO, 0, 0));
    DestroyWindow(whole);
    DestroyWindow(pieces);
  }
  EXPECT_TRUE(went_on_later) << "some went in behind their first piece";
}

// A large chapter goes in behind its first screen; whatever reads the text
// meanwhile, or a key typed, gets all of it first, and the file gets it whole.
TEST_F(KeepingWork, ALargeChapterLoadingBehindItsFirstScreenIsNeverReadInPart) {
  Book book = sample_book(2);
  std::string big =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0 ";
  for (int p = 0; p < 450; ++p) {
    big += "para " + std::to_string(p) + " ";
    for (int k = 0; k < 60; ++k) big += "\\'cc\\'ec\\'b5\\'d8\\'d0\\'fe\\'bb\\'c6";  // 天地玄黄
    big += p == 200 ? " middle-mark\\par\r\n" : "\\par\r\n";
  }
  book.chapters[1].content = big + "}";
  const std::u16string whole = chapter_text16(book.chapters[1].content);
  ASSERT_GT(whole.size(), 100000u);
  ASSERT_EQ(write_book(dir_.path("big.zqb"), book), 0);
  window().commands().open_book(gbk_path("big.zqb"));
  wait_for_counts();

  select(2);
  UpdateWindow(c().content);
  ASSERT_TRUE(window().content_loading()) << "the first screen is shown before the rest is in";
  EXPECT_EQ(utf16_of(control_text(c().content)), whole) << "read while loading: all of it";
  EXPECT_FALSE(window().content_loading());
  EXPECT_FALSE(window().is_modified());

  select(1);
  select(2);
  ASSERT_TRUE(window().content_loading());
  SetFocus(c().content);
  type(c().content, L"新");  // through the loop, at the caret (the start)
  EXPECT_FALSE(window().content_loading());
  command(kCmdSave);
  Book saved;
  ASSERT_EQ(read_book(dir_.path("big.zqb"), "", saved), ReadStatus::ok);
  std::u16string typed = u"新";
  typed.append(whole);
  EXPECT_EQ(chapter_text16(saved.chapters[1].content), typed);

  // Left alone, it goes in on its own while the window answers.
  select(1);
  select(2);
  EXPECT_TRUE(wait_until([&] { return !window().content_loading(); }, 10000));
  EXPECT_EQ(utf16_of(control_text(c().content)), typed);
}

TEST_F(KeepingWork, ADamagedChapterSurvivesASaveByteForByte) {
  Book book = sample_book(3);
  std::string image = write_book_image(book);
  const Layout layout = layout_of(image);
  const size_t content2 = layout.items[layout.items.size() - 3];
  spoil(image, content2);
  write_bytes(dir_.path("damaged.zqb"), image);

  window().commands().open_book(gbk_path("damaged.zqb"));
  ASSERT_EQ(prompts_.messages.size(), 1u) << "the user is told on open";
  const std::wstring told = prompts_.messages[0].text;
  EXPECT_NE(told.find(L"第 2 章"), std::wstring::npos) << told;
  select(2);
  EXPECT_EQ(editor_text(), L"");
  EXPECT_TRUE(read_only_editor());
  EXPECT_NE(status_text(c().status, 3).find(L"已损坏"), std::wstring::npos);
  SetFocus(c().content);
  type(c().content, L"lost?");
  select(1);
  SetFocus(c().content);
  type(c().content, L"新");
  command(kCmdSave);
  const std::string again = read_bytes(dir_.path("damaged.zqb"));
  const Layout again_layout = layout_of(again);
  EXPECT_EQ(stored_item(again, again_layout.items[again_layout.items.size() - 3]),
            stored_item(image, content2));
  EXPECT_NE(read("damaged.zqb").chapters[0].content, sample_book(3).chapters[0].content);
}

TEST_F(KeepingWork, ChaptersOfMoreParagraphsThanTheControlCanLayOutOpenAtOnceReadOnly) {
  Book book = sample_book(3);
  // A paragraph every few bytes: 200,000 of them in RTF, and plain text of
  // 300,000 line breaks. Given whole, either froze the window for minutes.
  std::string rtf = "{\\rtf1\\ansi ";
  for (int i = 0; i < 200000; ++i) rtf += "x\\par ";
  book.chapters[1].content = rtf + "}";
  std::string lines;
  for (int i = 0; i < 300000; ++i) lines += "y\r\n";
  book.chapters[2].content = lines;
  ASSERT_EQ(write_book(dir_.path("long.zqb"), book), 0);
  window().commands().open_book(gbk_path("long.zqb"));
  for (int p : {2, 3}) {
    const ULONGLONG start = GetTickCount64();
    select(p);
    pump();
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_LT(took, 3000u) << "the window answers at once, chapter " << p;
    EXPECT_TRUE(read_only_editor());
    EXPECT_NE(status_text(c().status, 3).find(L"过长，只读"), std::wstring::npos);
    EXPECT_EQ(editor_text().rfind(L"（这一章有 ", 0), 0u) << "what is shown says so";
    EXPECT_NE(editor_text().find(L"多于编辑器一次能显示的 30000 段"), std::wstring::npos);
  }
  select(1);
  SetFocus(c().content);
  type(c().content, L"新");
  command(kCmdSave);
  const Book saved = read("long.zqb");
  EXPECT_EQ(saved.chapters[1].content, book.chapters[1].content) << "kept byte for byte";
  EXPECT_EQ(saved.chapters[2].content, book.chapters[2].content);
}

TEST_F(KeepingWork, ABinCountPastThirtyTwoBitsNeverReachesTheControl) {
  // The control reads \\bin4294967297 as \\bin1, then parses the nesting behind.
  Book book = sample_book(2);
  book.chapters[1].content =
      "{\\rtf1 \\bin4294967297 x" + std::string(5000, '{') + std::string(5000, '}') + "}";
  ASSERT_EQ(write_book(dir_.path("bin.zqb"), book), 0);
  window().commands().open_book(gbk_path("bin.zqb"));
  select(2);
  pump();
  EXPECT_TRUE(IsWindow(c().content));
  EXPECT_EQ(editor_text(), L"") << "shown as damaged, never given to the control";
  EXPECT_NE(status_text(c().status, 3).find(L"已损坏"), std::wstring::npos);
}

// A real document may nest its groups deeper than the control survives (33
// crash Wine's): such a chapter is shown as its text from our own reading,
// read-only, and saved as it was stored.
TEST_F(KeepingWork, RtfNestedDeeperThanTheControlTakesOpensAsItsText) {
  Book book = sample_book(3);
  std::string deep = "{\\rtf1\\ansi\\ansicpg936 \\'c1\\'d6\\'cf\\'aa\\par ";
  for (int i = 0; i < 40; ++i) deep += "{\\b ";
  deep += "deep";
  for (int i = 0; i < 40; ++i) deep += "}";
  deep += "\\par end}";
  book.chapters[1].content = deep;
  ASSERT_EQ(write_book(dir_.path("deep.zqb"), book), 0);
  window().commands().open_book(gbk_path("deep.zqb"));
  select(2);
  pump();
  ASSERT_TRUE(IsWindow(c().content)) << "the control is alive";
  const std::wstring shown = editor_text();
  EXPECT_NE(shown.find(L"林溪\rdeep\rend"), std::wstring::npos) << shown;
  EXPECT_NE(status_text(c().status, 3).find(L"嵌套过深"), std::wstring::npos);
  type(c().content, L"typed");
  EXPECT_EQ(editor_text(), shown) << "read-only";
  command(kCmdSave);
  EXPECT_EQ(read("deep.zqb").chapters[1].content, deep) << "kept byte for byte";

  // A nested table Wine's control fails on (from a real document) is shown
  // the same way, never given to the control.
  std::string odd =
      "{\\rtf1 \\intbl\\cellx5027\\itap2{\\*\\nesttableprops\\trowd { }{x}{ }\\nestcell"
      "\\nestrow}{ }\\cell \\cell \\cell\\row}";
  Book tables = sample_book(2);
  tables.chapters[1].content = odd;
  ASSERT_EQ(write_book(dir_.path("tables.zqb"), tables), 0);
  window().commands().open_book(gbk_path("tables.zqb"));
  select(2);
  pump();
  ASSERT_TRUE(IsWindow(c().content)) << "the control is alive";
  EXPECT_NE(editor_text().find(L"表格写法"), std::wstring::npos) << editor_text();
  EXPECT_NE(status_text(c().status, 3).find(L"表格无法显示"), std::wstring::npos);
}

TEST_F(KeepingWork, ACutFileOpensWhatIsReadableAndSaveAsksForAName) {
  Book book = sample_book(4);
  const std::string image = write_book_image(book);
  const Layout layout = layout_of(image);
  write_bytes(dir_.path("cut.zqb"), image.substr(0, layout.chapter_ends[1] + 7));

  prompts_.answers = {Answer::ok};
  window().commands().open_book(gbk_path("cut.zqb"));
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find(L"只能读出 2 章（共 4 章）"), std::wstring::npos);
  EXPECT_EQ(window().book().chapters.size(), 2u);
  EXPECT_EQ(window().book().file_path, "");
  EXPECT_TRUE(window().is_modified());

  prompts_.paths = {gbk_path("salvaged.zqb")};
  command(kCmdSave);
  ASSERT_EQ(prompts_.saves.size(), 1u) << "saving asks for a new name";
  EXPECT_EQ(read("salvaged.zqb").chapters.size(), 2u);
  EXPECT_EQ(read_bytes(dir_.path("cut.zqb")), image.substr(0, layout.chapter_ends[1] + 7))
      << "the damaged original is never written over";

  prompts_.answers = {Answer::cancel};
  window().commands().open_book(gbk_path("cut.zqb"));
  EXPECT_EQ(window().book().file_path, gbk_path("salvaged.zqb")) << "cancel keeps the book";
}

TEST_F(KeepingWork, PlainTextChaptersShowTheirText) {
  Book book = sample_book(1);
  book.chapters[0].content = "\xB5\xDA\xD2\xBB\xD5\xC2 plain\r\nsecond line";  // 第一章
  window().show_book(book);
  select(1);
  EXPECT_EQ(editor_text().substr(0, 9), L"第一章 plain");
  EXPECT_FALSE(read_only_editor());
  EXPECT_FALSE(window().is_modified());
}

TEST_F(KeepingWork, RelativePathsAreMadeAbsoluteOnOpen) {
  saved(sample_book(1), "rel.zqb");
  const std::wstring before = [] {
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    return std::wstring(buffer);
  }();
  SetCurrentDirectoryW(dir_.dir().c_str());
  window().commands().open_book("rel.zqb");
  SetCurrentDirectoryW(before.c_str());
  EXPECT_EQ(window().book().file_path, gbk_path("rel.zqb"));
}

TEST_F(KeepingWork, BooksInFoldersGbkCannotNameOpenSaveAndStayRecent) {
  const std::filesystem::path folder = dir_.dir() / L"\uD55C\uAE00";  // 한글
  std::filesystem::create_directory(folder);
  const std::filesystem::path file = folder / L"\uC7A5\u4E66.zqb";  // 장书.zqb
  Book book = sample_book(1);
  ASSERT_EQ(write_book(file, book), 0);
  const std::string path = wide_to_path_text(file.wstring());  // as the chooser gives it
  window().commands().open_book(path);
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(path_text_to_wide(window().book().file_path), file.wstring());
  EXPECT_EQ(menu_caption(window().menus().file->handle(), kCmdRecent1), L"&1 \uC7A5\u4E66.zqb");

  SetFocus(c().author);
  SendMessageW(c().author, EM_SETSEL, 0, -1);
  type(c().author, L"作者");
  command(kCmdSave);
  EXPECT_TRUE(prompts_.messages.empty());
  Book back;
  ASSERT_EQ(read_book(file, "", back), ReadStatus::ok);
  EXPECT_EQ(gbk_to_wide(back.author), L"作者");

  const std::filesystem::path other = folder / L"\uB458.zqb";  // 둘.zqb
  prompts_.paths = {wide_to_path_text(other.wstring())};
  command(kCmdSaveAs);
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_EQ(menu_caption(window().menus().file->handle(), kCmdRecent1), L"&1 \uB458.zqb")
      << "saved as: first";
  command(kCmdNew);
  command(kCmdRecent1 + 1);
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(gbk_to_wide(window().book().author), L"作者");
  EXPECT_EQ(path_text_to_wide(window().book().file_path), file.wstring());
}

TEST_F(KeepingWork, EachSaveKeepsThePreviousVersionAsBak) {
  const std::string path = saved(sample_book(1), "tale.zqb");
  const std::string first = read_bytes(dir_.path("tale.zqb"));
  window().commands().open_book(path);
  SetFocus(c().author);
  type(c().author, L"x");
  command(kCmdSave);
  EXPECT_EQ(read_bytes(dir_.path("tale.zqb.bak")), first);
  EXPECT_FALSE(std::filesystem::exists(dir_.path("tale.zqb.saving")));
}

TEST_F(KeepingWork, EndingTheSessionAsksAndKeepsARecoveryCopyFirst) {
  window().show_book(sample_book(1));
  SetFocus(c().author);
  type(c().author, L"y");
  prompts_.answers = {Answer::cancel};
  EXPECT_EQ(SendMessageW(hwnd_, WM_QUERYENDSESSION, 0, 0), FALSE);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  ASSERT_TRUE(window().recovery()->has_copy());
  // The copy is written on a worker thread; a later copy waits for it.
  window().recovery()->write(window().book(), true);
  Book copy;
  ASSERT_EQ(read_book(window().recovery()->copy_path(), "", copy), ReadStatus::ok);
  EXPECT_EQ(copy.author, "yauthor");

  prompts_.paths = {gbk_path("saved.zqb")};
  command(kCmdSave);
  EXPECT_FALSE(window().recovery()->has_copy()) << "a save removes the copy";
  EXPECT_FALSE(std::filesystem::exists(window().recovery()->copy_path()));
}

TEST_F(KeepingWork, ClickingAFieldAfterABookIsShownKeepsTheFocusThere) {
  SetFocus(c().tree);
  window().show_book(sample_book(2));
  SetFocus(c().author);
  pump();
  EXPECT_EQ(GetFocus(), c().author) << "the focus does not bounce back to the tree";
  EXPECT_FALSE(window().is_modified());
}

TEST_F(KeepingWork, TheContentEditorKeepsItsBorder) {
  window().show_book(sample_book(2));
  select(1);
  for (bool read_only : {false, true}) {
    if (read_only) command(kCmdReadOnly);
    SetFocus(c().content);
    SetFocus(c().tree);
    EXPECT_TRUE(GetWindowLongPtrW(c().content, GWL_STYLE) & WS_BORDER) << read_only;
  }
}

}  // namespace
}  // namespace folivra::test
