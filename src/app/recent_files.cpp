// The last five books opened, in the File menu and the settings file.
#include "app/main_window.h"
#include "ui/menu_ids.h"
#include "app/recent_list.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr char kSection[] = "LatelyFile";

std::string key_for(size_t slot) { return "file" + std::to_string(slot); }

}  // namespace

void MainWindow::reload_recent_files() {
  recent_.clear();
  for (size_t n = 1;; ++n) {
    std::string path = settings_.read_text(kSection, key_for(n), "");
    if (path.empty()) break;  // a gap ends the list
    recent_.push_back(std::move(path));
  }
  std::erase_if(recent_, [](const std::string& path) {
    return GetFileAttributesW(path_text_to_wide(path).c_str()) == INVALID_FILE_ATTRIBUTES;
  });

  PopupMenu& file = *menus_.file;
  file.set_visible(kCmdRecentSeparator, !recent_.empty());
  file.set_visible(kCmdClearRecent, !recent_.empty());
  for (size_t k = 1; k <= kRecentSlots; ++k) {
    const UINT id = kCmdRecent1 + static_cast<UINT>(k - 1);
    if (k <= recent_.size()) {
      file.set_caption(id, path_text_to_wide(recent_caption(static_cast<int>(k), recent_[k - 1])));
    }
    file.set_visible(id, k <= recent_.size());
  }
}

void MainWindow::add_recent_file(const std::string& path) {
  const std::vector<std::string> list = with_recent_first(recent_, path);
  for (size_t i = 0; i < list.size() && i < kRecentSlots; ++i) {
    settings_.write_text(kSection, key_for(i + 1), list[i]);
  }
  reload_recent_files();
}

void MainWindow::clear_recent_files() {
  settings_.remove_section(kSection);
  reload_recent_files();
}

}  // namespace folivra
