#pragma once

#include <windows.h>

#include "app/settings.h"

namespace folivra {

// Where the main window is and how large, kept in the settings file: it
// comes back where it was left, on a screen that still shows it. Each
// placement gives where the tree and the text should meet.
class WindowPlacement {
 public:
  explicit WindowPlacement(const Settings& settings) : settings_(settings) {}

  // A first start: 70% of the work area, centred, never below the minimum.
  int place_first(HWND window, UINT dpi) const;
  // As the settings left it.
  int restore(HWND window, UINT dpi);
  // From now on moves and sizes are stored (showing the window for the
  // first time reports them too, and that must not write the settings).
  void created(HWND window);
  void moved(HWND window);
  void sized(HWND window);
  void boundary_dropped(int left) const;
  bool starts_maximized() const { return start_maximized_; }

 private:
  const Settings& settings_;
  bool created_ = false;
  bool start_maximized_ = false;
  POINT last_position_{};  // the outer position and size last seen
  SIZE last_size_{};
};

}  // namespace folivra
