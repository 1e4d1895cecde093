#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace folivra {

// A small modal box with a prompt and an input line (masked for a
// password), owned by `owner` when there is one. The typed text, or nothing
// when the box was cancelled or closed.
std::optional<std::wstring> ask_text(const std::wstring& title, const std::wstring& prompt,
                                     bool masked, HWND owner = nullptr,
                                     const std::wstring& initial = {});
inline std::optional<std::wstring> ask_masked(const std::wstring& title,
                                              const std::wstring& prompt) {
  return ask_text(title, prompt, true);
}

}  // namespace folivra
