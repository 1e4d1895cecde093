// 分卷 in the window: a new volume, 设为分卷, and a volume moved or deleted
// with its chapters; chapter numbers kept in order after each move, insert
// and delete when the settings ask for it.
#include "app/main_window.h"
#include "book/gbk_wide.h"
#include "document/renumbering.h"
#include "text/volumes.h"
#include "text/chapter_numbers.h"
#include "text/plain_text.h"
#include "text/text_rtf.h"

namespace folivra {

std::vector<ChapterEdit> MainWindow::renumbering_edits() const {
  return folivra::renumbering_edits(doc_.book(),
                                    settings_.read_bool("Editor", "renumber_per_volume", false));
}

// With 移动后自动重排编号, the numbers are put in order as part of the
// operation that disturbed them (one undo takes both back).
void MainWindow::show_renumbered(ChapterChanges changes, int select) {
  if (!changes.empty() && settings_.read_bool("Editor", "auto_renumber", false)) {
    const ChapterChanges renames = doc_.amend_last(renumbering_edits());
    changes.insert(changes.end(), renames.begin(), renames.end());
  }
  show_changes(changes, select);
}

// 新建分卷: after the volume the selection is in, else at the end, named
// for its place among the volumes; its name is edited at once.
void MainWindow::new_volume() {
  if (!has_book_ || read_only_) return;
  store_pending_content();
  const std::vector<int> volumes = volume_positions(doc_.book());
  const int p = selected_index();
  const int holder = p >= 1 ? volume_holding(volumes, p) : 0;
  const int position = holder ? volume_end(volumes, doc_.count(), holder) + 1 : doc_.count() + 1;
  const long before =
      std::count_if(volumes.begin(), volumes.end(), [&](int v) { return v < position; });
  std::u16string name = u"第";
  name.append(chinese_numeral(before + 1)).append(u"卷");
  const ChapterChanges changes = doc_.insert_volume(position, gbk_field(name));
  show_changes(changes, position);
  if (!changes.empty()) tree_.edit_label(position);
}

// 设为分卷: a chapter holding no text becomes a volume, or a marked volume
// an empty chapter again.
void MainWindow::toggle_volume() {
  const int p = selected_index();
  if (p < 1 || read_only_) return;
  store_pending_content();
  show_changes(doc_.set_volume(p, !tree_.is_volume(p)), p);
}

bool MainWindow::can_toggle_volume(int position) const {
  if (position < 1 || position > doc_.count() || read_only_) return false;
  const Chapter& chapter = doc_.chapter(position);
  return tree_.is_volume(position) ? has_volume_mark(chapter) : holds_no_text(chapter);
}

// A volume holding chapters goes with them, after asking.
void MainWindow::delete_volume(int position) {
  const int end = volume_end(tree_.volumes(), doc_.count(), position);
  if (end > position) {
    Message question;
    question.caption = L"删除分卷";
    question.text = L"要删除分卷“" + gbk_to_wide(doc_.chapter(position).name) + L"”及其中的 " +
                    std::to_wstring(end - position) + L" 章吗？\r\n删除可以撤销。";
    question.icon = Icon::question;
    question.buttons = Buttons::ok_cancel;
    if (prompts_->show_message(question) != Answer::ok) return;
  }
  const int next = std::min(position, doc_.count() - (end - position + 1));
  show_renumbered(doc_.remove_run(position, end), std::max(next, 0));
}

// Alt+↑ and Alt+↓ on a volume: past the volume (or the chapter before the
// first volume) next to it.
void MainWindow::move_volume_by_key(int position, bool up) {
  const std::vector<int>& volumes = tree_.volumes();
  const int n = doc_.count();
  const int end = volume_end(volumes, n, position);
  int to = 0;
  if (up && position > 1) {
    const int holder = volume_holding(volumes, position - 1);
    to = holder ? holder : position - 1;
  } else if (!up && end < n) {
    to = position + (volume_end(volumes, n, end + 1) - end);
  }
  if (to >= 1) show_renumbered(doc_.move_run(position, end, to), to);
}

}  // namespace folivra
