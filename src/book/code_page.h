#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace folivra {

// How a Windows code page decodes bytes, from tables read once from Windows'
// own converter and kept in the tree, so that every platform decodes alike.
class CodePage {
 public:
  // `single`: the units of bytes 0x80..0xFF alone (kLeadByte for a lead
  // byte); `pairs`: the two-byte characters of a double-byte code page, as
  // the table tool writes them (deflated differences, lead bytes 0x81..0xFE
  // by trail bytes 0x00..0xFF).
  static constexpr char16_t kLeadByte = 0xFFFF;
  CodePage(const char16_t* single, std::span<const unsigned char> pairs);
  // From tables made here: `pairs` by lead << 8 | trail (empty: single-byte).
  CodePage(const std::array<char16_t, 128>& single, std::vector<char16_t> pairs);

  bool double_byte() const { return !pairs_.empty(); }
  bool is_lead(uint8_t byte) const { return lead_[byte]; }
  // The unit of a byte alone; 0 when it is no character alone.
  char16_t single(uint8_t byte) const {
    return byte < 0x80 ? byte : lead_[byte] ? 0 : single_[byte - 0x80u];
  }
  // The unit of a lead and trail byte; 0 when they are no character.
  char16_t pair(uint8_t lead, uint8_t trail) const {
    return pairs_.empty() ? 0 : pairs_[lead << 8 | trail];
  }

 private:
  std::array<char16_t, 128> single_{};
  std::array<bool, 256> lead_{};
  std::vector<char16_t> pairs_;  // by lead << 8 | trail
};

// Code page 936 as Windows has it, the user-defined areas as private use.
const CodePage& gbk_code_page();

// The code pages RTF names (874, 932, 936, 949, 950, 1250-1258, 1361, 437,
// 850, 10000); 0, the system's, is 936 as on the Chinese Windows the editor
// is made for. Nothing for one not known.
const CodePage* code_page(int number);

}  // namespace folivra
