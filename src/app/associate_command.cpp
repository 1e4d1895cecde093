// "重新关联文件": book files open with this program and show its icon.
#include <shlobj.h>

#include "app/main_window.h"
#include "book/file_io.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "export/book_icon.h"
#include "shell/file_association.h"

namespace folivra {

void MainWindow::associate_command() {
  Message question;
  // 您确定要重新设置关联 文件后缀名(*.zqb) 至本程序吗？\r\n(强烈建议把本程序移动至安装目录后再操作)
  question.text =
      L"您确定要重新设置关联 文件后缀名(*.zqb) "
      L"至本程序吗？\r\n(强烈建议把本程序移动至安装目录后再操作)";
  question.caption = L"关联文件";
  question.icon = Icon::question;
  question.buttons = Buttons::ok_cancel;
  question.owned = true;
  if (prompts_->show_message(question) != Answer::ok) return;

  // The icon goes beside the settings: beside the program for a portable
  // copy, in the user's folder for an installed one.
  const std::string directory = path_to_gbk(std::filesystem::path(settings_.path()).parent_path());
  const std::string icon_path = directory + "\\ico.ico";
  if (!replace_file_contents(path_from_gbk(icon_path), book_icon_file())) {
    Message failure;
    failure.text = L"写出图标文件失败！";
    failure.owned = true;
    prompts_->show_message(failure);
    return;
  }
  const std::string program = program_path();
  // Without administrator rights the machine's classes refuse the values:
  // then the book files are this user's.
  if (!register_file_type(program, "zqb", icon_path, "Folivra") || !association_is_ours(program)) {
    register_file_type(program, "zqb", icon_path, "Folivra", Registration::current_user);
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  if (!association_is_ours(program)) {
    Message failure;
    failure.text = L"关联失败 - 请查看是否被杀软拦截！";
    failure.owned = true;
    prompts_->show_message(failure);
  }
}

}  // namespace folivra
