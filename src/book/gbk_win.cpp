#include <windows.h>

#include <algorithm>

#include "book/gb18030.h"
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

}  // namespace folivra

namespace folivra {

std::string wide_to_gbk_lossy(std::wstring_view wide) { return from_wide(kGbk, wide, nullptr); }

std::wstring path_text_to_wide(std::string_view text) {
  std::wstring wide;
  size_t run = 0;  // start of the GBK text not yet converted
  for (size_t i = 0; i < text.size();) {
    if (!starts_gb18030_four(text.substr(i))) {
      i += is_gbk_lead_byte(static_cast<unsigned char>(text[i])) ? 2 : 1;
      continue;
    }
    const std::optional<char32_t> cp = gb18030_code_point(text.substr(i, 4));
    if (!cp) {
      i += 2;
      continue;
    }
    wide += gbk_to_wide(text.substr(run, i - run));
    if (*cp >= 0x10000) {
      wide += static_cast<wchar_t>(0xD800 + ((*cp - 0x10000) >> 10));
      wide += static_cast<wchar_t>(0xDC00 + ((*cp - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<wchar_t>(*cp);
    }
    i += 4;
    run = i;
  }
  return wide + gbk_to_wide(text.substr(std::min(run, text.size())));
}

std::string wide_to_path_text(std::wstring_view wide) {
  if (std::optional<std::string> gbk = wide_to_gbk(wide)) return *gbk;
  std::string text;
  for (size_t i = 0; i < wide.size();) {
    const bool pair = i + 1 < wide.size() && wide[i] >= 0xD800 && wide[i] < 0xDC00 &&
                      wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000;
    const std::wstring_view unit = wide.substr(i, pair ? 2 : 1);
    i += unit.size();
    if (std::optional<std::string> gbk = wide_to_gbk(unit)) {
      text += *gbk;
      continue;
    }
    const char32_t cp = pair ? 0x10000 + ((unit[0] - 0xD800) << 10) + (unit[1] - 0xDC00) : unit[0];
    text += gb18030_four_bytes(cp);
  }
  // A character with no four-byte form GBK cannot hold either: shown as '?'.
  return path_text_to_wide(text) == wide ? text : wide_to_gbk_lossy(wide);
}

}  // namespace folivra
