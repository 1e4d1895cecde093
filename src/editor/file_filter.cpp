#include "editor/file_filter.h"

namespace folivra {

std::wstring filter_list(std::wstring_view filter) {
  std::wstring out;
  for (wchar_t c : filter) out += c == L'|' ? L'\0' : c;
  out += L'\0';
  out += L'\0';
  return out;
}

}  // namespace folivra
