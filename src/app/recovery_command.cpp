// The recovery copy of the book being edited, and the copies offered back at start.
#include "app/main_window.h"
#include "book/book_time.h"
#include "book/file_name.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

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

void MainWindow::recovery_tick() {
  if (recovery_.behind()) write_recovery_copy();
  if (const std::optional<Message> failure = recovery_.failure_to_tell()) {
    prompts_->show_message(*failure);
  }
}

// The editor's text is streamed out once here, and the book is written on a
// worker thread from a copy: typing goes on meanwhile.
void MainWindow::write_recovery_copy() {
  if (doc_.modified()) recovery_.write(current_book());
}

bool MainWindow::offer_recovery() {
  if (!recovery_.recovery()) return false;
  for (const Recovery::Orphan& orphan : recovery_.recovery()->orphans()) {
    const std::wstring name =
        orphan.original_path.empty()
            ? L"新的书籍（从未保存）"
            : std::filesystem::path(orphan.original_path).filename().wstring();
    Message question;
    question.text = L"发现未保存的书籍：" + name + L"\r\n最后写入于 " +
                    local_time_text(orphan.written) +
                    L"\r\n\r\n要恢复吗？\r\n“是”打开它（保存时写回原处），“否”删"
                    L"除这份恢复副本，“取消”下次再问。";
    question.caption = L"恢复";
    question.icon = Icon::question;
    question.buttons = Buttons::yes_no_cancel;
    question.owned = true;
    const Answer answer = prompts_->show_message(question);
    if (answer == Answer::no) Recovery::discard(orphan);
    if (answer != Answer::yes) continue;
    if (!commands_.restore_copy(orphan.copy, path_to_gbk(orphan.original_path))) continue;
    // The text is safe in a copy of this editor's own before the old one goes.
    recovery_.write(current_book(), true);
    Recovery::discard(orphan);
    return true;
  }
  return false;
}

}  // namespace folivra
