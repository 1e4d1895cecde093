#include "export/book_icon.h"

#include <gtest/gtest.h>

#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

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

TEST(BookIcon, TheProgramsIconIsTheSame) {
  EXPECT_EQ(test::read_bytes(FOLIVRA_SOURCE_DIR "/resources/folivra.ico"), book_icon_file());
}

}  // namespace
}  // namespace folivra
