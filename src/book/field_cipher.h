#pragma once

#include <string>
#include <string_view>

namespace folivra {

// RC4 keyed with the password's bytes, restarted for every field.
// Encrypting and decrypting are the same operation.
std::string encrypt_field(std::string bytes, std::string_view password);
std::string decrypt_field(std::string bytes, std::string_view password);

// The 16 upper-case hex digits a protected book stores: MD5 applied three
// times to the hex text of the previous round, characters 9 to 24.
std::string password_check_value(std::string_view password);

}  // namespace folivra
