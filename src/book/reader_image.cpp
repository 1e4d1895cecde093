#include "book/reader_image.h"

#include <algorithm>
#include <cstdint>

#include "book/book_file.h"
#include "book/byte_reader.h"

namespace folivra {

namespace {

constexpr std::string_view kEndMarker = "END";

}  // namespace

std::string reader_executable(std::string_view reader, Book& book) {
  const std::string image = write_book_image(book);
  if (image.empty()) return {};  // too large for the format
  std::string out(reader);
  out += image;
  out += kEndMarker;
  return out;
}

size_t book_image_length(std::string_view image) {
  ByteReader in = ByteReader::viewing(image);
  auto skip_item = [&] {
    const int64_t length = std::max(in.read_int32(), 0);
    in.set_position(static_cast<int32_t>(std::min<int64_t>(in.position() + length, INT32_MAX)));
  };
  in.read_bytes(3);
  in.read_double();
  if (in.read_int32() & kFlagProtected) {
    in.read_bytes(16);
    skip_item();  // the hint
  }
  for (int i = 0; i < 3; ++i) skip_item();
  in.read_double();
  skip_item();
  skip_item();
  const int32_t count = in.read_int32();
  for (int32_t i = 0; i < count && in.position() < in.length(); ++i) {
    in.read_int32();
    skip_item();
    skip_item();
  }
  return static_cast<size_t>(in.position());
}

std::optional<std::string> book_image_of(std::string_view exe) {
  const size_t start = pe_image_end(exe);
  if (start == 0 || exe.substr(start, 3) != "ZQB") return std::nullopt;
  const std::string_view image = exe.substr(start);
  const size_t length = book_image_length(image);
  if (length + kEndMarker.size() > image.size() || image.substr(length, 3) != kEndMarker) {
    return std::nullopt;
  }
  return std::string(image.substr(0, length));
}

}  // namespace folivra
