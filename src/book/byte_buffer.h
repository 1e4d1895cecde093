#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace folivra {

// A growable byte buffer: the sink the book writer appends to.
class ByteBuffer {
 public:
  void append(std::string_view bytes) { data_.append(bytes); }
  std::string take() { return std::exchange(data_, {}); }
  size_t size() const { return data_.size(); }

 private:
  std::string data_;
};

}  // namespace folivra
