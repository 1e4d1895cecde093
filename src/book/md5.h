#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace folivra {

// MD5 as published in RFC 1321.
std::array<uint8_t, 16> md5(std::string_view data);
std::string md5_hex(std::string_view data);  // 32 lower-case hex digits

}  // namespace folivra
