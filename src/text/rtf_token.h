#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace folivra {

// The pieces RTF is made of, one at a time.
struct Token {
  enum class Kind { open, close, word, symbol, escape, text, end } kind = Kind::end;
  size_t begin = 0, end = 0;
  std::string_view word;  // word: its letters; symbol: the character
  int64_t param = 0;      // from its first 12 digits (beyond 32 bits, as written)
  bool has_param = false;
  int digits = 0;     // how many digits it is written with
  unsigned byte = 0;  // escape, text: the byte
  // The parameter as the control reads it: 32 bits, wrapped.
  int32_t value32() const { return static_cast<int32_t>(static_cast<uint32_t>(param)); }
};

// The token at `pos` (line breaks between tokens are passed over).
Token next_token(std::string_view rtf, size_t pos);

// Groups whose text is not the document's text as the control shows it
// (tables, pictures, headers, field instructions, \info ...).
bool is_destination(std::string_view word);

// The tables a document's head holds (fonts, colours, styles, lists ...),
// which text joined to another document leaves behind.
bool is_document_table(std::string_view word);

}  // namespace folivra
