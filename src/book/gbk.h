#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// Conversions between GBK (code page 936) and UTF-8.
// Bytes that are not GBK become U+FFFD.
std::string gbk_to_utf8(std::string_view gbk);
// Empty when the text holds a character GBK cannot represent (or is not UTF-8).
std::optional<std::string> utf8_to_gbk(std::string_view utf8);

// A text of the program's own, written in UTF-8 in the source, as GBK.
inline std::string gbk_of(std::string_view utf8) { return utf8_to_gbk(utf8).value_or(""); }

// The two GBK bytes (lead << 8 | trail) of a UTF-16 unit; 0 when GBK has
// no two-byte character for it.
uint16_t gbk_pair_of(char16_t unit);

// A code point's UTF-8 bytes, added to `out`.
void append_utf8(std::string& out, uint32_t code_point);

// True when `byte` starts a two-byte GBK character.
inline bool is_gbk_lead_byte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace folivra

#include <filesystem>

namespace folivra {

// A GBK path (as books and the settings file keep them) for the file system.
std::filesystem::path path_from_gbk(std::string_view gbk);
// And back. On Windows a character GBK cannot hold takes its GB18030 form (see
// wide_to_path_text); elsewhere such a path stays UTF-8.
std::string path_to_gbk(const std::filesystem::path& path);

// The same path made absolute against the current directory, so that a
// chooser moving that directory later cannot move the book.
std::string absolute_gbk_path(std::string_view gbk);

}  // namespace folivra
