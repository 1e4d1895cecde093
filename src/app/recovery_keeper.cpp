#include "app/recovery_keeper.h"

#include <algorithm>

#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr char kEditor[] = "Editor";

}  // namespace

void RecoveryKeeper::start(HWND window, const Settings& settings) {
  window_ = window;
  const std::string folder = settings.read_text(kEditor, "recovery_folder", "");
  if (folder_.empty())
    folder_ = folder.empty() ? Recovery::default_folder() : path_from_gbk(folder);
  recovery_ = std::make_unique<Recovery>(folder_);
  const int seconds = settings.read_int(kEditor, "autosave_seconds", 60);
  if (seconds <= 0) return;
  SetTimer(window_, kAutosaveTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
  const int pause = settings.read_int(kEditor, "recovery_pause_ms", 3000);
  pause_ms_ = static_cast<unsigned>(std::clamp(pause, 100, seconds * 1000));
}

void RecoveryKeeper::changed() {
  ++change_count_;
  if (pause_ms_) SetTimer(window_, kPauseTimer, pause_ms_, nullptr);
}

void RecoveryKeeper::write(Book book, bool wait) {
  if (!recovery_) return;
  copied_count_ = change_count_;
  recovery_->write(std::move(book), wait);
}

void RecoveryKeeper::remove() {
  if (recovery_ && recovery_->has_copy()) recovery_->remove();
}

// The copies keep trying; the message comes once.
std::optional<Message> RecoveryKeeper::failure_to_tell() {
  if (!recovery_ || !recovery_->failed() || failure_told_) return std::nullopt;
  failure_told_ = true;
  Message failure;
  failure.text = L"无法写入恢复副本：" + recovery_->folder().wstring() +
                 L"\r\n程序意外退出时，未保存的修改将无法恢复。请及时保存。";
  failure.caption = L"恢复";
  failure.icon = Icon::error;
  failure.owned = true;
  return failure;
}

}  // namespace folivra
