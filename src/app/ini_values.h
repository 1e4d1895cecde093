#include "book/gbk.h"
#pragma once

#include <string>
#include <string_view>

namespace folivra {

// How the settings file spells its values.
// Integers read like C's atoi: blanks, one sign, the digits up to anything else; no digits is 0.
int parse_ini_int(std::string_view text);
std::string ini_int_text(int value);
// Only "true" and "真" are true; every other text (TRUE, 1, false) is false.
bool parse_ini_bool(std::string_view text);
std::string ini_bool_text(bool value);
// The text an absent boolean reads as: "假", which is false.
inline const std::string kIniFalseDefault = gbk_of("假");
inline const std::string kIniTrueChinese = gbk_of("真");

}  // namespace folivra
