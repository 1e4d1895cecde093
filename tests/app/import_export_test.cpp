// A novel brought in from a TXT file, given a cover, taken out as EPUB and
// plain text, saved and opened again: from the window, with real messages.
#include <richedit.h>

#include <cstring>

#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "ui/menu_ids.h"
#include "ui/picture_box.h"

namespace folivra::test {
namespace {

class ImportExport : public WindowTest {
 protected:
  std::string gbk_path(const char* name) { return wide_to_gbk_lossy(dir_.path(name).wstring()); }
};

// A 2 x 2 pixel, 24-bit BMP.
std::string small_bmp() {
  std::string bmp = unhex("424d460000000000000036000000");  // the file header
  bmp += unhex("28000000020000000200000001001800000000001000000000000000000000000000000000000000");
  bmp += unhex("0000ffffffff0000ff00ff000000ff00");
  return bmp;
}

TEST_F(ImportExport, ANovelComesInGetsACoverAndGoesOutAsEpub) {
  // GBK, as older tools write it, with text before the first heading.
  std::string novel =
      gbk_of("远方\r\n\r\n第一章 出发\r\n　　他说第一章写得好。\r\n\r\n　　走吧。\r\n");
  novel += gbk_of("第二章 路上\r\n　　雨。\r\n");
  write_bytes(dir_.path("novel.txt"), novel);
  prompts_.paths = {gbk_path("novel.txt")};
  prompts_.import_choice.accepted = true;
  loop_key(c().content, 'T');  // without Ctrl it is no accelerator: nothing happens
  EXPECT_TRUE(prompts_.import_files.empty());
  {
    HeldKeys keys(true, true);
    loop_key(hwnd_, 'T');
  }
  ASSERT_EQ(prompts_.import_files.size(), 1u);
  EXPECT_EQ(prompts_.import_files[0], L"novel.txt");
  const ImportPreview& preview = prompts_.import_previews[0];
  ASSERT_EQ(preview.rows.size(), 3u);
  EXPECT_EQ(preview.rows[0].name, L"序");
  EXPECT_EQ(preview.rows[1].name, L"第一章 出发");
  EXPECT_EQ(preview.rows[1].first_line, L"　　他说第一章写得好。");
  EXPECT_EQ(preview.rows[2].words, 1u) << "雨; 。 is no word";

  // A new book named after the file, each chapter in the tree.
  EXPECT_TRUE(window().is_modified());
  EXPECT_EQ(window().book().title, "novel");
  ASSERT_EQ(window().document().count(), 3);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(2)), L"第一章 出发");
  select(2);
  EXPECT_EQ(text_of(c().content).substr(0, 11), L"　　他说第一章写得好。");

  // Appended to the open book as one step that undo takes back.
  prompts_.paths = {gbk_path("novel.txt")};
  prompts_.import_choice.append = true;
  command(kCmdImportText);
  EXPECT_EQ(window().document().count(), 6);
  window().undo_chapters(false);
  EXPECT_EQ(window().document().count(), 3);

  // A cover of one's own; a file that is no picture is refused.
  write_bytes(dir_.path("cover.bmp"), small_bmp());
  write_bytes(dir_.path("notes.txt"), "not a picture");
  prompts_.paths = {gbk_path("notes.txt")};
  command(kCmdSetCover);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find(L"不是可用的图片文件"), std::wstring::npos);
  EXPECT_TRUE(window().book().cover.empty());
  prompts_.paths = {gbk_path("cover.bmp")};
  command(kCmdSetCover);
  EXPECT_EQ(window().book().cover, small_bmp());
  EXPECT_NE(picture_of(c().cover), nullptr) << "shown on the information page";

  // EPUB out, then the book saved and opened again with its cover.
  prompts_.paths = {gbk_path("novel.epub")};
  command(kCmdExportEpub);
  const std::string epub = read_bytes(dir_.path("novel.epub"));
  EXPECT_EQ(epub.substr(0, 4), "PK\x03\x04");
  EXPECT_NE(epub.find("mimetypeapplication/epub+zip"), std::string::npos);
  EXPECT_EQ(prompts_.messages.back().caption, L"导出成功");
  prompts_.paths = {gbk_path("novel.zqb")};
  command(kCmdSave);
  Book saved;
  ASSERT_EQ(read_book(dir_.path("novel.zqb"), "", saved), ReadStatus::ok);
  EXPECT_EQ(saved.cover, small_bmp());
  ASSERT_EQ(saved.chapters.size(), 3u);
  EXPECT_EQ(plain_lines(saved.chapters[1].content),
            (std::vector<std::string>{"　　他说第一章写得好。", "", "　　走吧。"}));
  window().commands().open_book(gbk_path("novel.zqb"));
  EXPECT_NE(picture_of(c().cover), nullptr);
  command(kCmdDeleteCover);
  EXPECT_TRUE(window().book().cover.empty());
  EXPECT_EQ(picture_of(c().cover), nullptr);
  EXPECT_TRUE(window().is_modified());

  // A click on the cover box asks for a picture; cancelled, the box keeps
  // the focus and Ctrl+V pastes the one on the clipboard.
  const size_t opens = prompts_.opens.size();
  SendMessageW(c().cover, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_EQ(prompts_.opens.size(), opens + 1);
  EXPECT_EQ(*prompts_.opens.back().title, L"设置封面");
  EXPECT_EQ(GetFocus(), c().cover);
  const std::string dib = small_bmp().substr(14);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  std::memcpy(GlobalLock(memory), dib.data(), dib.size());
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(hwnd_));
  EmptyClipboard();
  SetClipboardData(CF_DIB, memory);
  CloseClipboard();
  {
    HeldKeys ctrl(true);
    loop_key(c().cover, 'V');
  }
  EXPECT_EQ(window().book().cover, small_bmp()) << "the clipboard's DIB as a BMP file";
  EXPECT_NE(picture_of(c().cover), nullptr);
}

}  // namespace
}  // namespace folivra::test
