// The recovery copy of the book being edited, and the copies offered back at start.
#include <algorithm>

#include "app/main_window.h"
#include "book/book_time.h"
#include "book/file_name.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr char kEditor[] = "Editor";

std::wstring local_time_text(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME t{};
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &t);
  wchar_t text[32];
  swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
           t.wMinute, t.wSecond);
  return text;
}

}  // namespace

void MainWindow::start_recovery() {
  const std::string folder = settings_.read_text(kEditor, "recovery_folder", "");
  if (recovery_folder_.empty()) {
    recovery_folder_ = folder.empty() ? Recovery::default_folder() : path_from_gbk(folder);
  }
  recovery_ = std::make_unique<Recovery>(recovery_folder_);
  // A copy a few seconds after typing pauses, and at least every
  // `autosave_seconds` while typing goes on.
  const int seconds = settings_.read_int(kEditor, "autosave_seconds", 60);
  if (seconds <= 0) return;
  SetTimer(hwnd_, kAutosaveTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
  const int pause = settings_.read_int(kEditor, "recovery_pause_ms", 3000);
  recovery_pause_ms_ = static_cast<unsigned>(std::clamp(pause, 100, seconds * 1000));
}

void MainWindow::recovery_tick() {
  if (change_count_ != copied_count_) write_recovery_copy();
  // A folder that cannot be written is said once; the copies keep trying.
  if (!recovery_ || !recovery_->failed() || recovery_failure_told_) return;
  recovery_failure_told_ = true;
  Message failure;
  failure.text = wide_to_gbk_lossy(L"无法写入恢复副本：" + recovery_->folder().wstring() +
                                   L"\r\n程序意外退出时，未保存的修改将无法恢复。请及时保存。");
  failure.caption = wide_to_gbk_lossy(L"恢复");
  failure.icon = Icon::error;
  failure.owned = true;
  prompts_->show_message(failure);
}

// The editor's text is streamed out once here, and the book is written on a
// worker thread from a copy: typing goes on meanwhile.
void MainWindow::write_recovery_copy() {
  if (!doc_.modified() || !recovery_) return;
  copied_count_ = change_count_;
  recovery_->write(current_book());
}

bool MainWindow::offer_recovery() {
  if (!recovery_) return false;
  for (const Recovery::Orphan& orphan : recovery_->orphans()) {
    const std::wstring name =
        orphan.original_path.empty()
            ? L"新的书籍（从未保存）"
            : std::filesystem::path(orphan.original_path).filename().wstring();
    Message question;
    question.text = wide_to_gbk_lossy(L"发现未保存的书籍：" + name + L"\r\n最后写入于 " +
                                      local_time_text(orphan.written) +
                                      L"\r\n\r\n要恢复吗？\r\n“是”打开它（保存时写回原处），“否”删"
                                      L"除这份恢复副本，“取消”下次再问。");
    question.caption = wide_to_gbk_lossy(L"恢复");
    question.icon = Icon::question;
    question.buttons = Buttons::yes_no_cancel;
    question.owned = true;
    const Answer answer = prompts_->show_message(question);
    if (answer == Answer::no) Recovery::discard(orphan);
    if (answer != Answer::yes) continue;
    if (!commands_.restore_copy(orphan.copy, path_to_gbk(orphan.original_path))) continue;
    // The text is safe in a copy of this editor's own before the old one goes.
    copied_count_ = change_count_;
    recovery_->write(current_book(), true);
    Recovery::discard(orphan);
    return true;
  }
  return false;
}

}  // namespace folivra
