#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// Conversions between GBK (code page 936) and UTF-8.
// Bytes that are not GBK become U+FFFD.
std::string gbk_to_utf8(std::string_view gbk);
// Empty when the text holds a character GBK cannot represent (or is not UTF-8).
std::optional<std::string> utf8_to_gbk(std::string_view utf8);

// True when `byte` starts a two-byte GBK character.
inline bool is_gbk_lead_byte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace folivra

#include <filesystem>

namespace folivra {

// A GBK path (as books and the settings file keep them) for the file system.
std::filesystem::path path_from_gbk(std::string_view gbk);

}  // namespace folivra
