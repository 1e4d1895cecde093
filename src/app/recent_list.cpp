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
  return std::to_string(slot) + " " + file_name_of(path, true);
}

}  // namespace folivra
