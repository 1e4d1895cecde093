// 历史版本, 删除的章节 and 码字统计: what the writing store keeps, shown.
#include <algorithm>

#include "app/main_window.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"

namespace folivra {

namespace {

std::wstring wide_of_utf8(const std::string& utf8) {
  const std::u16string text = utf8_to_utf16(utf8);
  return std::wstring(text.begin(), text.end());
}

}  // namespace

// The store's name of the book, once everything asked of it is recorded;
// nothing (and the reason told) when there is no history to show.
std::optional<std::string> MainWindow::store_key_for_history() {
  if (!has_book_) return std::nullopt;
  Message why;
  why.caption = L"历史版本";
  why.owned = true;
  if (!log_.store()) {
    why.text = L"写作记录不可用，没有历史版本。";
  } else if (book_.file_path.empty()) {
    why.text = L"这本书还没有保存过。保存之后，每次保存都会记下改动的章节。";
  } else if (book_.flags & kFlagProtected) {
    why.text = L"这本书设有密码，它的正文不会留在写作记录中，没有历史版本。";
  } else {
    log_.flush();
    return WritingLog::key_of(path_from_gbk(book_.file_path));
  }
  prompts_->show_message(why);
  return std::nullopt;
}

void MainWindow::show_history() {
  const int p = selected_index();
  if (p < 1) return;
  const std::optional<std::string> key = store_key_for_history();
  if (!key) return;
  store_pending_content();
  WritingStore& store = *log_.store();
  const std::vector<ChapterVersion> versions = store.versions_of(*key, doc_.chapter(p), p);
  std::vector<VersionRow> rows;
  version_ids_.clear();
  for (size_t i = 0; i < versions.size(); ++i) {
    const ChapterVersion& v = versions[i];
    VersionRow row{wide_of_utf8(local_time_text(store, v.time)), gbk_to_wide(v.name), v.words, {}};
    if (i + 1 < versions.size()) row.change = v.words - versions[i + 1].words;
    rows.push_back(std::move(row));
    version_ids_.push_back(v.id);
  }
  deleted_.clear();
  history_position_ = p;
  versions_.show(hwnd_, dpi_, VersionsWindow::Mode::history,
                 L"历史版本 - " + gbk_to_wide(doc_.chapter(p).name), std::move(rows),
                 gbk_to_wide(font_.name), font_.size);
}

void MainWindow::show_deleted_chapters() {
  const std::optional<std::string> key = store_key_for_history();
  if (!key) return;
  WritingStore& store = *log_.store();
  deleted_ = store.deleted_chapters(*key);
  std::vector<VersionRow> rows;
  version_ids_.clear();
  for (const DeletedChapter& d : deleted_) {
    rows.push_back({wide_of_utf8(local_time_text(store, d.deleted)),
                    gbk_to_wide(d.last.name),
                    d.last.words,
                    {}});
    version_ids_.push_back(d.last.id);
  }
  versions_.show(hwnd_, dpi_, VersionsWindow::Mode::deleted, L"删除的章节", std::move(rows),
                 gbk_to_wide(font_.name), font_.size);
}

std::string MainWindow::version_content(int row) {
  if (!log_.store() || row < 0 || static_cast<size_t>(row) >= version_ids_.size()) return {};
  const std::optional<Chapter> version = log_.store()->version(version_ids_[row]);
  return version ? version->content : std::string();
}

std::u16string MainWindow::current_text() {
  if (history_position_ < 1 || history_position_ > doc_.count()) return {};
  store_pending_content();
  return chapter_text16(doc_.chapter(history_position_).content);
}

// Restoring is a document operation like any other: Ctrl+Z takes it back,
// and the next save records it.
void MainWindow::restore_row(int row) {
  if (read_only_ || !log_.store() || row < 0 || static_cast<size_t>(row) >= version_ids_.size()) {
    return;
  }
  const std::optional<Chapter> version = log_.store()->version(version_ids_[row]);
  if (!version) return;
  store_pending_content();
  if (versions_.mode() == VersionsWindow::Mode::history) {
    const int p = history_position_;
    show_changes(doc_.restore_version(p, version->name, version->content), p);
    set_status(1, L"已恢复 " + versions_.rows()[static_cast<size_t>(row)].when + L" 的版本");
  } else {
    const int p = std::clamp(deleted_[static_cast<size_t>(row)].position, 1, doc_.count() + 1);
    show_changes(doc_.bring_back(p, *version), p);
    deleted_.erase(deleted_.begin() + row);
    version_ids_.erase(version_ids_.begin() + row);
    std::vector<VersionRow> rows = versions_.rows();
    rows.erase(rows.begin() + row);
    versions_.show(hwnd_, dpi_, VersionsWindow::Mode::deleted, L"删除的章节", std::move(rows),
                   gbk_to_wide(font_.name), font_.size);
  }
  SetTimer(hwnd_, kSavedTimer, 4000, nullptr);
}

void MainWindow::show_writing_stats() {
  WritingStatsData data;
  data.goal = settings_.read_int("Store", "daily_goal", 0);
  data.day_start_hour = settings_.read_int("Store", "day_start_hour", 0);
  if (WritingStore* store = log_.store()) {
    log_.flush();
    const WritingStore::Stats stats = store->stats(30);
    for (size_t i = 0; i < stats.days.size(); ++i) {
      const CivilDate date = civil_date(stats.first_day + static_cast<int64_t>(i));
      data.days.push_back(
          {std::to_wstring(date.month) + L"-" + std::to_wstring(date.day), stats.days[i]});
    }
    data.streak = writing_streak(stats.days, data.goal);
    data.words_per_hour = stats.words_per_hour;
    for (const auto& book : stats.books) {
      const std::wstring path = wide_of_utf8(book.path);
      data.books.push_back({path.substr(path.find_last_of(L"\\/") + 1), book.words, book.period});
    }
    std::sort(data.books.begin(), data.books.end(),
              [](const auto& a, const auto& b) { return a.period > b.period; });
  }
  stats_.show(hwnd_, dpi_, std::move(data), [this](long long goal, int day_start_hour) {
    settings_.write_int("Store", "daily_goal", static_cast<int>(goal));
    settings_.write_int("Store", "day_start_hour", day_start_hour);
    log_.apply(settings_);
    follow_today();
    refresh_counts();
    show_writing_stats();
  });
}

}  // namespace folivra
