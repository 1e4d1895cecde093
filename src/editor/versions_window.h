#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/owned_handle.h"

namespace folivra {

// A recorded version in the list: when, its name and 字数, and the change
// in 字数 from the version before it.
struct VersionRow {
  std::wstring when;
  std::wstring name;
  long long words = 0;
  std::optional<long long> change;
};

// What the versions window asks of its owner.
class VersionsListener {
 public:
  virtual std::string version_content(int row) = 0;  // the row's content (RTF)
  virtual std::u16string current_text() = 0;         // the chapter's text now
  virtual void restore_row(int row) = 0;             // 恢复此版本, 恢复章节
 protected:
  ~VersionsListener() = default;
};

// "历史版本": the recorded versions of a chapter, a preview of the chosen
// one, 对比 (what changed from it to the text now, marked) and 恢复此版本;
// or "删除的章节": chapters of saved versions the book no longer has, and
// 恢复章节. A window beside the editor, not a modal dialog.
class VersionsWindow {
 public:
  enum class Mode { history, deleted };
  static constexpr int kCompare = 101, kRestore = 102;

  explicit VersionsWindow(VersionsListener& listener) : listener_(listener) {}
  ~VersionsWindow();
  VersionsWindow(const VersionsWindow&) = delete;
  VersionsWindow& operator=(const VersionsWindow&) = delete;

  void show(HWND owner, UINT dpi, Mode mode, const std::wstring& title,
            std::vector<VersionRow> rows, const std::wstring& face, int points);
  void close();
  void select(int row);
  void set_comparing(bool on);
  int selected() const { return selected_; }
  bool comparing() const { return comparing_; }
  Mode mode() const { return mode_; }
  HWND hwnd() const { return hwnd_; }
  HWND list() const { return list_; }
  HWND preview() const { return preview_; }
  HWND summary() const { return summary_; }
  HWND compare_button() const { return compare_; }
  HWND restore_button() const { return restore_; }
  const std::vector<VersionRow>& rows() const { return rows_; }
  bool dialog_message(MSG& msg);

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void fill_list();
  void layout();
  void show_selected();

  VersionsListener& listener_;
  HWND hwnd_ = nullptr, list_ = nullptr, preview_ = nullptr, summary_ = nullptr;
  HWND compare_ = nullptr, restore_ = nullptr, close_ = nullptr;
  OwnedFont font_;
  UINT dpi_ = 96;
  Mode mode_ = Mode::history;
  std::vector<VersionRow> rows_;
  std::wstring face_;
  int points_ = 12;
  int selected_ = -1;
  bool comparing_ = false;
};

}  // namespace folivra
