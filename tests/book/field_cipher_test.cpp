#include "book/field_cipher.h"

#include <gtest/gtest.h>

#include "book/md5.h"
#include "book/test_books.h"

namespace folivra {
namespace {

using test::hex;
using test::unhex;

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ(md5_hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(md5_hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(md5_hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(md5_hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(md5_hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(md5_hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(md5_hex("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                    "7890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PaddingBoundaries) {
  // 55, 56 and 64 bytes put the length into the same or the next block.
  EXPECT_EQ(md5_hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(md5_hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(md5_hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
}

std::string keystream(std::string_view key, size_t length) {
  return encrypt_field(std::string(length, '\0'), key);
}

TEST(Rc4, Rfc6229Vectors) {
  const std::string key40 = unhex("0102030405");
  const std::string s40 = keystream(key40, 4112);
  EXPECT_EQ(hex(s40.substr(0, 16)), "b2396305f03dc027ccc3524a0a1118a8");
  EXPECT_EQ(hex(s40.substr(16, 16)), "6982944f18fc82d589c403a47a0d0919");
  EXPECT_EQ(hex(s40.substr(240, 16)), "28cb1132c96ce286421dcaadb8b69eae");
  EXPECT_EQ(hex(s40.substr(256, 16)), "1cfcf62b03eddb641d77dfcf7f8d8c93");
  EXPECT_EQ(hex(s40.substr(4096, 16)), "ff25b58995996707e51fbdf08b34d875");

  const std::string key128 = unhex("0102030405060708090a0b0c0d0e0f10");
  const std::string s128 = keystream(key128, 4112);
  EXPECT_EQ(hex(s128.substr(0, 16)), "9ac7cc9a609d1ef7b2932899cde41b97");
  EXPECT_EQ(hex(s128.substr(16, 16)), "5248c4959014126a6e8a84f11d1a9e1c");
  EXPECT_EQ(hex(s128.substr(240, 16)), "065902e4b620f6cc36c8589f66432f2b");
  EXPECT_EQ(hex(s128.substr(256, 16)), "d39d566bc6bce3010768151549f3873f");
  EXPECT_EQ(hex(s128.substr(4096, 16)), "a36a4c301ae8ac13610ccbc12256cacc");
}

TEST(Rc4, EveryFieldStartsTheKeystreamAfresh) {
  const std::string plain = "same bytes";
  const std::string a = encrypt_field(plain, "key");
  EXPECT_EQ(a, encrypt_field(plain, "key"));
  EXPECT_NE(a, plain);
  EXPECT_EQ(a.size(), plain.size());
  EXPECT_EQ(decrypt_field(a, "key"), plain);
  EXPECT_EQ(encrypt_field("", "key"), "");
}

TEST(PasswordCheckValue, ThreeRoundsOfMd5Hex) {
  EXPECT_EQ(password_check_value(""), "");
  EXPECT_EQ(password_check_value("abc"), "32B2D5E23B905C5E");
  EXPECT_EQ(password_check_value("ABC"), "9921AD6BD2F9AAEB") << "letter case matters";
  EXPECT_EQ(password_check_value("123456"), "7CCEC67B4EA13165");
  EXPECT_EQ(password_check_value("\xC3\xDC\xC2\xEB"), "475A8499BC2F820C") << "密码 in GBK";
  const std::string value = password_check_value("any password at all");
  EXPECT_EQ(value.size(), 16u);
  EXPECT_EQ(value.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

}  // namespace
}  // namespace folivra
