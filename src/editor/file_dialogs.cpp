#include "editor/file_dialogs.h"

#include <commdlg.h>

#include "book/gbk_wide.h"
#include "editor/file_filter.h"

namespace folivra {

namespace {

constexpr size_t kPathBuffer = 512;

std::wstring current_directory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

struct Chooser {
  std::wstring remembered = current_directory();
  std::wstring initial, title, filter;
  std::wstring file, file_title;
  OPENFILENAMEW ofn{};

  Chooser(HWND owner, const std::optional<std::string>& dir, const std::optional<std::wstring>& t,
          std::wstring_view default_title, const std::optional<std::wstring>& f,
          std::wstring_view default_filter, const std::string& name)
      : initial(dir ? path_text_to_wide(*dir) : remembered),
        title(t ? *t : std::wstring(default_title)),
        filter(filter_list(f ? *f : default_filter)),
        file(path_text_to_wide(name)),
        file_title(kPathBuffer, L' ') {
    file.resize(kPathBuffer, L'\0');
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(kPathBuffer);
    ofn.lpstrFileTitle = file_title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(kPathBuffer);
    ofn.lpstrInitialDir = initial.c_str();
    ofn.lpstrTitle = title.c_str();
  }

  std::string finish(BOOL confirmed, bool keep_directory) {
    if (!keep_directory) SetCurrentDirectoryW(remembered.c_str());
    if (!confirmed) return {};
    return wide_to_path_text(std::wstring(file.c_str()));
  }
};

}  // namespace

std::string save_file_dialog(HWND owner, const SaveFileRequest& r) {
  Chooser chooser(owner, r.initial_directory, r.title, L"保存文件", r.filter, kDefaultSaveFilter,
                  r.default_name);
  chooser.ofn.nFilterIndex = r.filter_index > 0 ? static_cast<DWORD>(r.filter_index) : 1;
  const std::wstring extension = gbk_to_wide(r.default_extension);
  chooser.ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // Replacing an existing file is asked about, as in every Windows program.
  chooser.ofn.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  const BOOL confirmed = GetSaveFileNameW(&chooser.ofn);
  return chooser.finish(confirmed, r.keep_directory);
}

std::string open_file_dialog(HWND owner, const OpenFileRequest& r) {
  Chooser chooser(owner, r.initial_directory, r.title, L"打开文件", r.filter, kDefaultOpenFilter,
                  "");
  const BOOL confirmed = GetOpenFileNameW(&chooser.ofn);
  return chooser.finish(confirmed, r.keep_directory);
}

}  // namespace folivra
