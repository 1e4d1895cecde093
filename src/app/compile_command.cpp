// "编译..(&B)": the book behind the carried reader, as a program of its own.
#include "app/carried_reader.h"
#include "app/main_window.h"
#include "book/file_io.h"
#include "book/file_name.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "editor/file_filter.h"
#include "book/reader_image.h"

namespace folivra {

std::string_view carried_reader() {
  const HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kCarriedReader), MAKEINTRESOURCEW(10));
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  return {static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found)};
}

void MainWindow::compile_reader() {
  SaveFileRequest request;
  request.title = L"编译为阅读器";
  request.initial_directory = commands_.chooser_folder();
  request.default_name =
      safe_file_name(book_.file_path.empty() ? book_.title : file_name_of(book_.file_path, false));
  request.filter = std::wstring(kProgramFilter);
  request.default_extension = "exe";
  request.keep_directory = true;
  const std::string path = prompts_->save_file(request);
  if (path.empty()) return;
  remember_folder(folder_of(path));

  const std::string_view reader = carried_reader();
  const std::string program = reader_executable(reader, current_book());
  // A reader that could not be written whole is not left half-written, and is said.
  if (reader.empty() || program.empty() || !replace_file_contents(path_from_gbk(path), program)) {
    Message failure;
    failure.text = L"编译失败！ - 写入文件 " + path_text_to_wide(path) + L" 失败";
    failure.caption = L"编译";
    failure.owned = true;
    prompts_->show_message(failure);
    return;
  }
  Message done;  // as the text conversion confirms its file
  done.caption = L"编译成功";
  done.text = L"编译成功 文件：" + path_text_to_wide(path);
  done.icon = Icon::information;
  done.owned = true;
  prompts_->show_message(done);
}

}  // namespace folivra
