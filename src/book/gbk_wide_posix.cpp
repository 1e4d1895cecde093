// GBK as wide text where wchar_t holds a code point (Linux), for the code
// that builds the window's messages and is tested natively too.
#include "book/gb18030.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

std::wstring wide_of_utf8(std::string_view utf8) {
  std::wstring wide;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? b : b & (0x7F >> n);
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    wide += static_cast<wchar_t>(cp);
    i += n;
  }
  return wide;
}

}  // namespace

std::wstring gbk_to_wide(std::string_view gbk) { return wide_of_utf8(gbk_to_utf8(gbk)); }

std::wstring path_text_to_wide(std::string_view text) {
  std::wstring wide;
  size_t run = 0;  // start of the GBK text not yet converted
  for (size_t i = 0; i < text.size();) {
    const std::optional<char32_t> cp =
        starts_gb18030_four(text.substr(i)) ? gb18030_code_point(text.substr(i, 4)) : std::nullopt;
    if (!cp) {
      i += is_gbk_lead_byte(static_cast<unsigned char>(text[i])) ? 2 : 1;
      continue;
    }
    wide += gbk_to_wide(text.substr(run, i - run));
    wide += static_cast<wchar_t>(*cp);
    i += 4;
    run = i;
  }
  return wide + gbk_to_wide(text.substr(std::min(run, text.size())));
}

}  // namespace folivra
