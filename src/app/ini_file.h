#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// The text of an INI file, read and changed as the Windows profile functions
// do, but over bytes: sections in brackets, one "key=value" per line, names
// compared without regard to ASCII letter case, blanks around names and
// values ignored. Lines that are neither are kept as they are.
std::optional<std::string> ini_lookup(std::string_view text, std::string_view section,
                                      std::string_view key);
std::string ini_with(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);
std::string ini_without_section(std::string_view text, std::string_view section);

}  // namespace folivra
