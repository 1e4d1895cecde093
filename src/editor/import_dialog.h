#pragma once

#include <windows.h>

#include "editor/dialog_requests.h"
#include "ui/owned_handle.h"

namespace folivra {

// "导入文本": the encoding (the detected one chosen), the heading rule, a
// preview of the chapters they give (name, first line, 字数) refreshed as
// either changes, the new book's title and author (as the text gives them
// until the user types others), and whether the chapters go into a new book
// or the open one.
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
  const TextImportChoice& result() const { return result_; }

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  void create_controls();
  void refresh();
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
};

TextImportChoice run_import_dialog(HWND owner, const TextImportRequest& request);

}  // namespace folivra
