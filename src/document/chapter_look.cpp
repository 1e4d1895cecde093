#include "document/chapter_look.h"

#include "text/rtf_check.h"

namespace folivra {

std::string_view shown_content(const Chapter& chapter) {
  const std::string_view content = chapter.content;
  return content.substr(0, content.find('\0'));
}

ChapterLook chapter_look(const Chapter& chapter) {
  const std::string_view content = shown_content(chapter);
  if (content.empty() && !chapter.kept_content.empty()) return ChapterLook::damaged;
  if (looks_like_rtf(content) && !rtf_fits_control(content)) return ChapterLook::damaged;
  return chapter.kind == 1 ? ChapterLook::editable : ChapterLook::read_only;
}

}  // namespace folivra
