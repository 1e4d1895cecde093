#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

std::filesystem::path path_from_gbk(std::string_view gbk) { return path_text_to_wide(gbk); }

std::string path_to_gbk(const std::filesystem::path& path) {
  return wide_to_path_text(path.wstring());
}

}  // namespace folivra
