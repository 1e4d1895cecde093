#include "text/rtf_check.h"

#include <cstddef>
#include <cstdint>

#include "text/rtf_token.h"

namespace folivra {

namespace {

constexpr size_t kMaxWordLetters = 64;  // the format itself says 32
constexpr int kMaxParameterDigits = 12;

bool breaks_line(std::string_view word) {
  return word == "par" || word == "line" || word == "row" || word == "cell" || word == "page" ||
         word == "sect";
}

}  // namespace

bool looks_like_rtf(std::string_view content) { return content.starts_with("{\\rtf"); }

namespace {

enum class Fit { fits, unfit, tables };

// With `tables`: also whether a nested row's properties hold cells or text.
Fit fit(std::string_view rtf, int max_depth, bool tables) {
  int depth = 0;
  int row_props = 0;  // the depth of the \*\nesttableprops group we are in, 0: none
  for (size_t pos = 0;;) {
    const Token t = next_token(rtf, pos);
    pos = t.end;
    switch (t.kind) {
      case Token::Kind::end:
        return Fit::fits;
      case Token::Kind::open: {
        if (++depth > max_depth) return Fit::unfit;
        const Token star = next_token(rtf, pos);
        const Token name = next_token(rtf, star.end);
        if (tables && !row_props && star.kind == Token::Kind::symbol && star.word == "*" &&
            name.kind == Token::Kind::word && name.word == "nesttableprops") {
          row_props = depth;
        }
        break;
      }
      case Token::Kind::close:
        if (depth-- == row_props) row_props = 0;
        break;
      case Token::Kind::text:
      case Token::Kind::escape:
        // A nested row's properties hold no text: Wine's control fails an
        // assertion in its table code on cells written inside them.
        if (row_props && t.byte != ' ') return Fit::tables;
        break;
      case Token::Kind::word:
        if (row_props && (t.word == "nestcell" || t.word == "cell")) return Fit::tables;
        if (t.word.size() > kMaxWordLetters || t.digits > kMaxParameterDigits) return Fit::unfit;
        if (t.word == "bin") {
          // Binary data may hold anything, braces included: step over it. The
          // control reads the count as 32 bits, so a count past that makes it
          // parse the bytes behind as RTF: never let it.
          if (t.param < 0 || t.param > INT32_MAX) return Fit::unfit;
          if (static_cast<size_t>(t.param) > rtf.size() - pos)
            return Fit::fits;  // binary to the end
          pos += static_cast<size_t>(t.param);
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace

bool rtf_fits_control(std::string_view rtf, int max_depth) {
  return fit(rtf, max_depth, max_depth != kAnyDepth) == Fit::fits;
}

bool rtf_tables_fit_control(std::string_view rtf) {
  return fit(rtf, kAnyDepth, true) != Fit::tables;
}

size_t count_line_breaks(std::string_view content) {
  size_t breaks = 0;
  if (!looks_like_rtf(content)) {
    for (size_t i = 0; i < content.size(); ++i) {
      if (content[i] == '\n' ||
          (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n'))) {
        ++breaks;
      }
    }
    return breaks;
  }
  for (size_t pos = 0;;) {
    const Token t = next_token(content, pos);
    if (t.kind == Token::Kind::end) return breaks;
    pos = t.end;
    if (t.kind == Token::Kind::word && breaks_line(t.word)) ++breaks;
    if (t.kind == Token::Kind::symbol && t.word == "par") ++breaks;
  }
}

}  // namespace folivra
