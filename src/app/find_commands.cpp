// 查找和替换: in the chapter being edited, and over the whole book, whose
// hits the finder brings back from its worker.
#include <richedit.h>

#include <algorithm>
#include <memory>

#include "app/main_window.h"
#include "book/gbk_wide.h"
#include "document/book_replace.h"
#include "document/chapter_look.h"
#include "text/book_search.h"
#include "text/plain_text.h"
#include "ui/dpi.h"
#include "ui/rtf_stream.h"
#include "ui/status_progress.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

CHARRANGE selection_of(HWND edit) {
  CHARRANGE range{};
  SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

// Selects a hit and brings its line to the middle of the editor, clear of
// the find window that usually covers the editor's lower part.
void select_in(HWND edit, LONG start, LONG end) {
  CHARRANGE range{start, end};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  RECT client{};
  GetClientRect(edit, &client);
  const LRESULT first = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  POINTL top{}, next{}, hit{};
  SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top),
               SendMessageW(edit, EM_LINEINDEX, first, 0));
  SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&next),
               SendMessageW(edit, EM_LINEINDEX, first + 1, 0));
  SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&hit), start);
  const LONG line_height = next.y - top.y;
  if (line_height <= 0) return;
  const LONG lines_from_middle = (hit.y - client.bottom / 2) / line_height;
  if (lines_from_middle != 0) SendMessageW(edit, EM_LINESCROLL, 0, lines_from_middle);
}

std::wstring quoted(const std::wstring& text) { return L"“" + text + L"”"; }

constexpr const wchar_t* kTooComplex = L"表达式过于复杂";

const wchar_t* field_name(HitField field) {
  switch (field) {
    case HitField::title:
      return L"书名";
    case HitField::author:
      return L"作者";
    case HitField::book_type:
      return L"类型";
    case HitField::intro:
      return L"简介";
    case HitField::name:
      return L"（章节名）";
    case HitField::content:
      break;
  }
  return L"";
}

}  // namespace

void MainWindow::open_find(bool whole_book) {
  std::wstring seed;
  if (GetFocus() == c_.content) {
    const CHARRANGE sel = selection_of(c_.content);
    const std::wstring text = control_text(c_.content);
    if (sel.cpMax > sel.cpMin && sel.cpMax - sel.cpMin < 200 &&
        static_cast<size_t>(sel.cpMax) <= text.size()) {
      seed =
          text.substr(static_cast<size_t>(sel.cpMin), static_cast<size_t>(sel.cpMax - sel.cpMin));
      if (seed.find(L'\r') != std::wstring::npos) seed.clear();
    }
  }
  find_.show(hwnd_, dpi_, seed);
  if (whole_book && find_.has_pattern()) search_book(find_.request());
}

void MainWindow::find_again(bool backward) {
  if (!find_.has_pattern()) return open_find(false);
  find_step(find_.request(), backward);
}

std::optional<TextPattern> MainWindow::pattern_for(const FindRequest& request) {
  std::optional<TextPattern> pattern =
      TextPattern::make(utf16_of(request.pattern), request.options);
  if (!pattern) {
    find_.set_note(request.pattern.empty() ? L"请输入要查找的内容。" : L"正则表达式有误。");
  }
  return pattern;
}

bool MainWindow::chapter_in_editor() {
  const int p = selected_index();
  if (p >= 1 && p <= doc_.count() && TabCtrl_GetCurSel(c_.tabs) == 1) return true;
  find_.set_note(L"请先打开一个章节。");
  return false;
}

void MainWindow::find_step(const FindRequest& request, bool backward) {
  const std::optional<TextPattern> pattern = pattern_for(request);
  if (!pattern || !chapter_in_editor()) return;
  const std::u16string text = utf16_of(control_text(c_.content));
  const TextMatches all = matches_in(*pattern, text);
  const CHARRANGE sel = selection_of(c_.content);
  std::optional<TextMatch> found = backward
                                       ? previous_match(all.found, static_cast<size_t>(sel.cpMin))
                                       : next_match(all.found, static_cast<size_t>(sel.cpMax));
  std::wstring note;
  if (!found && all.end == SearchEnd::whole) {
    found = backward ? previous_match(all.found, text.size()) : next_match(all.found, 0);
    note = backward ? L"已到开头，从末尾继续查找。" : L"已到末尾，从开头继续查找。";
  }
  if (all.end == SearchEnd::too_complex) note = kTooComplex;
  if (!found) {
    find_.set_note(all.end == SearchEnd::too_complex
                       ? note
                       : L"本章中找不到" + quoted(request.pattern) + L"。");
    return;
  }
  select_in(c_.content, static_cast<LONG>(found->start),
            static_cast<LONG>(found->start + found->length));
  find_.set_note(note);
}

bool MainWindow::chapter_takes_replacements() {
  if (!chapter_in_editor()) return false;
  if (!read_only_ && chapter_look(doc_.chapter(selected_index())) == ChapterLook::editable) {
    return true;
  }
  find_.set_note(L"这一章是只读的，不能替换。");
  return false;
}

void MainWindow::replace_one(const FindRequest& request) {
  const std::optional<TextPattern> pattern = pattern_for(request);
  if (!pattern || !chapter_takes_replacements()) return;
  const std::u16string text = utf16_of(control_text(c_.content));
  const CHARRANGE sel = selection_of(c_.content);
  const std::optional<TextMatch> here =
      next_match(matches_in(*pattern, text).found, static_cast<size_t>(sel.cpMin));
  if (here && here->start == static_cast<size_t>(sel.cpMin) &&
      here->start + here->length == static_cast<size_t>(sel.cpMax)) {
    const std::wstring with =
        wide_of(pattern->replacement(text, *here, utf16_of(request.replacement)));
    apply_replacements(c_.content, {{sel.cpMin, sel.cpMax - sel.cpMin, with}});
  }
  find_step(request, false);
}

// A regular expression, or any search of a long chapter, runs on a worker
// while the window paints (at most the time budget of one text).
TextMatches MainWindow::matches_in(const TextPattern& pattern, const std::u16string& text) {
  if (!pattern.is_regex() && text.size() < 1'000'000) return pattern.find_all(text);
  TextMatches all;
  run_showing_progress(c_.status, 1, 300,
                       [&](const ProgressReport&) { all = pattern.find_all(text); });
  return all;
}

// Nothing when the expression is too complex for the chapter: then nothing
// is replaced rather than a part.
std::optional<std::vector<TextReplacement>> MainWindow::replacements_in(const TextPattern& pattern,
                                                                        const std::wstring& text,
                                                                        const std::wstring& with) {
  const std::u16string text16 = utf16_of(text), with16 = utf16_of(with);
  const TextMatches all = matches_in(pattern, text16);
  if (all.end != SearchEnd::whole) return std::nullopt;
  std::vector<TextReplacement> out;
  for (const TextMatch& m : all.found) {
    out.push_back({static_cast<LONG>(m.start), static_cast<LONG>(m.length),
                   wide_of(pattern.replacement(text16, m, with16))});
  }
  return out;
}

void MainWindow::replace_in_chapter(const FindRequest& request) {
  const std::optional<TextPattern> pattern = pattern_for(request);
  if (!pattern || !chapter_takes_replacements()) return;
  const std::optional<std::vector<TextReplacement>> found =
      replacements_in(*pattern, control_text(c_.content), request.replacement);
  if (!found) {
    find_.set_note(kTooComplex);
    return;
  }
  const std::vector<TextReplacement>& all = *found;
  apply_replacements(c_.content, all);
  find_.set_note(all.empty() ? L"本章中找不到" + quoted(request.pattern) + L"。"
                             : L"已替换 " + std::to_wstring(all.size()) + L" 处。");
}

void MainWindow::search_book(const FindRequest& request) {
  const std::optional<TextPattern> pattern = pattern_for(request);
  if (!pattern) return;
  stop_search();
  store_pending_content();
  find_.clear_results();
  find_.set_note(L"正在查找…");
  find_.set_searching(true);
  finder_.start(hwnd_, std::make_shared<const Book>(doc_.book()), *pattern, request.names);
}

void MainWindow::forget_search() {
  stop_search();
  finder_.forget();
  find_.clear_results();
  find_.set_note(L"");
}

void MainWindow::stop_search() {
  finder_.stop(hwnd_);
  find_.set_searching(false);
}

void MainWindow::found_hits(WPARAM generation, LPARAM batch) {
  const std::vector<BookHit> hits = finder_.take(generation, batch);
  if (hits.empty()) return;
  std::vector<FoundLine> lines;
  for (const BookHit& hit : hits) {
    std::wstring place = hit.position == 0 ? field_name(hit.field) : L"";
    if (hit.position > 0 && hit.position <= doc_.count()) {
      place = gbk_to_wide(doc_.chapter(hit.position).name);
      if (hit.field == HitField::name) place += field_name(hit.field);
    }
    lines.push_back({place, hit.too_complex ? kTooComplex : wide_of(hit.context)});
  }
  find_.add_results(lines);
  find_.set_note(L"正在查找… 已找到 " + std::to_wstring(finder_.hits().size()) + L" 处");
}

void MainWindow::search_done(WPARAM generation, bool whole) {
  if (!finder_.ended(generation)) return;
  find_.set_searching(false);
  const std::vector<BookHit>& hits = finder_.hits();
  const auto complex =
      std::count_if(hits.begin(), hits.end(), [](const BookHit& hit) { return hit.too_complex; });
  const std::wstring count = std::to_wstring(hits.size() - static_cast<size_t>(complex));
  std::wstring note = !whole         ? L"已停止，找到 " + count + L" 处。"
                      : hits.empty() ? L"全书中找不到" + quoted(find_.request().pattern) + L"。"
                                     : L"全书共找到 " + count + L" 处。";
  if (complex > 0) note += std::to_wstring(complex) + L" 处" + kTooComplex + L"，未查完。";
  find_.set_note(note);
}

// The chosen hit is shown where it is: the chapter opened and the hit
// selected, or the information field.
void MainWindow::hit_chosen(int index) {
  const std::vector<BookHit>& hits = finder_.hits();
  if (index < 0 || static_cast<size_t>(index) >= hits.size()) return;
  const BookHit& hit = hits[static_cast<size_t>(index)];
  const LONG start = static_cast<LONG>(hit.match.start);
  const LONG end = static_cast<LONG>(hit.match.start + hit.match.length);
  if (hit.position == 0) {
    tree_.select(0);
    select_page(0);
    const HWND fields[] = {c_.title, c_.author, c_.book_type, c_.intro};
    const HWND field = fields[static_cast<int>(hit.field)];
    const LONG indent = field == c_.intro ? 4 : 0;  // the page shows the introduction indented
    SendMessageW(field, EM_SETSEL, start + indent, end + indent);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    return;
  }
  if (hit.position > doc_.count()) return;
  tree_.select(hit.position);
  if (hit.field == HitField::content) select_in(c_.content, start, end);
}

// 全书替换: worked out in the core on every core (each chapter's stored RTF
// kept outside the replaced text), said and asked about, then applied as
// one operation to take back.
void MainWindow::replace_in_book(const FindRequest& request) {
  const std::optional<TextPattern> pattern = pattern_for(request);
  if (!pattern) return;
  if (read_only_) {
    find_.set_note(L"只读状态下不能替换。");
    return;
  }
  stop_search();
  store_pending_content();
  BookReplacement plan;
  const std::u16string with = utf16_of(request.replacement);
  run_showing_progress(c_.status, 1, 300, [&](const ProgressReport& report) {
    plan = plan_book_replacement(doc_.book(), *pattern, with, request.names, report);
  });
  if (plan.places == 0) {
    find_.set_note(plan.too_complex.empty() ? L"全书中找不到" + quoted(request.pattern) + L"。"
                                            : std::wstring(kTooComplex));
    return;
  }
  std::wstring counted =
      std::to_wstring(plan.places) + L" 处，涉及 " + std::to_wstring(plan.edits.size()) + L" 章";
  if (!plan.too_complex.empty()) {
    counted +=
        L"；" + std::to_wstring(plan.too_complex.size()) + L" 章" + kTooComplex + L"，不替换";
  }
  Message question;
  question.text = L"将替换 " + counted + L"。\r\n要替换吗？";
  question.caption = L"全书替换";
  question.icon = Icon::question;
  question.buttons = Buttons::ok_cancel;
  question.owned = true;
  if (prompts_->show_message(question) != Answer::ok) return;
  const int shown = selected_index();
  show_changes(doc_.edit_chapters(std::move(plan.edits)), shown);
  find_.clear_results();
  finder_.forget();
  find_.set_note(L"已替换 " + counted);
}

}  // namespace folivra
