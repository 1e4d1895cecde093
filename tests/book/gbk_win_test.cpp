#include <windows.h>

#include <gtest/gtest.h>

#include "book/gbk_wide.h"

namespace folivra {
namespace {

TEST(WindowsGbk, TheTestEnvironmentIsChinese) {
  EXPECT_EQ(GetACP(), 936u) << "run under LANG=zh_CN.UTF-8";
}

TEST(WindowsGbk, WideConversions) {
  EXPECT_EQ(gbk_to_wide("\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE"), L"\u65B0\u7684\u4E66\u7C4D");
  EXPECT_EQ(wide_to_gbk(L"\u65B0\u7684\u4E66\u7C4D"), "\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE");
  EXPECT_FALSE(wide_to_gbk(L"\U0001F600"));
  EXPECT_FALSE(wide_to_gbk(L"\uD55C")) << "Hangul has no GBK code";
  EXPECT_EQ(wide_to_gbk(L""), "");
}

}  // namespace
}  // namespace folivra
