#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace folivra {

// A sequential reader over some bytes, its own or (viewing) the caller's,
// which must then outlive it. Reading past the end yields fewer bytes (or
// zeros for numbers) but still advances.
class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::string data);
  static ByteReader viewing(std::string_view data);
  ByteReader(const ByteReader& other);
  ByteReader& operator=(const ByteReader& other);
  ByteReader(ByteReader&& other) noexcept;
  ByteReader& operator=(ByteReader&& other) noexcept;

  void release();
  ByteReader copy() const { return *this; }
  // The bytes it owns, handed back (a viewing reader has none); it is empty after.
  std::string take_data();

  std::string read_bytes(int32_t n, bool decompress = false);
  // The available part of the next n bytes, without a copy; advances as read_bytes.
  std::string_view view(int32_t n) { return take(n); }
  int32_t read_int32();
  std::string read_text(int32_t n, bool decompress = false);
  bool read_bool();
  double read_date_time();
  double read_double();
  void set_position(int32_t position) { position_ = position; }
  int32_t position() const { return position_; }
  int32_t length() const { return static_cast<int32_t>(data_.size()); }
  std::string_view data() const { return data_; }

 private:
  std::string_view take(int32_t n);  // the available part of the next n bytes
  uint64_t read_raw64();

  std::string owned_;
  std::string_view data_;  // owned_, or the viewed bytes
  bool viewing_ = false;
  int32_t position_ = 0;
};

// Text ends at the first NUL of the stored bytes.
std::string text_until_nul(std::string bytes);

// Date-times outside 0100-01-01 .. 9999-12-31 (and NaN) are pulled to the nearest end.
double clamp_date_time(double value);

}  // namespace folivra
