// The text file's bytes, and the conversion command around them.
#include "export/text_export.h"

#include <gtest/gtest.h>

#include "book/gbk_wide.h"

#include "app/document_commands.h"
#include "app/scripted_prompts.h"
#include "book/book_time.h"
#include "book/test_books.h"

namespace folivra {
namespace {

const std::string kHeader = "\xCA\xE9\xBC\xAE\xD0\xC5\xCF\xA2\r\n";     // 书籍信息
const std::string kTitle = "\xCA\xE9\xC3\xFB\xA3\xBA";                  // 书名：
const std::string kAuthor = "\xD7\xF7\xD5\xDF\xA3\xBA";                 // 作者：
const std::string kType = "\xC0\xE0\xD0\xCD\xA3\xBA";                   // 类型：
const std::string kTime = "\xCA\xB1\xBC\xE4\xA3\xBA";                   // 时间：
const std::string kIntro = "\xBC\xF2\xBD\xE9\xA3\xBA\r\n    ";          // 简介：
const std::string kRemarks = "\xB1\xB8\xD7\xA2\xA3\xBA";                // 备注：
const std::string kCount = "\xD5\xC2\xBD\xDA\xCA\xFD\xC1\xBF\xA3\xBA";  // 章节数量：

Book small_book() {
  Book book;
  book.title = "T";
  book.author = "A";
  book.book_type = "K";
  book.time = date_time_from_calendar({2018, 9, 16, 8, 5, 3});
  return book;
}

TEST(TextExport, BookWithoutChapters) {
  EXPECT_EQ(book_text(small_book()), kHeader + kTitle + "T\r\n" + kAuthor + "A\r\n" + kType +
                                         "K\r\n" + kTime + "2018-09-16 08:05:03\r\n" + kIntro +
                                         "\r\n" + kCount + "0\r\n\r\n\r\n");
}

TEST(TextExport, RemarksLineFollowsTheIntroduction) {
  Book book = small_book();
  book.intro = "line one\r\nline two";
  book.remarks = "R";
  const std::string text = book_text(book);
  EXPECT_NE(text.find(kIntro + "line one\r\nline two\r\n" + kRemarks + "R\r\n" + kCount),
            std::string::npos);
}

TEST(TextExport, TwoChaptersEndWithoutASeparator) {
  Book book = small_book();
  book.chapters = {{1, 1, "N1", "{\\rtf1 one}", {}, {}, {}, {}},
                   {2, 1, "", std::string("c\0two", 5), {}, {}, {}, {}}};
  book.chapter_count = 2;
  const std::string text = book_text(book);
  const std::string tail =
      kCount + "2\r\n\r\n\r\nN1\r\n\r\n{\\rtf1 one}\r\n\r\n\r\n\r\n\r\n" + std::string("c\0two", 5);
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(TextExport, TwentyFiveChaptersComeInBatchesOfTen) {
  Book book = test::sample_book(25);
  std::vector<size_t> writes;
  std::string streamed;
  export_book_text(book, [&](std::string_view bytes) {
    writes.push_back(bytes.size());
    streamed += bytes;
    return true;
  });
  EXPECT_EQ(writes.size(), 7u + 3u) << "six header lines, the count line, three batches";
  std::string all_at_once;
  for (int i = 0; i < 25; ++i) {
    all_at_once += book.chapters[static_cast<size_t>(i)].name + "\r\n\r\n" +
                   book.chapters[static_cast<size_t>(i)].content + (i < 24 ? "\r\n\r\n\r\n" : "");
  }
  EXPECT_EQ(streamed.substr(streamed.size() - all_at_once.size()), all_at_once);
  EXPECT_EQ(streamed, book_text(book));
}

TEST(TextExport, AFailedWriteStops) {
  int calls = 0;
  EXPECT_FALSE(
      export_book_text(test::sample_book(3), [&](std::string_view) { return ++calls < 3; }));
  EXPECT_EQ(calls, 3);
}

class ConvertCommand : public testing::Test {
 protected:
  struct View : DocumentView {
    Book book = test::sample_book(3);
    bool modified = false;
    std::vector<std::string> recent;
    Book& current_book() override { return book; }
    void show_book(Book) override {}
    bool is_modified() const override { return modified; }
    void set_modified(bool m) override { modified = m; }
    void add_chapter_items(int) override {}
    const std::vector<std::string>& recent_files() const override { return recent; }
    void add_recent_file(const std::string&) override {}
    std::string last_folder() const override { return "/program"; }
  } view;
  test::ScriptedPrompts prompts;
  DocumentCommands commands{view, prompts};
  test::TempDir dir;
};

TEST_F(ConvertCommand, WritesTheTextAndSaysSo) {
  view.book.file_path = "C:\\books\\tale.zqb";
  const std::string target = dir.path("tale.txt").string();
  test::write_bytes(target, std::string(100000, 'x'));  // replaced as a whole
  prompts.paths = {target};
  commands.convert_to_text();
  ASSERT_EQ(prompts.saves.size(), 1u);
  EXPECT_EQ(prompts.saves[0].initial_directory, "C:\\books");
  EXPECT_EQ(prompts.saves[0].default_name, "tale");
  EXPECT_FALSE(prompts.saves[0].keep_directory);
  EXPECT_EQ(test::read_bytes(target), book_text(view.book));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].icon, Icon::information);
  EXPECT_EQ(prompts.messages[0].text, L"转换成功 文件：" + path_text_to_wide(target));
  EXPECT_EQ(view.book.file_path, "C:\\books\\tale.zqb");
  EXPECT_FALSE(view.modified);
}

TEST_F(ConvertCommand, CancelIsSilent) {
  commands.convert_to_text();
  EXPECT_EQ(prompts.saves[0].initial_directory, "/program")
      << "a book never saved: the last folder";
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConvertCommand, UnwritableTargetFailsAndLeavesNoFile) {
  const std::string target = (dir.dir() / "missing" / "t.txt").string();
  prompts.paths = {target};
  commands.convert_to_text();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].icon, Icon::error);
  EXPECT_EQ(prompts.messages[0].caption, L"转换失败");
  EXPECT_EQ(prompts.messages[0].text,
            L"转换失败！ - 打开文件 " + path_text_to_wide(target) + L" 失败");
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace folivra

namespace folivra {
namespace {

TEST(TextExport, ACountBeyondTheListWritesWhatThereIs) {
  Book book = test::sample_book(2);
  book.chapter_count = 5;
  const std::string text = book_text(book);
  EXPECT_NE(text.find("\xD5\xC2\xBD\xDA\xCA\xFD\xC1\xBF\xA3\xBA"
                      "5\r\n"),
            std::string::npos);
  EXPECT_EQ(text.substr(text.size() - book.chapters[1].content.size()), book.chapters[1].content);
}

}  // namespace
}  // namespace folivra
