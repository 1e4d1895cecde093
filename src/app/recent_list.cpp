#include "app/recent_list.h"

#include <algorithm>

#include "book/file_name.h"

namespace folivra {

std::vector<std::string> with_recent_first(const std::vector<std::string>& list,
                                           const std::string& path) {
  std::vector<std::string> out{path};
  for (const std::string& entry : list) {
    if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(entry);
  }
  return out;
}

std::string recent_caption(int slot, const std::string& path) {
  // "&1" .. "&9" choose an entry by its number; an '&' of the name is shown as it is.
  std::string caption(1, '&');
  caption += std::to_string(slot);
  caption += ' ';
  for (const char c : file_name_of(path, true)) {
    caption += c;
    if (c == '&') caption += '&';
  }
  return caption;
}

}  // namespace folivra
