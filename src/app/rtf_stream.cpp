#include "app/rtf_stream.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "book/gbk_wide.h"
#include "text/rtf_check.h"

namespace folivra {

namespace {

DWORD CALLBACK read_rtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* rest = reinterpret_cast<std::string_view*>(cookie);
  const size_t n = std::min(rest->size(), static_cast<size_t>(wanted));
  std::memcpy(buffer, rest->data(), n);
  rest->remove_prefix(n);
  *got = static_cast<LONG>(n);
  return 0;
}

}  // namespace

void load_chapter_text(HWND rich_edit, std::string_view content) {
  if (looks_like_rtf(content)) return load_rtf(rich_edit, content);
  const std::wstring text = gbk_to_wide(content);
  SETTEXTEX how{ST_DEFAULT, 1200};
  SendMessageW(rich_edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void load_rtf(HWND rich_edit, std::string_view rtf) {
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, read_rtf};
  SendMessageW(rich_edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace folivra
