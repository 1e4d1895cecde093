#include "text/chapter_cut.h"

#include <vector>

#include "text/rtf_check.h"
#include "text/rtf_token.h"
#include "text/rtf_walk.h"

namespace folivra {

namespace {

std::string escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n' || c == '\r') {
      out += "\\par ";
    } else if (c >= 0x80) {
      out += "\\'";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string as_rtf(std::string_view content) {
  if (looks_like_rtf(content)) return std::string(content);
  return "{\\rtf1\\ansi\\ansicpg936 " + escaped(content) + "}";
}

}  // namespace

std::optional<ContentHalves> cut_chapter_content(std::string_view content, size_t at) {
  if (!looks_like_rtf(content)) {
    size_t i = 0;
    for (size_t n = 0; n < at; ++n) {
      if (i >= content.size()) return std::nullopt;
      i = plain_text_step(content, i);
    }
    return ContentHalves{std::string(content.substr(0, i)), std::string(content.substr(i))};
  }
  const RtfWalk w = walk_rtf(content, at);
  if (!w.ok || w.stopped_at == std::string_view::npos) return std::nullopt;
  ContentHalves halves;
  halves.first = std::string(content.substr(0, w.stopped_at));
  halves.first.append(std::max<size_t>(w.open.size(), 1), '}');
  if (w.open.empty()) {  // cut at the very end: the second half is empty
    halves.second = "{\\rtf1\\ansi\\ansicpg936 }";
    return halves;
  }
  for (const RtfFrame& frame : w.open) halves.second += "{" + frame.state;
  halves.second.append(content.substr(w.stopped_at));
  return halves;
}

std::vector<std::string> cut_into_pieces(std::string_view content, size_t characters,
                                         size_t breaks) {
  std::vector<size_t> starts{0};  // where each piece starts in `content`
  size_t since_cut = 0, breaks_since_cut = 0;
  bool after_break = false;
  if (!looks_like_rtf(content)) {
    for (size_t i = 0; i < content.size();) {
      if (after_break && (since_cut >= characters || breaks_since_cut >= breaks)) {
        starts.push_back(i);
        since_cut = breaks_since_cut = 0;
      }
      const size_t next = plain_text_step(content, i);
      after_break = content[i] == '\r' || content[i] == '\n';
      breaks_since_cut += after_break;
      ++since_cut;
      i = next;
    }
    std::vector<std::string> pieces;
    starts.push_back(content.size());
    for (size_t k = 0; k + 1 < starts.size(); ++k) {
      pieces.emplace_back(content.substr(starts[k], starts[k + 1] - starts[k]));
    }
    return pieces;
  }
  size_t last_cut = 0;  // characters before the last cut
  const CutHere cut_here = [&](size_t before, bool break_before) {
    breaks_since_cut += break_before;
    if (!break_before || (before - last_cut < characters && breaks_since_cut < breaks)) {
      return false;
    }
    last_cut = before;
    breaks_since_cut = 0;
    return true;
  };
  const RtfWalk w = walk_rtf(content, std::string_view::npos, nullptr, &cut_here);
  if (!w.ok || w.cuts.empty() || w.cuts_refused) return {std::string(content)};
  std::vector<std::string> pieces;
  size_t from = 0;
  std::string opening;  // the groups open where the piece starts, with their formatting
  for (const RtfCut& cut : w.cuts) {
    pieces.push_back(opening);
    pieces.back().append(content.substr(from, cut.at - from));
    pieces.back().append(cut.open.size(), '}');
    opening.clear();
    for (const RtfFrame& frame : cut.open) opening += "{" + frame.state;
    from = cut.at;
  }
  pieces.push_back(opening);
  pieces.back().append(content.substr(from));
  return pieces;
}

std::string plain_content_as_rtf(std::string_view content) { return as_rtf(content); }

}  // namespace folivra
