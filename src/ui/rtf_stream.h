#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// Replaces the whole content of a rich-edit control with a chapter's content: RTF as RTF, anything
// else as GBK text. Where the control lays out a large text slowly, one of more than
// `piece_characters` characters goes in piece by piece; the control ends as
// a load at once leaves it, and says nothing of it as a change.
inline constexpr size_t kLoadPieceCharacters = 50000;
void load_chapter_text(HWND rich_edit, std::string_view content,
                       size_t piece_characters = kLoadPieceCharacters);

// The same load for an editor that shows a large chapter at once: the first
// piece and the last go in at once (the start is in view), the others one
// per `step`, each where it belongs between them, the caret and the view
// left where they are. Until it is done the control holds part of the text:
// whoever reads or changes it calls `finish` first. Nothing of it is a step
// to undo or a change to report.
class PieceLoad {
 public:
  // False when the content went in whole (small, or Windows' own control).
  bool start(HWND rich_edit, std::string_view content,
             size_t piece_characters = kLoadPieceCharacters);
  bool loading() const { return next_ < pieces_.size(); }
  bool step();    // one more piece; true while more remain
  void finish();  // every piece left, now
  void cancel();  // the control takes other content: nothing more goes in

 private:
  void insert_next();
  void done();

  HWND edit_ = nullptr;
  std::vector<std::string> pieces_;  // all but the last, in order
  size_t next_ = 0;
  LONG at_ = 0;  // where the next piece goes
  bool rtf_ = true;
  LRESULT events_ = 0;
};

// The RTF of the whole control, or of its selection only.
std::string save_rtf(HWND rich_edit, bool selection_only = false);

// The control's text as its character positions count it: each paragraph
// one '\r'.
std::wstring control_text(HWND rich_edit);

// Replaces ranges of the control's text, each taking the formatting of the
// text it replaces; undoable in the control. Ranges must not overlap.
struct TextReplacement {
  LONG start = 0, length = 0;
  std::wstring text;
};
void apply_replacements(HWND rich_edit, const std::vector<TextReplacement>& replacements);

}  // namespace folivra
