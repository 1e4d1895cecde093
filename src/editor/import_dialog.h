#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "editor/dialog_requests.h"
#include "ui/owned_handle.h"

namespace folivra {

// "导入文本": the encoding (the detected one chosen), the heading rule, a
// preview of the chapters they give (name, first line, 字数) refreshed as
// either changes, the new book's title and author (as the text gives them
// until the user types others), and whether the chapters go into a new book
// or the open one. The preview is worked out on a thread of the dialog's
// own, so the dialog answers while a long novel is split; it fills in when
// the latest choice's preview is ready.
class ImportDialog {
 public:
  struct Controls {
    HWND encoding, title, author, rule, list, note, new_book, append, ok, cancel;
  };

  explicit ImportDialog(const TextImportRequest& request) : request_(request) {}
  ~ImportDialog();
  ImportDialog(const ImportDialog&) = delete;
  ImportDialog& operator=(const ImportDialog&) = delete;

  HWND create(HWND owner);
  HWND hwnd() const { return hwnd_; }
  const Controls& controls() const { return c_; }
  bool closed() const { return closed_; }
  bool preview_ready() const { return shown_generation_ == generation_; }
  const TextImportChoice& result() const { return result_; }

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  void create_controls();
  void refresh();  // asks the worker for the preview of the choice now
  void show_preview();
  void work();
  void follow_text(HWND field, const std::wstring& said, std::wstring& shown);
  void finish(bool accepted);

  const TextImportRequest& request_;
  TextImportChoice result_;
  ImportPreview preview_;
  std::wstring shown_title_, shown_author_;  // what the fields were last given
  Controls c_{};
  HWND hwnd_ = nullptr;
  OwnedFont font_;
  UINT dpi_ = 96;
  bool closed_ = false;

  static constexpr UINT kPreviewReady = WM_APP + 1;
  struct Job {
    unsigned generation = 0;
    int encoding = 0;
    std::wstring rule;
  };
  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Job> job_;  // the latest choice not yet taken up
  bool stopping_ = false;
  ImportPreview ready_;  // the worker's last preview and its choice
  unsigned ready_generation_ = 0, generation_ = 0, shown_generation_ = 0;
};

TextImportChoice run_import_dialog(HWND owner, const TextImportRequest& request);

}  // namespace folivra
