#include <algorithm>

#include "book/le_bytes.h"
#include "book/reader_image.h"

namespace folivra {

namespace {

uint32_t u32_at(std::string_view bytes, size_t offset) {
  return offset + 4 <= bytes.size() ? load_le32(bytes.data() + offset) : 0;
}

uint32_t u16_at(std::string_view bytes, size_t offset) { return u32_at(bytes, offset) & 0xFFFF; }

}  // namespace

size_t pe_image_end(std::string_view exe) {
  if (exe.size() < 0x40 || exe.substr(0, 2) != "MZ") return 0;
  const size_t pe = u32_at(exe, 0x3C);
  if (pe + 24 > exe.size() || exe.substr(pe, 4) != std::string_view("PE\0\0", 4)) return 0;
  const size_t sections = u16_at(exe, pe + 6);
  const size_t optional_size = u16_at(exe, pe + 20);
  size_t end = u32_at(exe, pe + 24 + 60);  // SizeOfHeaders, the same place in PE32 and PE32+
  const size_t table = pe + 24 + optional_size;
  for (size_t i = 0; i < sections; ++i) {
    const size_t entry = table + 40 * i;
    if (entry + 40 > exe.size()) return 0;
    const size_t raw_size = u32_at(exe, entry + 16);
    const size_t raw_start = u32_at(exe, entry + 20);
    if (raw_size > 0) end = std::max(end, raw_start + raw_size);
  }
  return end <= exe.size() ? end : 0;
}

}  // namespace folivra
