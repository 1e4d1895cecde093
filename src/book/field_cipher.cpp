#include "book/field_cipher.h"

#include <cctype>
#include <cstdint>
#include <utility>

#include "book/md5.h"

namespace folivra {

std::string encrypt_field(std::string bytes, std::string_view password) {
  if (bytes.empty() || password.empty()) return bytes;
  uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (size_t i = 0; i < 256; ++i) {
    j = static_cast<uint8_t>(j + s[i] + static_cast<uint8_t>(password[i % password.size()]));
    std::swap(s[i], s[j]);
  }
  uint8_t x = 0;
  j = 0;
  for (char& c : bytes) {
    x = static_cast<uint8_t>(x + 1);
    j = static_cast<uint8_t>(j + s[x]);
    std::swap(s[x], s[j]);
    c = static_cast<char>(static_cast<uint8_t>(c) ^ s[static_cast<uint8_t>(s[x] + s[j])]);
  }
  return bytes;
}

std::string decrypt_field(std::string bytes, std::string_view password) {
  return encrypt_field(std::move(bytes), password);
}

std::string password_check_value(std::string_view password) {
  if (password.empty()) return {};
  std::string x(password);
  for (int round = 0; round < 3; ++round) x = md5_hex(x);
  std::string value = x.substr(8, 16);
  for (char& c : value) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return value;
}

}  // namespace folivra
