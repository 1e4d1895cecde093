// Books named on the command line, further instances, and leaving the program.
#include <shlobj.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "book/file_name.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

std::string running_program() {
  std::wstring module(32768, L'\0');
  module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
  return wide_to_path_text(module);
}

// Starts the program again for one more book; does not wait longer than it
// takes the new instance to be ready for input, at most a second.
void start_instance(const std::string& argument) {
  const std::string path = running_program();
  const std::string dir = path.substr(0, path.size() - file_name_of(path, true).size() - 1);
  std::wstring line =
      path_text_to_wide(instance_command_line(dir, file_name_of(path, true), argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return;
  }
  WaitForInputIdle(process.hProcess, 1000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace

std::string MainWindow::program_path() const { return running_program(); }

std::string MainWindow::last_folder() const {
  const std::string folder = settings_.read_text("Editor", "last_folder", "");
  if (!folder.empty()) return folder;
  PWSTR documents = nullptr;
  std::string found;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents))) {
    found = path_to_gbk(documents);
  }
  CoTaskMemFree(documents);
  return found;
}

void MainWindow::remember_folder(const std::string& folder) {
  if (!folder.empty()) settings_.write_text("Editor", "last_folder", folder);
}

void MainWindow::open_command_line(const std::vector<std::string>& args) {
  // A book brought back from its recovery copy takes this window; the
  // books named on the command line then all open in new instances.
  const bool restored = offer_recovery();
  for (size_t k = 0; k < args.size(); ++k) {
    if (k == 0 && !restored) {
      // Started for a book another window holds: that window takes it, this one goes.
      if (!has_book_ && bring_forward_holder(absolute_gbk_path(args[0]))) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        continue;
      }
      commands_.open_book(args[0]);
    } else {
      start_instance(args[k]);
    }
  }
}

void MainWindow::exit_program() {
  if (commands_.confirm_discard()) DestroyWindow(hwnd_);
}

}  // namespace folivra

namespace folivra {

int run_editor(MainWindow& window, int show, const std::vector<std::string>& args) {
  const HWND hwnd = window.hwnd();
  ShowWindow(hwnd, window.starts_maximized() ? SW_SHOWMAXIMIZED : show);
  UpdateWindow(hwnd);
  window.open_command_line(args);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.pre_translate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

bool MainWindow::pre_translate(MSG& msg) {
  if (translate_accelerator(msg)) return true;
  if (modeless_message(msg)) return true;  // 查找和替换, 字数统计
  return IsDialogMessageW(hwnd_, &msg);    // Tab moves between the controls
}

}  // namespace folivra
