#include <windows.h>

#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr UINT kGbk = 936;

std::wstring to_wide(UINT code_page, DWORD flags, std::string_view text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(code_page, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (n > 0) {
    MultiByteToWideChar(code_page, flags, text.data(), static_cast<int>(text.size()), wide.data(),
                        n);
  }
  return wide;
}

std::string from_wide(UINT code_page, std::wstring_view wide, BOOL* lossy) {
  if (wide.empty()) return {};
  // Best-fit mapping would silently turn characters into look-alikes.
  const DWORD flags = code_page == kGbk ? WC_NO_BEST_FIT_CHARS : 0;
  const int n = WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, lossy);
  std::string text(static_cast<size_t>(n), '\0');
  if (n > 0) {
    WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), text.data(),
                        n, nullptr, lossy);
  }
  return text;
}

}  // namespace

std::wstring gbk_to_wide(std::string_view gbk) { return to_wide(kGbk, 0, gbk); }

std::optional<std::string> wide_to_gbk(std::wstring_view wide) {
  BOOL lossy = FALSE;
  std::string text = from_wide(kGbk, wide, &lossy);
  if (lossy) return std::nullopt;
  return text;
}

std::string gbk_to_utf8(std::string_view gbk) {
  return from_wide(CP_UTF8, gbk_to_wide(gbk), nullptr);
}

std::optional<std::string> utf8_to_gbk(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const std::wstring wide = to_wide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
  if (wide.empty()) return std::nullopt;
  return wide_to_gbk(wide);
}

}  // namespace folivra

namespace folivra {

std::string wide_to_gbk_lossy(std::wstring_view wide) { return from_wide(kGbk, wide, nullptr); }

}  // namespace folivra
