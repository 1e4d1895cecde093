#include "document/document.h"

#include <algorithm>
#include <utility>

#include "book/gbk.h"
#include "text/volumes.h"

namespace folivra {

namespace {

// Older operations are forgotten beyond this many.
constexpr size_t kHistory = 1000;

// Only a chapter of editable text can be cut or joined: the stored bytes of
// a damaged one, or another kind's content, must survive as they are.
bool joinable(const Chapter& chapter) { return chapter.kind == 1 && chapter.kept_content.empty(); }

}  // namespace

void Document::replace(Book book, std::unique_ptr<ContentLoad> load) {
  load_.reset();  // a load of the book replaced is waited for and dropped
  loaded_.reset();
  book_ = std::move(book);
  load_ = std::move(load);
  book_.chapter_count = count();
  renumber(1);
  undo_.clear();
  redo_.clear();
}

void Document::settle() const {
  // Reading the rest of the book is not a change of it: a const reader
  // waits for it like any other.
  if (load_) const_cast<Document*>(this)->install_load();
}

void Document::install_load() {
  LoadedContents loaded = load_->take();
  load_.reset();
  install_contents(book_, std::move(loaded.chapters));
  loaded.chapters.clear();
  loaded_ = std::move(loaded);
}

const Chapter& Document::chapter_to_show(int position) {
  Chapter& chapter = book_.chapters[index(position)];
  if (!load_ || !chapter.content_pending) return chapter;
  std::optional<std::string> content = decode_pending_content(load_->pending(), index(position));
  if (!content) {
    settle();  // damaged or past the budget: the whole read says which
    return chapter;
  }
  // The same bytes the load brings; until then, the only content a reader
  // of the listing may see.
  chapter.content = std::move(*content);
  return chapter;
}

std::vector<WordCount> Document::take_loaded_counts() {
  settle();
  return loaded_ ? std::move(loaded_->counts) : std::vector<WordCount>{};
}

std::optional<LoadedContents> Document::take_loaded_findings() {
  settle();
  std::optional<LoadedContents> taken = std::move(loaded_);
  loaded_.reset();
  return taken;
}

void Document::renumber(int from) {
  for (int p = std::max(from, 1); p <= count(); ++p) book_.chapters[index(p)].number = p;
  book_.chapter_count = count();
}

ChapterChange Document::apply(Step& step) {
  std::vector<Chapter>& chapters = book_.chapters;
  switch (step.kind) {
    case Step::Kind::insert:
      chapters.insert(chapters.begin() + static_cast<long>(index(step.position)),
                      std::move(step.chapter));
      step.chapter = Chapter();
      step.kind = Step::Kind::remove;
      renumber(step.position);
      return {ChapterChange::Kind::inserted, step.position};
    case Step::Kind::remove:
      step.chapter = std::move(chapters[index(step.position)]);
      chapters.erase(chapters.begin() + static_cast<long>(index(step.position)));
      step.kind = Step::Kind::insert;
      renumber(step.position);
      return {ChapterChange::Kind::removed, step.position};
    case Step::Kind::rename: {
      Chapter& chapter = chapters[index(step.position)];
      std::swap(chapter.name, step.name);
      std::swap(chapter.kept_name, step.text);
      return {ChapterChange::Kind::renamed, step.position};
    }
    case Step::Kind::move: {
      Chapter moving = std::move(chapters[index(step.position)]);
      chapters.erase(chapters.begin() + static_cast<long>(index(step.position)));
      chapters.insert(chapters.begin() + static_cast<long>(index(step.to)), std::move(moving));
      renumber(std::min(step.position, step.to));
      const ChapterChange change{ChapterChange::Kind::moved, step.position, step.to};
      std::swap(step.position, step.to);
      return change;
    }
    case Step::Kind::content: {
      Chapter& chapter = chapters[index(step.position)];
      std::swap(chapter.content, step.chapter.content);
      std::swap(chapter.kept_content, step.chapter.kept_content);
      return {ChapterChange::Kind::content, step.position};
    }
  }
  return {};
}

ChapterChanges Document::record(const char* verb, std::string chapter_name,
                                std::vector<Step> steps) {
  ChapterChanges changes;
  for (Step& step : steps) changes.push_back(apply(step));
  std::reverse(steps.begin(), steps.end());
  std::string name = gbk_of(verb);
  if (!chapter_name.empty()) name += " " + chapter_name;
  undo_.push_back({std::move(name), std::move(steps)});
  if (undo_.size() > kHistory) undo_.erase(undo_.begin());
  redo_.clear();
  modified_ = true;
  return changes;
}

ChapterChanges Document::add(std::string name) { return insert(count() + 1, std::move(name)); }

ChapterChanges Document::insert(int position, std::string name) {
  settle();
  if (position < 1 || position > count() + 1) return {};
  Step step = step_of(Step::Kind::insert, position);
  step.chapter.name = std::move(name);
  const char* verb = position == count() + 1 ? "添加章节" : "插入章节";
  const std::string shown = step.chapter.name;
  return record(verb, shown, {std::move(step)});
}

ChapterChanges Document::append(std::vector<Chapter> chapters) {
  settle();
  std::vector<Step> steps;
  for (Chapter& chapter : chapters) {
    Step step = step_of(Step::Kind::insert, count() + 1 + static_cast<int>(steps.size()));
    step.chapter = std::move(chapter);
    steps.push_back(std::move(step));
  }
  if (steps.empty()) return {};
  return record("导入文本", {}, std::move(steps));
}

ChapterChanges Document::remove(int position) {
  settle();
  if (!valid(position)) return {};
  return record("删除章节", chapter(position).name, {step_of(Step::Kind::remove, position)});
}

ChapterChanges Document::rename(int position, std::string name) {
  settle();
  if (!valid(position) || (name == chapter(position).name && chapter(position).kept_name.empty())) {
    return {};
  }
  Step step = step_of(Step::Kind::rename, position);
  step.name = std::move(name);
  return record("重命名章节", chapter(position).name, {std::move(step)});
}

ChapterChanges Document::move(int from, int to) {
  settle();
  if (!valid(from) || !valid(to) || from == to) return {};
  return record("移动章节", chapter(from).name, {step_of(Step::Kind::move, from, to)});
}

ChapterChanges Document::split(int position, std::string first, std::string second,
                               std::string name) {
  settle();
  if (!valid(position) || !joinable(chapter(position))) return {};
  Step cut = step_of(Step::Kind::content, position);
  cut.chapter.content = std::move(first);
  Step added = step_of(Step::Kind::insert, position + 1);
  added.chapter.name = std::move(name);
  added.chapter.content = std::move(second);
  return record("拆分章节", chapter(position).name, {std::move(cut), std::move(added)});
}

ChapterChanges Document::merge(int position, std::string joined) {
  settle();
  if (!valid(position) || !valid(position + 1) || !joinable(chapter(position)) ||
      !joinable(chapter(position + 1))) {
    return {};
  }
  Step join = step_of(Step::Kind::content, position);
  join.chapter.content = std::move(joined);
  return record("合并章节", chapter(position).name,
                {std::move(join), step_of(Step::Kind::remove, position + 1)});
}

ChapterChanges Document::edit_chapters(std::vector<ChapterEdit> edits, const char* verb) {
  settle();
  std::vector<Step> steps;
  for (ChapterEdit& edit : edits) {
    if (!valid(edit.position)) continue;
    if (edit.content && joinable(chapter(edit.position))) {
      Step step = step_of(Step::Kind::content, edit.position);
      step.chapter.content = std::move(*edit.content);
      steps.push_back(std::move(step));
    }
    if (edit.name && *edit.name != chapter(edit.position).name) {
      Step step = step_of(Step::Kind::rename, edit.position);
      step.name = std::move(*edit.name);
      steps.push_back(std::move(step));
    }
  }
  if (steps.empty()) return {};
  return record(verb, "", std::move(steps));
}

ChapterChanges Document::restore_version(int position, std::string name, std::string content) {
  settle();
  if (!valid(position)) return {};
  const Chapter& now = chapter(position);
  std::vector<Step> steps;
  if (content != now.content || !now.kept_content.empty()) {
    Step step = step_of(Step::Kind::content, position);
    step.chapter.content = std::move(content);
    steps.push_back(std::move(step));
  }
  if (name != now.name || !now.kept_name.empty()) {
    Step step = step_of(Step::Kind::rename, position);
    step.name = std::move(name);
    steps.push_back(std::move(step));
  }
  if (steps.empty()) return {};
  return record("恢复版本", now.name, std::move(steps));
}

ChapterChanges Document::bring_back(int position, Chapter chapter) {
  settle();
  if (position < 1 || position > count() + 1) return {};
  Step step = step_of(Step::Kind::insert, position);
  chapter.kept_name.clear();
  chapter.kept_content.clear();
  chapter.stored_name = chapter.stored_content = StoredItem{};
  step.chapter = std::move(chapter);
  const std::string shown = step.chapter.name;
  return record("恢复章节", shown, {std::move(step)});
}

ChapterChanges Document::insert_volume(int position, std::string name) {
  settle();
  if (position < 1 || position > count() + 1) return {};
  Step step = step_of(Step::Kind::insert, position);
  step.chapter.name = std::move(name);
  step.chapter.content = volume_content();
  const std::string shown = step.chapter.name;
  return record("新建分卷", shown, {std::move(step)});
}

ChapterChanges Document::set_volume(int position, bool volume) {
  settle();
  if (!valid(position) || !joinable(chapter(position))) return {};
  const Chapter& now = chapter(position);
  if (volume == is_volume(now)) return {};
  if (volume ? !holds_no_text(now) : !has_volume_mark(now)) return {};
  Step step = step_of(Step::Kind::content, position);
  step.chapter.content = volume ? volume_content() : std::string();
  return record(volume ? "设为分卷" : "取消分卷", now.name, {std::move(step)});
}

ChapterChanges Document::move_run(int first, int last, int to, const char* verb) {
  settle();
  const int length = last - first + 1;
  if (!valid(first) || !valid(last) || length < 1 || to == first || to < 1 ||
      to + length - 1 > count()) {
    return {};
  }
  std::vector<Step> steps;
  for (int i = 0; i < length; ++i) {
    // Forwards, the run's first chapter goes behind the others each time;
    // backwards, each goes in its turn to its new place.
    steps.push_back(to > first ? step_of(Step::Kind::move, first, to + length - 1)
                               : step_of(Step::Kind::move, first + i, to + i));
  }
  return record(verb, chapter(first).name, std::move(steps));
}

ChapterChanges Document::remove_run(int first, int last, const char* verb) {
  settle();
  if (!valid(first) || !valid(last) || last < first) return {};
  std::vector<Step> steps;
  for (int p = last; p >= first; --p) steps.push_back(step_of(Step::Kind::remove, p));
  return record(verb, chapter(first).name, std::move(steps));
}

ChapterChanges Document::amend_last(std::vector<ChapterEdit> renames) {
  settle();
  if (undo_.empty()) return {};
  ChapterChanges changes;
  std::vector<Step> steps;
  for (ChapterEdit& edit : renames) {
    if (!valid(edit.position) || !edit.name || *edit.name == chapter(edit.position).name) continue;
    Step step = step_of(Step::Kind::rename, edit.position);
    step.name = std::move(*edit.name);
    changes.push_back(apply(step));
    steps.push_back(std::move(step));
  }
  // The inverses run first on undo: the operation's steps are kept reversed.
  std::vector<Step>& kept = undo_.back().steps;
  kept.insert(kept.begin(), std::make_move_iterator(steps.rbegin()),
              std::make_move_iterator(steps.rend()));
  return changes;
}

std::string Document::undo_name() const { return undo_.empty() ? "" : undo_.back().name; }
std::string Document::redo_name() const { return redo_.empty() ? "" : redo_.back().name; }

ChapterChanges Document::replay(std::vector<Operation>& from, std::vector<Operation>& to) {
  settle();
  if (from.empty()) return {};
  Operation operation = std::move(from.back());
  from.pop_back();
  ChapterChanges changes;
  for (Step& step : operation.steps) changes.push_back(apply(step));
  std::reverse(operation.steps.begin(), operation.steps.end());
  to.push_back(std::move(operation));
  modified_ = true;
  return changes;
}

ChapterChanges Document::undo() { return replay(undo_, redo_); }
ChapterChanges Document::redo() { return replay(redo_, undo_); }

}  // namespace folivra
