#include "editor/file_filter.h"

namespace folivra {

std::string filter_list(std::string_view filter) {
  std::string out;
  for (char c : filter) out += c == '|' ? '\0' : c;
  out += '\0';
  out += '\0';
  return out;
}

}  // namespace folivra
