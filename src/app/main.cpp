#include <windows.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "book/gbk_wide.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  folivra::MainWindow window;
  if (!window.create(instance)) return 1;
  return folivra::run_editor(
      window, show, folivra::split_command_line(folivra::wide_to_path_text(GetCommandLineW())));
}
