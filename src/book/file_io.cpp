#include "book/file_io.h"

namespace folivra {

bool replace_file_contents(const std::filesystem::path& path, std::string_view bytes,
                           bool keep_backup) {
  ReplacingFile file(path, keep_backup);
  return file.open() && file.write(bytes) && file.commit();
}

std::filesystem::path temporary_name_for(const std::filesystem::path& target) {
  std::filesystem::path name = target;
  name += ".saving";
  return name;
}

std::filesystem::path backup_name_for(const std::filesystem::path& target) {
  std::filesystem::path name = target;
  name += ".bak";
  return name;
}

}  // namespace folivra
