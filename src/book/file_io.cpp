#include "book/file_io.h"

namespace folivra {

bool replace_file_contents(const std::filesystem::path& path, std::string_view bytes) {
  ReplacingFile file(path);
  return file.open() && file.write(bytes) && file.commit();
}

}  // namespace folivra
