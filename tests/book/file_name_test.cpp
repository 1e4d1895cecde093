#include "book/file_name.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(FileNameOf, NameWithAndWithoutExtension) {
  EXPECT_EQ(file_name_of("C:\\books\\tale.zqb", true), "tale.zqb");
  EXPECT_EQ(file_name_of("C:\\books\\tale.zqb", false), "tale");
  EXPECT_EQ(file_name_of("tale.zqb", false), "tale");
  EXPECT_EQ(file_name_of("C:/books/tale.zqb", false), "tale") << "forward slashes too";
  EXPECT_EQ(file_name_of("C:tale.zqb", true), "tale.zqb");
  EXPECT_EQ(file_name_of("C:\\a.b\\archive.tar.gz", false), "archive.tar");
}

TEST(FileNameOf, NoExtension) {
  EXPECT_EQ(file_name_of("C:\\books\\README", true), "README");
  EXPECT_EQ(file_name_of("C:\\books\\README", false), "README");
  EXPECT_EQ(file_name_of("C:\\books\\my.old book", false), "my.old book")
      << "a space after the dot means no extension";
  EXPECT_EQ(file_name_of("C:\\books\\.zqb", false), "");
}

TEST(FileNameOf, EmptyAndTrailingSeparators) {
  EXPECT_EQ(file_name_of("", true), "");
  EXPECT_EQ(file_name_of("C:\\books\\", true), "");
  EXPECT_EQ(file_name_of("C:\\", false), "");
  EXPECT_EQ(file_name_of("C:\\books\\\\", true), "");
}

TEST(FileNameOf, GbkTrailBytesAreNotSeparators) {
  // 0x81 0x5C is one GBK character whose second byte looks like a backslash.
  EXPECT_EQ(file_name_of("C:\\\xD6\xD0\\\x81\x5C.zqb", true), "\x81\x5C.zqb");
  EXPECT_EQ(file_name_of("C:\\\xD6\xD0\\\x81\x5C.zqb", false), "\x81\x5C");
  EXPECT_EQ(file_name_of("C:\\\xD6\xD0\\a\x81\x5C", true), "a\x81\x5C");
  EXPECT_EQ(file_name_of("C:\\\x81\x5C\\\xCA\xE9.zqb", false), "\xCA\xE9");
}

}  // namespace
}  // namespace folivra
