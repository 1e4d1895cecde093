// Shaping the book from the window: 一键排版 of the chapter shown or the whole
// book, 重排章节编号, and each chapter's 字数 in the tree.
#include "app/main_window.h"
#include "ui/menu_ids.h"
#include "document/chapter_look.h"
#include "book/gbk_wide.h"
#include "text/chapter_numbers.h"
#include "text/plain_text.h"
#include "text/text_layout.h"
#include "text/text_rtf.h"

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

// 重排章节编号: the numbered chapters' names run in order again, each in
// the numerals it is written in; one undoable step.
void MainWindow::renumber_chapters() {
  if (!has_book_ || read_only_) return;
  store_pending_content();
  std::vector<ChapterEdit> edits = renumbering_edits();
  if (edits.empty()) {
    set_status(1, L"章节编号已经按顺序排列");
    SetTimer(hwnd_, kSavedTimer, 4000, nullptr);
    return;
  }
  const size_t count = edits.size();
  show_changes(doc_.edit_chapters(std::move(edits), "重排章节编号"), selected_index());
  set_status(1, L"已重排 " + std::to_wstring(count) + L" 个章节编号");
  SetTimer(hwnd_, kSavedTimer, 4000, nullptr);
}

void MainWindow::apply_tree_counts() {
  const bool on = settings_.read_bool("Editor", "tree_counts", false);
  tree_.show_counts(on ? std::function<long long(int)>([this](int position) {
    return counts_.counting() ? -1 : counts_.chapter_words(position);
  })
                       : nullptr);
  menus_.settings->set_checked(kCmdTreeCounts, on);
  menus_.settings->set_checked(kCmdRenumberPerVolume,
                               settings_.read_bool("Editor", "renumber_per_volume", false));
  menus_.settings->set_checked(kCmdAutoRenumber,
                               settings_.read_bool("Editor", "auto_renumber", false));
  apply_page_look();
}

}  // namespace folivra
