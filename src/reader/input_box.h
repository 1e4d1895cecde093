#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace folivra {

// A small modal box with a prompt and a masked input line. The typed text,
// or nothing when the box was cancelled or closed.
std::optional<std::wstring> ask_masked(const std::wstring& title, const std::wstring& prompt);

}  // namespace folivra
