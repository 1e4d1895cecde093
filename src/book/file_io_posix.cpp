#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

}  // namespace

bool read_whole_file(const std::filesystem::path& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  // Read straight into a buffer of the file's size; a file that grows
  // meanwhile is read on to its end.
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  bool ok = true;
  for (;;) {
    if (got == bytes.size()) bytes.resize(got + (1 << 16));
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  ::close(fd);
  return ok;
}

struct ReplacingFile::Impl {
  std::filesystem::path target;
  std::string temp;
  int fd = -1;
  bool failed = false;
};

ReplacingFile::ReplacingFile(std::filesystem::path path) : impl_(std::make_unique<Impl>()) {
  impl_->target = std::move(path);
}

ReplacingFile::~ReplacingFile() {
  if (impl_->fd >= 0) ::close(impl_->fd);
  if (!impl_->temp.empty()) ::unlink(impl_->temp.c_str());
}

bool ReplacingFile::open() {
  std::string temp = impl_->target.string() + ".XXXXXX";
  impl_->fd = ::mkstemp(temp.data());
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
  if (!flushed || !closed || std::rename(impl_->temp.c_str(), impl_->target.c_str()) != 0) {
    return false;
  }
  impl_->temp.clear();
  return true;
}

}  // namespace folivra
