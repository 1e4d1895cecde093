// libFuzzer target: chapter texts as other programs write them, RTF or
// plain. The operations on stored text must never touch what they do not
// change: a replacement changes the text exactly where it was asked to, and
// a cut, put back together, holds every character.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/text_replace.h"

using namespace folivra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  rtf_fits_control(content);
  count_line_breaks(content);
  const std::u16string text = chapter_text16(content);

  // Nothing to replace: the very same bytes.
  if (const auto same = replace_in_content(content, {}); same && *same != content) std::abort();
  // One character (or none, at the end) replaced: that place changes, no other.
  const size_t at = text.empty() ? 0 : size % (text.size() + 1);
  const size_t length = at < text.size() ? 1 : 0;
  for (const std::u16string& with : {std::u16string(u"X"), std::u16string(u"{\\}中\U0001F600")}) {
    const auto replaced = replace_in_content(content, {{at, length, with}});
    if (!replaced) continue;
    std::u16string expected = text;
    expected.replace(at, length, with);
    if (chapter_text16(*replaced) != expected) std::abort();
  }
  // A cut falls where it was asked to; plain text is cut byte for byte.
  if (const auto halves = cut_chapter_content(content, at)) {
    if (chapter_text_length(halves->first) != at) std::abort();
    if (!looks_like_rtf(content) && halves->first + halves->second != content) std::abort();
  }
  return 0;
}
