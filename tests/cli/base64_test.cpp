#include "cli/base64.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(Base64, Rfc4648Vectors) {
  const char* cases[][2] = {{"", ""},
                            {"f", "Zg=="},
                            {"fo", "Zm8="},
                            {"foo", "Zm9v"},
                            {"foob", "Zm9vYg=="},
                            {"fooba", "Zm9vYmE="},
                            {"foobar", "Zm9vYmFy"}};
  for (const auto& c : cases) {
    EXPECT_EQ(base64_encode(c[0]), c[1]);
    EXPECT_EQ(base64_decode(c[1]), c[0]);
  }
  EXPECT_EQ(base64_decode("AP8="), std::string("\0\xFF", 2));
}

TEST(Base64, RefusesMalformedText) {
  for (const char* bad : {"Zg", "Zg=", "Z===", "Zm9v!A==", "Zh==", "Zm9=", "=Zm9", "Zg==Zg=="}) {
    EXPECT_FALSE(base64_decode(bad)) << bad;
  }
}

}  // namespace
}  // namespace folivra
