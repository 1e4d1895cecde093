#include "export/book_icon.h"

#include <gtest/gtest.h>

#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

uint32_t load_be32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

TEST(BookIcon, ThreeTwentyFourBitImages) {
  const std::string icon = book_icon_file();
  ASSERT_EQ(icon.size(), 11502u);
  EXPECT_EQ(icon.substr(0, 6), std::string("\0\0\x01\0\x03\0", 6));
  const int sizes[] = {16, 32, 48};
  uint32_t expected_offset = 54;
  for (int i = 0; i < 3; ++i) {
    const char* entry = icon.data() + 6 + 16 * i;
    const int size = sizes[i];
    EXPECT_EQ(static_cast<unsigned char>(entry[0]), size);
    EXPECT_EQ(load_le32(entry + 4) >> 16, 24u) << "24 bits per pixel";
    EXPECT_EQ(load_le32(entry + 12), expected_offset);
    const char* header = icon.data() + expected_offset;
    EXPECT_EQ(load_le32(header), 40u);
    EXPECT_EQ(load_le32(header + 8), static_cast<uint32_t>(2 * size)) << "colour and mask";
    expected_offset += load_le32(entry + 8);
  }
  EXPECT_EQ(expected_offset, icon.size());
}

TEST(BookIcon, TheProgramsIconHasEverySizeAScaledScreenAsksFor) {
  const std::string icon = program_icon_file();
  EXPECT_EQ(test::read_bytes(FOLIVRA_SOURCE_DIR "/resources/folivra.ico"), icon);
  ASSERT_EQ(icon.substr(0, 6), std::string("\0\0\x01\0\x06\0", 6));
  const int sizes[] = {16, 20, 24, 32, 48, 256};
  uint32_t expected_offset = 6 + 16 * 6;
  for (int i = 0; i < 6; ++i) {
    const char* entry = icon.data() + 6 + 16 * i;
    EXPECT_EQ(static_cast<unsigned char>(entry[0]), sizes[i] & 0xFF);
    EXPECT_EQ(load_le32(entry + 4) >> 16, 32u) << "32 bits per pixel";
    ASSERT_EQ(load_le32(entry + 12), expected_offset);
    const uint32_t length = load_le32(entry + 8);
    ASSERT_LE(expected_offset + length, icon.size());
    const std::string image = icon.substr(expected_offset, length);
    if (sizes[i] >= 32) {
      ASSERT_EQ(image.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
      EXPECT_EQ(load_be32(image.data() + 16), static_cast<uint32_t>(sizes[i]));
      EXPECT_EQ(load_be32(image.data() + 20), static_cast<uint32_t>(sizes[i]));
      EXPECT_EQ(image.substr(image.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
    } else {
      EXPECT_EQ(load_le32(image.data() + 4), static_cast<uint32_t>(sizes[i]));
      EXPECT_EQ(load_le32(image.data() + 8), static_cast<uint32_t>(2 * sizes[i]));
      const uint32_t mask_row = (sizes[i] + 31) / 32 * 4;
      EXPECT_EQ(length, 40 + (4u * sizes[i] + mask_row) * sizes[i]);
    }
    expected_offset += length;
  }
  EXPECT_EQ(expected_offset, icon.size());
}

}  // namespace
}  // namespace folivra
