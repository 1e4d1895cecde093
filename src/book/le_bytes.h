#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace folivra {

// Little-endian loads and stores, independent of the host's byte order.
inline uint32_t load_le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

inline uint64_t load_le64(const char* p) {
  return uint64_t{load_le32(p)} | uint64_t{load_le32(p + 4)} << 32;
}

inline void store_le32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i));
}

inline void append_le32(std::string& out, uint32_t v) {
  char b[4];
  store_le32(b, v);
  out.append(b, 4);
}

inline void append_double(std::string& out, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  append_le32(out, static_cast<uint32_t>(bits));
  append_le32(out, static_cast<uint32_t>(bits >> 32));
}

inline double double_from_bits(uint64_t bits) {
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}

}  // namespace folivra
