#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

#include "book/file_io.h"

namespace folivra {

namespace {

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

mode_t mode_for(const std::filesystem::path& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Reads up to `limit` more bytes into `bytes`; false on a read error.
bool read_into(int fd, std::string& bytes, size_t limit) {
  while (bytes.size() < limit) {
    const size_t got = bytes.size();
    // Fill what was reserved before growing: a file read at its known size
    // needs no reallocation.
    const size_t room = bytes.capacity() > got ? bytes.capacity() : got + (size_t{1} << 20);
    bytes.resize(std::min(limit, room));
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) {
      bytes.resize(got);
      continue;
    }
    bytes.resize(got + static_cast<size_t>(n > 0 ? n : 0));
    if (n < 0) return false;
    if (n == 0) break;
  }
  return true;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Opens a regular file for reading without ever blocking on a pipe or a device.
int open_regular(const std::filesystem::path& path, struct stat& st) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

FileCheck read_file_checked(const std::filesystem::path& path, std::string_view magic,
                            uint64_t max_size, std::string& bytes) {
  bytes.clear();
  struct stat st;
  const Fd fd(open_regular(path, st));
  if (fd.get() < 0) return FileCheck::cannot_open;
  if (!read_into(fd.get(), bytes, magic.size())) return FileCheck::cannot_open;
  if (std::string_view(bytes) != magic) return FileCheck::wrong_start;
  if (static_cast<uint64_t>(st.st_size) > max_size) return FileCheck::too_large;
  // A file that grows meanwhile is read on to the limit, no further.
  bytes.reserve(static_cast<size_t>(st.st_size) + 1);
  if (!read_into(fd.get(), bytes, static_cast<size_t>(max_size) + 1)) return FileCheck::cannot_open;
  if (bytes.size() > max_size) return FileCheck::too_large;
  return FileCheck::ok;
}

bool read_whole_file(const std::filesystem::path& path, std::string& bytes) {
  bytes.clear();
  struct stat st;
  const Fd fd(open_regular(path, st));
  if (fd.get() < 0) return false;
  bytes.reserve(static_cast<size_t>(st.st_size) + 1);
  return read_into(fd.get(), bytes, SIZE_MAX);
}

struct ReplacingFile::Impl {
  std::filesystem::path target;
  std::filesystem::path temp;
  bool keep_backup = false;
  int fd = -1;
  bool failed = false;
};

ReplacingFile::ReplacingFile(std::filesystem::path path, bool keep_backup)
    : impl_(std::make_unique<Impl>()) {
  impl_->target = std::move(path);
  impl_->keep_backup = keep_backup;
}

ReplacingFile::~ReplacingFile() {
  if (impl_->fd >= 0) ::close(impl_->fd);
  if (!impl_->temp.empty()) ::unlink(impl_->temp.c_str());
}

bool ReplacingFile::open() {
  // Write through a symbolic link: the new file goes beside what it names.
  std::error_code error;
  if (std::filesystem::is_symlink(impl_->target, error)) {
    const std::filesystem::path real = std::filesystem::weakly_canonical(impl_->target, error);
    if (error) return false;
    impl_->target = real;
  }
  // A book its owner made read-only stays as it is, whoever runs the save.
  struct stat target_status;
  if (::stat(impl_->target.c_str(), &target_status) == 0 && !(target_status.st_mode & S_IWUSR)) {
    return false;
  }
  const std::filesystem::path temp = temporary_name_for(impl_->target);
  // The name is fixed, so a leftover of a killed save is simply replaced;
  // never follow a link someone put there.
  ::unlink(temp.c_str());
  impl_->fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (impl_->fd < 0) return false;
  impl_->temp = temp;
  impl_->failed = ::fchmod(impl_->fd, mode_for(impl_->target)) != 0;
  return !impl_->failed;
}

bool ReplacingFile::write(std::string_view bytes) {
  impl_->failed = impl_->failed || impl_->fd < 0 || !write_all(impl_->fd, bytes);
  return !impl_->failed;
}

bool ReplacingFile::commit() {
  if (impl_->fd < 0) return false;
  const bool flushed = !impl_->failed && ::fsync(impl_->fd) == 0;
  const bool closed = ::close(impl_->fd) == 0;
  impl_->fd = -1;
  if (!flushed || !closed) return false;
  // The backup is a second name of the old file, made under a name of its
  // own first: the previous backup stays until the new book is in place.
  // Without one the save goes on.
  const std::filesystem::path backup = backup_name_for(impl_->target);
  std::filesystem::path next_backup = backup;
  next_backup += ".new";
  bool backed_up = false;
  if (impl_->keep_backup) {
    ::unlink(next_backup.c_str());
    backed_up = ::link(impl_->target.c_str(), next_backup.c_str()) == 0;
    if (!backed_up && errno != ENOENT) {
      std::error_code error;
      backed_up = std::filesystem::copy_file(impl_->target, next_backup, error);
    }
  }
  if (std::rename(impl_->temp.c_str(), impl_->target.c_str()) != 0) {
    if (backed_up) ::unlink(next_backup.c_str());
    return false;
  }
  impl_->temp.clear();
  if (backed_up) std::rename(next_backup.c_str(), backup.c_str());
  return true;
}

}  // namespace folivra
