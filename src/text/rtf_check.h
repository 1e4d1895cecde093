#pragma once

#include <cstddef>
#include <string_view>

namespace folivra {

// Whether chapter content is RTF at all; other content is plain GBK text.
bool looks_like_rtf(std::string_view content);

// Whether RTF is safe to hand to a rich-edit control: groups nested no
// deeper than a real document's, control words and numbers of a sane
// length, binary data the control skips as it is read here. The control
// crashes or takes gigabytes on what fails here. (How long it takes to lay
// out many paragraphs is a matter of count_line_breaks.)
bool rtf_fits_control(std::string_view rtf);

// The paragraph and line breaks of a chapter's content, RTF or plain text:
// what a control's layout costs grows with them.
size_t count_line_breaks(std::string_view content);

}  // namespace folivra
