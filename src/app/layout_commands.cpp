// 一键排版 from the window: the chapter shown or the whole book, after
// saying how many paragraphs will change; one undoable step.
#include "app/main_window.h"
#include "document/chapter_look.h"
#include "text/text_layout.h"

namespace folivra {

void MainWindow::lay_out_chapters(bool whole_book) {
  if (!has_book_ || read_only_) return;
  const int shown = selected_index();
  if (!whole_book && shown < 1) return;
  store_pending_content();
  LayoutOptions options;
  options.indent = settings_.read_bool("Layout", "indent", true);
  options.blank_lines = settings_.read_int("Layout", "blank_lines", 0) > 0 ? 1 : 0;
  options.punctuation = settings_.read_bool("Layout", "punctuation", true);
  std::vector<ChapterEdit> edits;
  int paragraphs = 0;
  const int first = whole_book ? 1 : shown, last = whole_book ? doc_.count() : shown;
  for (int p = first; p <= last; ++p) {
    const Chapter& chapter = doc_.chapter(p);
    if (chapter_look(chapter) != ChapterLook::editable) continue;
    int touched = 0;
    std::optional<std::string> laid = layout_content(chapter.content, options, &touched);
    if (!laid || touched == 0 || *laid == chapter.content) continue;
    paragraphs += touched;
    edits.push_back({p, std::move(*laid), std::nullopt});
  }
  Message question;
  question.caption = L"排版";
  question.owned = true;
  if (edits.empty()) {
    question.text = L"没有需要调整的段落。";
    question.icon = Icon::information;
    prompts_->show_message(question);
    return;
  }
  question.text = L"将调整 " + std::to_wstring(paragraphs) + L" 段" +
                  (whole_book ? L"（" + std::to_wstring(edits.size()) + L" 章）" : L"") +
                  L"。\r\n排版可以撤销。要继续吗？";
  question.icon = Icon::question;
  question.buttons = Buttons::ok_cancel;
  if (prompts_->show_message(question) != Answer::ok) return;
  show_changes(doc_.edit_chapters(std::move(edits), "排版"), shown);
}

}  // namespace folivra
