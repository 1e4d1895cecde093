#include "book/byte_reader.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "book/block_codec.h"
#include "book/le_bytes.h"

namespace folivra {

ByteReader::ByteReader(std::string data) : owned_(std::move(data)), data_(owned_) {}

ByteReader ByteReader::viewing(std::string_view data) {
  ByteReader in;
  in.data_ = data;
  in.viewing_ = true;
  return in;
}

ByteReader::ByteReader(const ByteReader& other) { *this = other; }

ByteReader& ByteReader::operator=(const ByteReader& other) {
  if (this == &other) return *this;
  owned_ = other.owned_;
  viewing_ = other.viewing_;
  data_ = viewing_ ? other.data_ : std::string_view(owned_);
  position_ = other.position_;
  return *this;
}

ByteReader::ByteReader(ByteReader&& other) noexcept { *this = std::move(other); }

ByteReader& ByteReader::operator=(ByteReader&& other) noexcept {
  if (this == &other) return *this;
  viewing_ = other.viewing_;
  const std::string_view viewed = other.data_;
  owned_ = std::move(other.owned_);
  data_ = viewing_ ? viewed : std::string_view(owned_);
  position_ = other.position_;
  other.release();
  return *this;
}

void ByteReader::release() {
  owned_.clear();
  owned_.shrink_to_fit();
  data_ = {};
  viewing_ = false;
}

std::string ByteReader::take_data() {
  std::string data = viewing_ ? std::string() : std::move(owned_);
  release();
  return data;
}

std::string_view ByteReader::take(int32_t n) {
  if (n <= 0) return {};
  const int64_t start = position_;
  const int64_t end = start + n;
  // Saturate rather than wrap: a hostile length must not bring us back to the start.
  position_ = static_cast<int32_t>(std::min<int64_t>(end, std::numeric_limits<int32_t>::max()));
  const int64_t size = static_cast<int64_t>(data_.size());
  if (start < 0 || start >= size) return {};
  return std::string_view(data_).substr(static_cast<size_t>(start),
                                        static_cast<size_t>(std::min(end, size) - start));
}

std::string ByteReader::read_bytes(int32_t n, bool decompress) {
  const std::string_view bytes = take(n);
  return decompress ? decompress_block(bytes) : std::string(bytes);
}

int32_t ByteReader::read_int32() {
  char b[4] = {};
  const std::string_view bytes = take(4);
  if (!bytes.empty()) std::memcpy(b, bytes.data(), bytes.size());
  return static_cast<int32_t>(load_le32(b));
}

std::string ByteReader::read_text(int32_t n, bool decompress) {
  return text_until_nul(read_bytes(n, decompress));
}

bool ByteReader::read_bool() { return read_int32() != 0; }

uint64_t ByteReader::read_raw64() {
  char b[8] = {};
  const std::string_view bytes = take(8);
  if (!bytes.empty()) std::memcpy(b, bytes.data(), bytes.size());
  return load_le64(b);
}

double ByteReader::read_double() { return double_from_bits(read_raw64()); }

double ByteReader::read_date_time() { return clamp_date_time(read_double()); }

std::string text_until_nul(std::string bytes) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  return bytes;
}

double clamp_date_time(double value) {
  constexpr double kFirst = -657434.0;  // 0100-01-01
  constexpr double kLast = 2958465.0;   // 9999-12-31
  if (std::isnan(value) || value > kLast) return kLast;
  if (value < kFirst) return kFirst;
  return value;
}

}  // namespace folivra
