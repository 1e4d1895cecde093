#pragma once

#include <windows.h>

namespace folivra {

// The editor's one top-level window.
class MainWindow {
 public:
  static constexpr const wchar_t* kClassName = L"FolivraMainWindow";

  // Registers the class (once) and creates the window; null on failure.
  HWND create(HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

}  // namespace folivra
