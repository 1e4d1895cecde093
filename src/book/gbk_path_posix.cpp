#include "book/gbk.h"

namespace folivra {

std::filesystem::path path_from_gbk(std::string_view gbk) { return gbk_to_utf8(gbk); }

std::string path_to_gbk(const std::filesystem::path& path) {
  return utf8_to_gbk(path.string()).value_or(path.string());
}

}  // namespace folivra
