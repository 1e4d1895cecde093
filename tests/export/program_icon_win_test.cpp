// The program's icon as Windows itself reads it: every image, the PNG ones
// too, becomes an icon of its own size.
#include <windows.h>

#include <gtest/gtest.h>

#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

TEST(ProgramIcon, WindowsReadsEveryImageAtItsSize) {
  const std::string icon = test::read_bytes(FOLIVRA_SOURCE_DIR "/resources/folivra.ico");
  ASSERT_GE(icon.size(), 6u);
  const int count = static_cast<unsigned char>(icon[4]);
  ASSERT_EQ(count, 6);
  for (int i = 0; i < count; ++i) {
    const char* entry = icon.data() + 6 + 16 * i;
    const int size =
        static_cast<unsigned char>(entry[0]) == 0 ? 256 : static_cast<unsigned char>(entry[0]);
    std::string image = icon.substr(load_le32(entry + 12), load_le32(entry + 8));
    HICON handle = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()),
                                            static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                            size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(handle, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(handle);
  }
}

}  // namespace
}  // namespace folivra
