#include "book/disk_stamp.h"

#include <string>
#include <system_error>

#include "book/file_io.h"
#include "book/fingerprint.h"

namespace folivra {

DiskStamp stamp_of(const std::filesystem::path& path, std::string_view bytes) {
  DiskStamp stamp;
  std::error_code error;
  stamp.time = std::filesystem::last_write_time(path, error);
  stamp.size = bytes.size();
  stamp.fingerprint = fingerprint(bytes);
  return stamp;
}

bool still_the_same(const std::filesystem::path& path, const DiskStamp& stamp) {
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(path, error);
  if (error || size != stamp.size) return false;
  const std::filesystem::file_time_type time = std::filesystem::last_write_time(path, error);
  if (error) return false;
  if (time == stamp.time) return true;
  std::string bytes;
  return read_whole_file(path, bytes) && bytes.size() == stamp.size &&
         fingerprint(bytes) == stamp.fingerprint;
}

}  // namespace folivra
