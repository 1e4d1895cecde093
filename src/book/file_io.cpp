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

WriteProblem why_not_written(const std::filesystem::path& path, uint64_t bytes_needed) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::absolute(path, error).parent_path();
  const fs::file_status target = fs::status(path, error);
  if (fs::exists(target) && (target.permissions() & fs::perms::owner_write) == fs::perms::none) {
    return WriteProblem::read_only_file;
  }
  if (!fs::is_directory(folder, error)) return WriteProblem::no_folder;
  // A probe beside the book: the folder refuses new files, or the disk has no room.
  const fs::path probe = temporary_name_for(path).concat(".probe");
  {
    ReplacingFile trial(probe);
    if (!trial.open()) return WriteProblem::folder_not_writable;
  }
  const fs::space_info space = fs::space(folder, error);
  if (!error && space.available < bytes_needed + (uint64_t{1} << 20))
    return WriteProblem::disk_full;
  return WriteProblem::unknown;
}

}  // namespace folivra
