#include "text/text_layout.h"

#include "text/plain_text.h"

namespace folivra {

namespace {

bool is_space(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0'; }

// Chinese text a punctuation mark may follow: ideographs, and the
// full-width marks and closing quotes that end Chinese phrases.
bool is_chinese(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || c == u'…' || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x3000 && c <= 0x303F && c != 0x3000) ||
         (c >= 0xFF01 && c <= 0xFF5E) || c == u'\u201D' || c == u'\u2019';
}

char16_t full_width(char16_t c) {
  switch (c) {
    case u',':
      return u'，';
    case u'.':
      return u'。';
    case u'!':
      return u'！';
    case u'?':
      return u'？';
    case u':':
      return u'：';
    case u';':
      return u'；';
    case u'(':
      return u'（';
    case u')':
      return u'）';
  }
  return 0;
}

struct Paragraph {
  size_t start = 0, end = 0;   // the text, without its ending '\r'
  size_t lead = 0, trail = 0;  // spaces at its start and end
  bool blank() const { return lead == end - start; }
};

// The punctuation of one paragraph's text [from, to) made full-width.
// `prev` is the character before as it will read, a mark already made
// full-width included.
void punctuate(std::u16string_view text, size_t from, size_t to,
               std::vector<ContentReplacement>& out) {
  bool open_quote = true;
  char16_t prev = 0;
  for (size_t i = from; i < to; ++i) {
    const char16_t c = text[i];
    const bool after_chinese = is_chinese(prev);
    const bool before_chinese = i + 1 < to && is_chinese(text[i + 1]);
    prev = c;
    if (c == u'"') {
      if (after_chinese || before_chinese) {
        out.push_back({i, 1, open_quote ? u"“" : u"”"});
        prev = open_quote ? u'“' : u'”';
        open_quote = !open_quote;
      }
      continue;
    }
    if (c == u'.' && after_chinese && i + 2 < to && text[i + 1] == u'.' && text[i + 2] == u'.') {
      size_t n = 3;
      while (i + n < to && text[i + n] == u'.') ++n;
      out.push_back({i, n, u"……"});
      prev = u'…';
      i += n - 1;
      continue;
    }
    // "(" opens before Chinese text; the others close after it.
    if (c == u'(' ? (before_chinese || after_chinese) : (full_width(c) && after_chinese)) {
      out.push_back({i, 1, std::u16string(1, full_width(c))});
      prev = full_width(c);
    }
  }
}

}  // namespace

LayoutPlan plan_layout(std::u16string_view text, const LayoutOptions& options) {
  std::vector<Paragraph> paragraphs;
  for (size_t start = 0;;) {
    const size_t end = std::min(text.find(u'\r', start), text.size());
    Paragraph p{start, end, 0, 0};
    while (start + p.lead < end && is_space(text[start + p.lead])) ++p.lead;
    while (p.trail < end - start - p.lead && is_space(text[end - 1 - p.trail])) ++p.trail;
    paragraphs.push_back(p);
    if (end == text.size()) break;
    start = end + 1;
  }
  const std::u16string indent = options.indent ? u"\u3000\u3000" : u"";
  const int blank_lines = options.blank_lines > 0 ? 1 : 0;

  LayoutPlan plan;
  auto& out = plan.replacements;
  size_t first_text = 0;
  while (first_text < paragraphs.size() && paragraphs[first_text].blank()) ++first_text;
  if (first_text == paragraphs.size()) return plan;  // nothing but blank lines: left alone
  size_t last_text = paragraphs.size() - 1;
  while (paragraphs[last_text].blank()) --last_text;

  // Blank paragraphs before the first text go with their breaks.
  if (first_text > 0) {
    out.push_back({0, paragraphs[first_text].start, u""});
    plan.paragraphs += static_cast<int>(first_text);
  }
  int blanks_before = 0;  // blank paragraphs kept since the last paragraph of text
  for (size_t i = first_text; i <= last_text; ++i) {
    const Paragraph& p = paragraphs[i];
    if (p.blank()) {
      // The first `blank_lines` of a run stay (emptied of spaces); the rest
      // go with the break that ends them.
      if (blanks_before < blank_lines) {
        ++blanks_before;
        if (p.end > p.start) {
          out.push_back({p.start, p.end - p.start, u""});
          ++plan.paragraphs;
        }
      } else {
        out.push_back({p.start, p.end - p.start + 1, u""});
        ++plan.paragraphs;
      }
      continue;
    }
    const size_t before = out.size();
    // The head: a missing blank line, then the indent, in place of the spaces.
    std::u16string head = i > first_text && blanks_before < blank_lines ? u"\r" + indent : indent;
    if (text.substr(p.start, p.lead) != std::u16string_view(head)) {
      out.push_back({p.start, p.lead, head});
    }
    if (options.punctuation) punctuate(text, p.start + p.lead, p.end - p.trail, out);
    if (p.trail) out.push_back({p.end - p.trail, p.trail, u""});
    if (out.size() != before) ++plan.paragraphs;
    blanks_before = 0;
  }
  // Blank paragraphs after the last text go with the break before them.
  if (last_text + 1 < paragraphs.size()) {
    const size_t from = paragraphs[last_text].end;
    out.push_back({from, text.size() - from, u""});
    plan.paragraphs += static_cast<int>(paragraphs.size() - 1 - last_text);
  }
  return plan;
}

std::optional<std::string> layout_content(std::string_view content, const LayoutOptions& options,
                                          int* paragraphs) {
  const LayoutPlan plan = plan_layout(chapter_text16(content), options);
  if (paragraphs) *paragraphs = plan.paragraphs;
  if (plan.replacements.empty()) return std::string(content);
  return replace_in_content(content, plan.replacements);
}

}  // namespace folivra
