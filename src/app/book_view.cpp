// Showing a book in the window, and the two document flags.
#include "ui/cover_picture.h"
#include "app/main_window.h"
#include "document/chapter_look.h"
#include "ui/menu_ids.h"
#include "ui/picture_box.h"
#include "ui/status_progress.h"
#include "ui/window_text.h"
#include "book/book_time.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

// The commands that need a book; the empty window has them disabled.
constexpr UINT kBookCommands[] = {
    kCmdSaveAs,      kCmdConvertText, kCmdSetPassword,     kCmdAddChapter,
    kCmdReadOnly,    kCmdCompile,     kCmdCloseBook,       kCmdExportPlain,
    kCmdFind,        kCmdFindNext,    kCmdFindPrevious,    kCmdReplace,
    kCmdFindInBook,  kCmdWordCount,   kCmdExportEpub,      kCmdSetCover,
    kCmdDeleteCover, kCmdHistory,     kCmdDeletedChapters, kCmdLayoutChapter,
    kCmdLayoutBook,  kCmdRenumber,    kCmdNewVolume,       kCmdWritingView};

}  // namespace

void MainWindow::set_status(int pane, const std::wstring& text) {
  const WPARAM border = pane == 0 || pane == 2 ? SBT_NOBORDERS : 0;
  SendMessageW(c_.status, SB_SETTEXTW, static_cast<WPARAM>(pane) | border,
               reinterpret_cast<LPARAM>(text.c_str()));
}

// "书名 - Folivra", with "*" in front while there are unsaved changes.
void MainWindow::refresh_caption() {
  std::wstring caption = L"Folivra";
  if (has_book_) {
    const std::wstring title = book_.title.empty() ? L"新的书籍" : gbk_to_wide(book_.title);
    caption = (doc_.modified() ? L"*" : L"") + title + L" - Folivra";
  }
  SetWindowTextW(hwnd_, caption.c_str());
}

void MainWindow::title_shown(const std::wstring& title) {
  tree_.set_title(title);
  set_status(1, title);
  refresh_caption();
}

bool MainWindow::write_book_to(const std::filesystem::path& path, Book& book) {
  WriteOptions options;
  options.keep_backup = settings_.read_bool("Editor", "backup", true);
  WrittenBook written;
  saving_ = true;
  try {
    run_showing_progress(c_.status, 1, save_progress_delay_, [&](const ProgressReport& report) {
      options.progress = report;
      written = write_book_file(path, book, options);
    });
  } catch (...) {
    saving_ = false;
    throw;
  }
  saving_ = false;
  if (written.image.empty()) return false;
  adopt_written_book(book, std::move(written));
  return true;
}

void MainWindow::book_saved() {
  const std::wstring time = gbk_to_wide(format_book_time(current_date_time()));
  set_status(1, gbk_to_wide(book_.title) + L"  已保存 " + time.substr(time.find(L' ') + 1));
  SetTimer(hwnd_, kSavedTimer, 4000, nullptr);
  record_book(recorded_path_);
}

void MainWindow::set_cover(std::string bytes) {
  if (read_only_ || bytes == book_.cover) return;
  book_.cover = std::move(bytes);
  info_.show_cover();
  set_modified(true);
}

void MainWindow::cover_clicked() {
  if (!read_only_) commands_.set_cover_command();
}

void MainWindow::append_chapters(std::vector<Chapter> chapters) {
  if (read_only_) return;
  store_pending_content();
  const int first = doc_.count() + 1;
  show_changes(doc_.append(std::move(chapters)), first);
}

void MainWindow::close_book() {
  remember_place();
  ++load_serial_;
  doc_.replace(Book());
  editor_.show(0, {}, false);
  editor_.forget();
  tree_.clear();
  info_.clear();
  select_page(0);
  read_only_ = true;  // nothing to edit until a book is shown, as at the start
  info_.set_read_only(true);
  tree_.set_locked(true);
  for (UINT id : kBookCommands) menus_.enable(id, false);
  has_book_ = false;
  set_status(1, L"未载入");
  set_status(3, L"未载入");
  set_modified(false);
  counts_.count_all();
  follow_today();
  refresh_counts();
  forget_search();
}

void MainWindow::set_modified(bool modified) {
  doc_.set_modified(modified);
  menus_.enable(kCmdSave, modified);
  refresh_caption();
  if (modified) {
    recovery_.changed();
  } else {
    recovery_.remove();  // saved, or another book replaced this one
  }
}

void MainWindow::show_chapter(int position) {
  if (position == 0) {
    editor_.leave();
    select_page(0);
    refresh_counts();
    return;
  }
  if (position < 0 || position > doc_.count()) return;
  store_pending_content();
  PostMessageW(hwnd_, kCheckVolumes, 0, 0);
  const Chapter& chapter = doc_.chapter_to_show(position);
  const ChapterLook look = chapter_look(chapter);
  std::wstring status = gbk_to_wide(chapter.name);
  if (look == ChapterLook::damaged) status += L"（已损坏）";
  if (look == ChapterLook::too_long) status += L"（过长，只读）";
  if (look == ChapterLook::too_deep) status += L"（嵌套过深，只读）";
  if (look == ChapterLook::odd_tables) status += L"（表格无法显示，只读）";
  set_status(3, status);
  if (TabCtrl_GetCurSel(c_.tabs) != 1) select_page(1);
  // Only a text chapter takes the editor's text back: every other one is
  // shown read-only, a damaged one empty, one too long or too deep as its
  // text, and nothing typed can replace it.
  const std::string preview = shown_as_text(look) ? text_preview(chapter, look) : "";
  editor_.show(position,
               look == ChapterLook::damaged ? std::string_view()
               : shown_as_text(look)        ? std::string_view(preview)
                                            : shown_content(chapter),
               look == ChapterLook::editable);
  refresh_counts();
}

void MainWindow::toggle_read_only() {
  read_only_ = !read_only_;
  info_.set_read_only(read_only_);
  menus_.enable(kCmdAddChapter, !read_only_);
  menus_.enable(kCmdNewVolume, !read_only_);
  tree_.set_locked(read_only_);
  menus_.edit->set_checked(kCmdReadOnly, read_only_);
  editor_.set_read_only(read_only_);
  apply_editor_font(false);
}

void MainWindow::show_book(Book book) { show_book_with(std::move(book), nullptr); }

// The tree and the chapter shown at once; the rest of the contents arrive
// with kContentsRead, and whatever needs them before waits for them.
bool MainWindow::show_book_reading(Book& book, PendingContents& pending, const ReadReport& report) {
  const HWND window = hwnd_;
  const uint64_t load = load_serial_ + 1;  // the number show_book_with gives this book
  show_book_with(std::move(book),
                 std::make_unique<ContentLoad>(std::move(pending), report, [window, load] {
                   PostMessageW(window, kContentsRead, static_cast<WPARAM>(load), 0);
                 }));
  return true;
}

void MainWindow::show_book_with(Book book, std::unique_ptr<ContentLoad> load) {
  remember_place();  // of the book this one replaces
  forget_search();   // the hits and the count were the other book's
  ++load_serial_;
  // With a new history; the count follows the list.
  doc_.replace(std::move(book), std::move(load));
  editor_.forget();
  select_page(0);
  info_.fill();
  set_status(1, gbk_to_wide(book_.title));
  set_status(3, L"未载入");
  tree_.fill(doc_.listing());
  has_book_ = true;

  read_only_ = false;
  info_.set_read_only(false);
  tree_.set_locked(false);
  menus_.edit->set_checked(kCmdReadOnly, false);
  for (UINT id : kBookCommands) menus_.enable(id, true);
  set_modified(false);
  // Counted on a worker; today's figure follows once the 字数 are known.
  counts_.count_all_later(hwnd_, kCounted);
  refresh_counts();
  // The store reads the file on a worker of its own: not while the book's
  // contents are still being read, so that the window keeps its core.
  if (!doc_.loading()) record_book({});
  go_to_remembered_place();
}

}  // namespace folivra

namespace folivra {

void MainWindow::refresh_counts() {
  set_status(4, has_book_ ? counts_.status_text(selected_index()) : L"");
  if (tree_.shows_counts()) InvalidateRect(c_.tree, nullptr, FALSE);
  if (counts_.counting()) return;  // today's figure once the book is counted
  if (today_.show(has_book_ ? counts_.book_words() : 0)) {
    set_status(1, L"已完成今日目标 " + std::to_wstring(today_.goal()) + L" 字");
    SetTimer(hwnd_, kSavedTimer, 4000, nullptr);
  }
}

// An opened book's contents are all read: its counts, its recording in the
// store and what the read found damaged follow.
void MainWindow::contents_arrived(uint64_t load) {
  if (load != load_serial_ || !has_book_) return;  // the load of a book since replaced
  counts_arrived();
  const std::optional<LoadedContents> found = doc_.take_loaded_findings();
  record_book({});
  if (found) commands_.tell_damage(doc_.listing(), found->report, &found->unshowable);
  PostMessageW(hwnd_, kCheckVolumes, 0, 0);  // volumes were known from the names alone
}

// The worker's counts are in: the status bar, the tree and today's figure
// show them.
void MainWindow::counts_arrived() {
  if (!counts_.counting()) return;  // taken already, by something that needed them
  counts_.take_counts();
  follow_today();
  refresh_counts();
}

void MainWindow::count_typed_chapter() {
  KillTimer(hwnd_, kCountTimer);
  const int p = selected_index();
  if (counts_.counts_typing_in(p)) counts_.typed(p, utf16_of(control_text(c_.content)));
  refresh_counts();
}

void MainWindow::show_word_counts() {
  if (!has_book_) return;
  count_typed_chapter();
  std::optional<WordCount> selection;
  CHARRANGE sel{};
  SendMessageW(c_.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  if (selected_index() >= 1 && sel.cpMax > sel.cpMin) {
    const std::wstring text = control_text(c_.content);
    const size_t end = std::min(text.size(), static_cast<size_t>(sel.cpMax));
    const size_t start = std::min(end, static_cast<size_t>(sel.cpMin));
    selection = count_words(std::u16string_view(utf16_of(text.substr(start, end - start))));
  }
  counts_.show_window(hwnd_, dpi_, selection);
}

bool MainWindow::modeless_message(MSG& msg) {
  return find_.dialog_message(msg) || counts_.dialog_message(msg) ||
         versions_.dialog_message(msg) || stats_.dialog_message(msg);
}

}  // namespace folivra
