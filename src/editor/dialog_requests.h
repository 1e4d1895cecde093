#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace folivra {

// What the editor's dialogs and message boxes are given and give back: data
// only, filled in before and read back after.

// What the file choosers are given (paths as GBK path text); absent values
// take the defaults: the current directory, the titles "保存文件"/"打开文件",
// the default filters.
struct SaveFileRequest {
  std::optional<std::string> initial_directory;
  std::optional<std::wstring> title;
  std::string default_name;
  std::optional<std::wstring> filter;
  int filter_index = 1;
  bool keep_directory = false;  // false: the current directory is put back afterwards
  // Added to a name typed without one, so the chooser's question whether to
  // replace an existing file is about the file that would really be replaced.
  std::string default_extension;
};

struct OpenFileRequest {
  std::optional<std::string> initial_directory;
  std::optional<std::wstring> title;
  std::optional<std::wstring> filter;
  bool keep_directory = false;
};

enum class Icon { error, information, question };
enum class Buttons { ok, ok_cancel, yes_no_cancel };
enum class Answer { ok, cancel, yes, no };

// A message box. Without an owner it is modal to nothing.
struct Message {
  std::wstring text;
  std::wstring caption = L"信息：";
  Icon icon = Icon::error;
  Buttons buttons = Buttons::ok;
  bool owned = false;  // owned by the main window
};

struct NewPassword {
  bool confirmed = false;
  std::string password, hint;
};

// The chapters a TXT import would make, as its preview lists them.
struct ImportPreviewRow {
  std::wstring name, first_line;
  size_t words = 0;  // 字数
};
struct ImportPreview {
  std::wstring rule_problem;   // why the rule splits nothing; empty when it splits
  bool unwrapped = false;      // lines cut at a fixed width were joined
  bool contents_kept = false;  // a table of contents stays text
  size_t volumes = 0;          // of the chapters, volume headings
  std::wstring title, author;  // what the text says of itself, else the file's name
  std::vector<ImportPreviewRow> rows;
};
// What the import dialog is given: the file, the encodings to choose from
// (the detected one chosen), the heading rule, and how to preview a choice.
struct TextImportRequest {
  std::wstring file_name;
  std::vector<std::wstring> encodings;
  int encoding = 0;
  std::wstring rule;
  bool can_append = false;  // a book is open to take the chapters
  std::function<ImportPreview(int encoding, const std::wstring& rule)> preview;
};
struct TextImportChoice {
  bool accepted = false;
  int encoding = 0;
  std::wstring rule;
  bool append = false;         // false: a new book
  std::wstring title, author;  // the new book's; empty: as the preview gave them
};

}  // namespace folivra
