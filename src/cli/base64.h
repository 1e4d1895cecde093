#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// Standard base64 (RFC 4648) with padding.
std::string base64_encode(std::string_view bytes);
// Empty when the text is not canonical padded base64.
std::optional<std::string> base64_decode(std::string_view text);

}  // namespace folivra
