// The open, save, insert and password flows against a scripted user.
#include "app/document_commands.h"

#include <gtest/gtest.h>

#include "book/gbk_wide.h"

#include "app/scripted_prompts.h"
#include "book/field_cipher.h"
#include "book/file_io.h"
#include "book/gbk.h"

#ifndef _WIN32
#include <unistd.h>
#endif
#include "book/test_books.h"

namespace folivra {
namespace {

using test::ScriptedPrompts;
using test::TempDir;

// The window, as far as the commands can tell.
class BookHolder : public DocumentView {
 public:
  Book book;
  bool modified = false;
  std::vector<std::string> recent;
  std::vector<int> item_batches;  // the first position of each add_chapter_items
  int shows = 0;

  Book& current_book() override { return book; }
  void show_book(Book b) override {
    book = b;
    modified = false;
    ++shows;
  }
  bool is_modified() const override { return modified; }
  void set_modified(bool m) override { modified = m; }
  void add_chapter_items(int first) override { item_batches.push_back(first); }
  const std::vector<std::string>& recent_files() const override { return recent; }
  void add_recent_file(const std::string& path) override { recent.insert(recent.begin(), path); }
  std::vector<std::string> folders;  // remembered, latest last
  std::string last_folder() const override { return folders.empty() ? "/docs" : folders.back(); }
  void remember_folder(const std::string& folder) override { folders.push_back(folder); }
};

const std::wstring kModifiedSuffix = L" 已被修改，是否保存?";
const std::wstring kFormatError = L"文件格式错误，请重新选择文件";
const std::wstring kPasswordError = L"文件密码错误，请重新打开文件";
const std::wstring kCannotOpen = L"文件打开失败，请确定文件是否被占用";

class Flows : public testing::Test {
 protected:
  std::string path(const std::string& name) { return dir.path(name).string(); }
  std::string save(Book book, const std::string& name) {
    EXPECT_EQ(write_book(path(name), book), 0);
    return path(name);
  }
  void edit() {
    view.book = test::sample_book(2);
    view.book.title = "\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE";  // 新的书籍
    view.modified = true;
  }

  TempDir dir;
  BookHolder view;
  ScriptedPrompts prompts;
  DocumentCommands commands{view, prompts};
};

TEST_F(Flows, UnchangedBookNeedsNoQuestion) {
  EXPECT_TRUE(commands.confirm_discard());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Flows, GuardQuestionAndItsAnswers) {
  edit();
  prompts.answers = {Answer::cancel};
  EXPECT_FALSE(commands.confirm_discard());
  ASSERT_EQ(prompts.messages.size(), 1u);
  const Message& question = prompts.messages[0];
  EXPECT_EQ(question.text, L"新的书籍" + kModifiedSuffix);
  EXPECT_EQ(question.caption, L"保存");
  EXPECT_EQ(question.icon, Icon::question);
  EXPECT_EQ(question.buttons, Buttons::yes_no_cancel);
  EXPECT_TRUE(question.owned);
  EXPECT_TRUE(view.modified);

  prompts.answers = {Answer::no};
  EXPECT_TRUE(commands.confirm_discard());
  EXPECT_TRUE(view.modified) << "not saved, just let go";

  view.book.title.clear();
  prompts.answers = {Answer::cancel};
  commands.confirm_discard();
  EXPECT_EQ(prompts.messages.back().text, kModifiedSuffix) << "the leading space stays";
}

TEST_F(Flows, YesSavesAndCancellingTheChooserStopsEverything) {
  edit();
  prompts.answers = {Answer::yes};
  EXPECT_FALSE(commands.confirm_discard()) << "the save dialog was cancelled";
  EXPECT_EQ(prompts.saves.size(), 1u);
  EXPECT_TRUE(view.modified);
  EXPECT_EQ(view.book.file_path, "");

  prompts.answers = {Answer::yes};
  prompts.paths = {path("saved")};
  EXPECT_TRUE(commands.confirm_discard());
  EXPECT_FALSE(view.modified);
  EXPECT_EQ(view.book.file_path, path("saved.zqb")) << "a name without extension gets .zqb";
  Book read;
  EXPECT_EQ(read_book(path("saved.zqb"), "", read), ReadStatus::ok);
  EXPECT_EQ(view.recent, std::vector<std::string>{path("saved.zqb")})
      << "the first save of a new book puts it in the recent list";
}

TEST_F(Flows, TheProposedNameIsTheTitleWindowsTakes) {
  edit();
  view.book.title = gbk_of("剑来：上/下卷?") + "\x01 " + gbk_of("表") + " .";  // 表 ends in 0x5C
  EXPECT_FALSE(commands.save_book());
  ASSERT_EQ(prompts.saves.size(), 1u);
  EXPECT_EQ(prompts.saves[0].default_name, gbk_of("剑来：上_下卷__ 表"));
  EXPECT_EQ(prompts.saves[0].initial_directory, "/docs");
}

TEST_F(Flows, ACutRecoveryCopyOpensWithoutTheOriginalsName) {
  Book whole = test::sample_book(31);
  const std::string original = save(whole, "tale.zqb");
  const std::string original_bytes = test::read_bytes(original);
  const std::string copy_bytes = test::read_bytes(save(whole, "copy.zqb"));
  for (const size_t keep : {copy_bytes.size() / 2, size_t{40}}) {
    test::write_bytes(path("cut.zqb"), copy_bytes.substr(0, keep));
    prompts.answers = {Answer::ok, Answer::ok};  // take what was read; the damage note
    const bool opened = commands.restore_copy(path("cut.zqb"), original);
    if (opened) {
      EXPECT_LT(view.book.chapters.size(), 31u);
      EXPECT_EQ(view.book.file_path, "") << "a cut copy must not be saved over the whole book";
      EXPECT_TRUE(view.modified);
      prompts.paths.clear();  // the chooser asks for a name, and is cancelled
      EXPECT_FALSE(commands.save_book());
    }
    EXPECT_EQ(test::read_bytes(original), original_bytes) << keep;
  }
  // A whole copy goes back where it came from.
  prompts.answers = {Answer::ok};
  ASSERT_TRUE(commands.restore_copy(path("copy.zqb"), original));
  EXPECT_EQ(view.book.file_path, original);
  EXPECT_EQ(view.book.chapters.size(), 31u);
}

TEST_F(Flows, NewBookAfterTheGuard) {
  edit();
  prompts.answers = {Answer::cancel};
  commands.new_book_command();
  EXPECT_EQ(view.shows, 0);
  prompts.answers = {Answer::no};
  commands.new_book_command();
  ASSERT_EQ(view.shows, 1);
  EXPECT_EQ(view.book.title, "\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE");
  EXPECT_EQ(view.book.author, "\xB5\xE3\xBB\xF7\xB1\xE0\xBC\xAD");
  EXPECT_EQ(view.book.intro, "\xB5\xE3\xBB\xF7\xB1\xE0\xBC\xAD");
  EXPECT_EQ(view.book.chapter_count, 0);
  EXPECT_EQ(view.book.file_path, "");
  EXPECT_GT(view.book.time, 45000.0);
}

TEST_F(Flows, OpenAsksForTheFileInTheLastFolderThenTheBooks) {
  const std::string book = save(test::sample_book(3), "tale.zqb");
  prompts.paths = {book};
  commands.open_book_command();
  ASSERT_EQ(prompts.opens.size(), 1u);
  EXPECT_EQ(prompts.opens[0].initial_directory, "/docs") << "no book, no folder used yet";
  EXPECT_EQ(view.folders, std::vector<std::string>{dir.dir().string()});
  EXPECT_FALSE(prompts.opens[0].title.has_value()) << "the default title";
  EXPECT_EQ(prompts.opens[0].filter, L"ZQB书籍(*.zqb)|*.zqb");
  EXPECT_TRUE(prompts.opens[0].keep_directory);
  EXPECT_EQ(view.book.chapter_count, 3);
  EXPECT_EQ(view.book.file_path, book);
  EXPECT_EQ(view.recent, std::vector<std::string>{book});
  EXPECT_TRUE(prompts.messages.empty());

  // With a book open, the next chooser starts beside it.
  view.folders = {"/elsewhere"};
  commands.insert_book();
  ASSERT_EQ(prompts.opens.size(), 2u);
  EXPECT_EQ(prompts.opens[1].initial_directory, dir.dir().string());
}

TEST_F(Flows, ProtectedBookWithTheRightPassword) {
  Book locked = test::sample_book(1);
  locked.password = "pw";
  const std::string book = save(locked, "locked.zqb");
  prompts.passwords = {"pw"};
  commands.open_book(book);
  ASSERT_EQ(prompts.open_asks.size(), 1u);
  EXPECT_EQ(prompts.open_asks[0].file_name, "locked.zqb");
  EXPECT_EQ(prompts.open_asks[0].check_value, password_check_value("pw"));
  EXPECT_EQ(prompts.open_asks[0].hint, "\xCE\xDE") << "no hint shows 无";
  EXPECT_EQ(view.book.password, "pw");
  EXPECT_EQ(view.shows, 1);
}

TEST_F(Flows, GivingUpAtThePasswordChangesNothing) {
  Book locked = test::sample_book(1);
  locked.password = "pw";
  locked.password_hint = "usual";
  const std::string book = save(locked, "locked.zqb");
  view.book.title = "current";
  commands.open_book(book);  // the prompt gives up: cancelled, or three wrong tries
  EXPECT_EQ(prompts.open_asks[0].hint, "usual");
  EXPECT_EQ(view.shows, 0);
  EXPECT_EQ(view.book.title, "current");
  EXPECT_TRUE(prompts.messages.empty()) << "no message after the prompt gave up";
  EXPECT_TRUE(view.recent.empty());
}

TEST_F(Flows, ReadFailuresShowTheirMessages) {
  test::write_bytes(dir.path("foreign.zqb"), "PK not a book");
  commands.open_book(path("foreign.zqb"));
  commands.open_book(path("missing.zqb"));
  Book locked = test::sample_book(1);
  locked.password = "pw";
  prompts.passwords = {"wrong"};  // as if a prompt had let a wrong one through
  commands.open_book(save(locked, "locked.zqb"));
  ASSERT_EQ(prompts.messages.size(), 3u);
  EXPECT_EQ(prompts.messages[0].text, kFormatError);
  EXPECT_EQ(prompts.messages[1].text, kCannotOpen);
  EXPECT_EQ(prompts.messages[2].text, kPasswordError);
  for (const Message& m : prompts.messages) {
    EXPECT_EQ(m.caption, L"信息：");
    EXPECT_EQ(m.icon, Icon::error);
    EXPECT_FALSE(m.owned);
  }
  EXPECT_EQ(view.shows, 0);
  EXPECT_TRUE(view.recent.empty());
}

TEST_F(Flows, SaveOfAnUnchangedBookWritesNothing) {
  view.book.file_path = path("never.zqb");
  EXPECT_TRUE(commands.save_book());
  EXPECT_FALSE(std::filesystem::exists(path("never.zqb")));
}

TEST_F(Flows, SaveIntoAMissingFolderKeepsPathAndFlag) {
  edit();
  const std::string target = (dir.dir() / "no such folder" / "b.zqb").string();
  prompts.paths = {target};
  EXPECT_FALSE(commands.save_book());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            L"保存失败！ - 文件夹不存在：" + (dir.dir() / L"no such folder").wstring());
  EXPECT_EQ(prompts.messages[0].caption, L"保存");
  EXPECT_TRUE(prompts.messages[0].owned);
  EXPECT_EQ(view.book.file_path, target);
  EXPECT_TRUE(view.modified);
  EXPECT_FALSE(commands.save_book());
  EXPECT_EQ(prompts.saves.size(), 1u) << "the second attempt uses the kept path";
}

TEST_F(Flows, SaveAsProposesTheNameAndWritesEvenUnchanged) {
  view.book = test::sample_book(1);
  view.book.file_path = path("tale.zqb");
  prompts.paths = {path("copy.zqb")};
  EXPECT_TRUE(commands.save_book_as());
  EXPECT_EQ(prompts.saves[0].default_name, "tale");
  EXPECT_EQ(prompts.saves[0].initial_directory, dir.dir().string());
  EXPECT_EQ(view.book.file_path, path("copy.zqb"));
  EXPECT_TRUE(std::filesystem::exists(path("copy.zqb")));
  EXPECT_FALSE(view.modified);

  prompts.paths.clear();
  EXPECT_FALSE(commands.save_book_as());
  EXPECT_EQ(view.book.file_path, path("copy.zqb"));
}

TEST_F(Flows, InsertAppendsAndNumbersChapters) {
  view.book = test::sample_book(2);
  view.book.password = "mine";
  Book other = test::sample_book(3);
  other.title = "other title";
  other.cover = "other cover";
  other.password = "theirs";
  prompts.paths = {save(other, "other.zqb")};
  prompts.passwords = {"theirs"};
  commands.insert_book();
  ASSERT_EQ(view.book.chapter_count, 5);
  ASSERT_EQ(view.book.chapters.size(), 5u);
  for (int i = 2; i < 5; ++i) {
    EXPECT_EQ(view.book.chapters[static_cast<size_t>(i)].number, i + 1);
    EXPECT_EQ(view.book.chapters[static_cast<size_t>(i)].name,
              other.chapters[static_cast<size_t>(i - 2)].name);
  }
  EXPECT_EQ(view.item_batches, std::vector<int>{3});
  EXPECT_EQ(view.book.title, test::sample_book(2).title);
  EXPECT_EQ(view.book.password, "mine");
  EXPECT_NE(view.book.cover, "other cover");
  EXPECT_TRUE(view.modified);
  EXPECT_TRUE(view.recent.empty());
}

TEST_F(Flows, PasswordSetAndRemoved) {
  view.book = test::sample_book(1);
  view.book.file_path = path("p.zqb");
  prompts.new_passwords = {{true, "secret", "a hint"}};
  commands.set_password_command();
  EXPECT_EQ(prompts.new_asks[0].file_name, "p.zqb");
  EXPECT_TRUE(view.modified);
  ASSERT_TRUE(commands.save_book());
  EXPECT_FALSE(peek_book_lock(test::read_bytes(path("p.zqb"))).check_value.empty());

  commands.set_password_command();  // cancelled: what it was given comes back
  EXPECT_FALSE(view.modified);
  prompts.new_passwords = {{true, "", "a hint"}};
  commands.set_password_command();
  ASSERT_TRUE(commands.save_book());
  EXPECT_TRUE(peek_book_lock(test::read_bytes(path("p.zqb"))).check_value.empty());
  Book read;
  EXPECT_EQ(read_book(path("p.zqb"), "", read), ReadStatus::ok);
}

TEST_F(Flows, ASaveOverAFileChangedElsewhereAsksFirst) {
  const std::string book = save(test::sample_book(2), "tale.zqb");
  commands.open_book(book);
  const std::string theirs = test::read_bytes(save(test::sample_book(5), "tale.zqb"));
  view.book.title = "mine";
  view.modified = true;

  prompts.answers = {Answer::cancel};
  EXPECT_FALSE(commands.save_book());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].buttons, Buttons::yes_no_cancel);
  EXPECT_EQ(test::read_bytes(book), theirs) << "the other program's words stay";
  EXPECT_TRUE(view.modified);

  prompts.answers = {Answer::no};  // save under another name
  prompts.paths = {path("mine.zqb")};
  EXPECT_TRUE(commands.save_book());
  EXPECT_EQ(test::read_bytes(book), theirs);
  EXPECT_EQ(view.book.file_path, path("mine.zqb"));
  Book read;
  ASSERT_EQ(read_book(path("mine.zqb"), "", read), ReadStatus::ok);
  EXPECT_EQ(read.title, "mine");

  // Saved there, the next save writes without a question; a change by
  // another program is asked about again, and "是" overwrites.
  view.modified = true;
  EXPECT_TRUE(commands.save_book());
  EXPECT_EQ(prompts.messages.size(), 2u);
  save(test::sample_book(4), "mine.zqb");
  view.modified = true;
  prompts.answers = {Answer::yes};
  EXPECT_TRUE(commands.save_book());
  EXPECT_EQ(prompts.messages.size(), 3u);
  ASSERT_EQ(read_book(path("mine.zqb"), "", read), ReadStatus::ok);
  EXPECT_EQ(read.chapter_count, 2);
}

TEST_F(Flows, ABookChangedElsewhereIsOfferedAgainOnce) {
  const std::string book = save(test::sample_book(2), "tale.zqb");
  commands.open_book(book);
  commands.check_disk();
  EXPECT_TRUE(prompts.messages.empty()) << "unchanged: nothing to say";
  save(test::sample_book(5), "tale.zqb");
  prompts.answers = {Answer::cancel};
  commands.check_disk();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(view.book.chapter_count, 2) << "kept as it was";
  commands.check_disk();
  EXPECT_EQ(prompts.messages.size(), 1u) << "the same change is told once";

  save(test::sample_book(6), "tale.zqb");
  prompts.answers = {Answer::ok};
  commands.check_disk();
  EXPECT_EQ(view.book.chapter_count, 6) << "read again";
  commands.check_disk();
  EXPECT_EQ(prompts.messages.size(), 2u);

  // With changes of its own, the window keeps them and only warns.
  save(test::sample_book(3), "tale.zqb");
  view.modified = true;
  commands.check_disk();
  ASSERT_EQ(prompts.messages.size(), 3u);
  EXPECT_EQ(prompts.messages[2].icon, Icon::information);
  EXPECT_EQ(view.book.chapter_count, 6);
}

TEST_F(Flows, ASaveFailureSaysWhy) {
  edit();
  const std::string book = save(test::sample_book(1), "locked.zqb");
  view.book.file_path = book;
  std::filesystem::permissions(book, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(commands.save_book());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find(L"是只读的"), std::wstring::npos);
  EXPECT_TRUE(view.modified);

#ifndef _WIN32
  if (::geteuid() != 0) {  // root writes in any folder
    std::filesystem::create_directory(dir.path("shut"));
    view.book.file_path = path("shut") + "/b.zqb";
    std::filesystem::permissions(dir.path("shut"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(commands.save_book());
    EXPECT_NE(prompts.messages.back().text.find(L"没有权限"), std::wstring::npos);
    std::filesystem::permissions(dir.path("shut"), std::filesystem::perms::owner_all);
  }
#endif
}

TEST(BookExtension, AddedOnlyWhenMissing) {
  EXPECT_EQ(with_book_extension("C:\\b\\tale"), "C:\\b\\tale.zqb");
  EXPECT_EQ(with_book_extension("C:\\b\\tale.zqb"), "C:\\b\\tale.zqb");
  EXPECT_EQ(with_book_extension("C:\\b\\tale.txt"), "C:\\b\\tale.txt");
  EXPECT_EQ(with_book_extension("C:\\b\\"), "C:\\b\\");
}

}  // namespace
}  // namespace folivra
