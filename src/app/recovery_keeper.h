#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "app/recovery.h"
#include "app/settings.h"
#include "app/prompts.h"

namespace folivra {

// When the recovery copy of the book being edited is written: a few seconds
// after typing pauses, and at least every `autosave_seconds` while it goes
// on; removed once the changes are saved or given up.
class RecoveryKeeper {
 public:
  static constexpr UINT_PTR kAutosaveTimer = 1;
  static constexpr UINT_PTR kPauseTimer = 4;  // typing paused: the copy is written

  // Without a folder, the one the settings name or else the user's.
  explicit RecoveryKeeper(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Starts the copies and the window's timers, as the settings say.
  void start(HWND window, const Settings& settings);
  // A change to the book: the timer that waits for typing to pause restarts.
  void changed();
  // Changes made since the last copy.
  bool behind() const { return change_count_ != copied_count_; }
  void write(Book book, bool wait = false);
  // The book was saved, or its changes given up: its copy goes.
  void remove();
  // That the folder cannot be written, the first time it is found.
  std::optional<Message> failure_to_tell();
  Recovery* recovery() { return recovery_.get(); }

 private:
  HWND window_ = nullptr;
  std::filesystem::path folder_;
  std::unique_ptr<Recovery> recovery_;
  unsigned change_count_ = 0, copied_count_ = 0;  // edits made, and when the last copy was
  unsigned pause_ms_ = 0;                         // after typing pauses this long; 0: never
  bool failure_told_ = false;
};

}  // namespace folivra
