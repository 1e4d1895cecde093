#pragma once

#include <string_view>

namespace folivra {

// Whether chapter content is RTF at all; other content is plain GBK text.
bool looks_like_rtf(std::string_view content);

// Whether RTF is safe to hand to a rich-edit control: groups nested no
// deeper than a real document's, control words of a sane length, and no
// more paragraphs than its size can honestly hold. The control crashes or
// takes gigabytes on what fails here.
bool rtf_fits_control(std::string_view rtf);

}  // namespace folivra
