#include "book/gbk.h"

namespace folivra {

std::filesystem::path path_from_gbk(std::string_view gbk) { return gbk_to_utf8(gbk); }

}  // namespace folivra
