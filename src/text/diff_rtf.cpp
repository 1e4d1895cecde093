#include "text/diff_rtf.h"

namespace folivra {

namespace {

void append_text(std::string& rtf, const std::u16string& text) {
  for (char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(c);
    } else if (c == u'\t') {
      rtf += "\\tab ";
    } else if (c == u'\v') {
      rtf += "\\line ";
    } else if (c >= 0x20 && c < 0x80) {
      rtf += static_cast<char>(c);
    } else if (c >= 0x20) {
      rtf += "\\u" + std::to_string(static_cast<int16_t>(c)) + "?";
    }
  }
}

}  // namespace

std::string diff_as_rtf(const TextDiff& diff, const std::string& face, int points) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fcharset134 " + face +
      ";}}{\\colortbl;\\red200\\green0\\blue0;\\red0\\green128\\blue0;}\\uc1\\f0\\fs" +
      std::to_string(points * 2) + " ";
  bool first = true;
  for (const DiffParagraph& paragraph : diff.paragraphs) {
    if (!first) rtf += "\\par ";
    first = false;
    for (const DiffPiece& piece : paragraph.pieces) {
      switch (piece.kind) {
        case DiffPiece::Kind::same:
          rtf += "{";
          break;
        case DiffPiece::Kind::removed:
          rtf += "{\\cf1\\strike ";
          break;
        case DiffPiece::Kind::added:
          rtf += "{\\cf2\\ul ";
          break;
      }
      append_text(rtf, piece.text);
      rtf += "}";
    }
  }
  return rtf + "}";
}

}  // namespace folivra
