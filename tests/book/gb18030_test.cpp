// The four-byte form of GB18030, against bytes Python's gb18030 codec gives.
#include "book/gb18030.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

std::string bytes(const char* hex) {
  std::string out;
  for (const char* p = hex; p[0] && p[1]; p += 2) {
    out.push_back(static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16)));
  }
  return out;
}

TEST(Gb18030, PublishedFourByteForms) {
  const struct {
    char32_t code_point;
    const char* hex;
  } vectors[] = {
      {0x0080, "81308130"},  {0x00A5, "81308436"},   {0x0452, "8130D330"}, {0x0E01, "8132CE39"},
      {0xD55C, "83368433"},  {0xAE00, "82388437"},   {0xFFFF, "8431A439"}, {0x10000, "90308130"},
      {0x1F600, "9439FC36"}, {0x10FFFF, "E3329A35"},
  };
  for (const auto& v : vectors) {
    EXPECT_EQ(gb18030_four_bytes(v.code_point), bytes(v.hex))
        << std::hex << static_cast<unsigned>(v.code_point);
    EXPECT_EQ(gb18030_code_point(bytes(v.hex)), v.code_point) << v.hex;
  }
}

TEST(Gb18030, EveryPlanePointerComesBackAsItsBytes) {
  for (unsigned pointer = 0; pointer <= 39419; ++pointer) {
    const std::string four = {
        static_cast<char>(0x81 + pointer / 12600), static_cast<char>(0x30 + pointer / 1260 % 10),
        static_cast<char>(0x81 + pointer / 10 % 126), static_cast<char>(0x30 + pointer % 10)};
    const std::optional<char32_t> cp = gb18030_code_point(four);
    ASSERT_TRUE(cp) << pointer;
    EXPECT_EQ(gb18030_four_bytes(*cp), four) << pointer;
  }
}

TEST(Gb18030, WhatIsNoFourByteFormIsRefused) {
  EXPECT_EQ(gb18030_code_point(bytes("8431A530")), std::nullopt) << "past the plane";
  EXPECT_EQ(gb18030_code_point(bytes("E3329A36")), std::nullopt) << "past U+10FFFF";
  EXPECT_EQ(gb18030_code_point(bytes("B0A1B0A1")), std::nullopt) << "two GBK characters";
  EXPECT_EQ(gb18030_code_point(bytes("813081")), std::nullopt) << "cut short";
  EXPECT_EQ(gb18030_four_bytes(0x41), "");
  EXPECT_EQ(gb18030_four_bytes(0xD800), "") << "a lone surrogate";
  EXPECT_EQ(gb18030_four_bytes(0x110000), "");
}

}  // namespace
}  // namespace folivra
