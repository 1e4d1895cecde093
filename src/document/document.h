#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "document/content_load.h"

namespace folivra {

// One step the chapter list took, for whoever shows the list: an item came
// or went at `position`, was renamed, moved from `position` to `to`, or got
// new content. Positions are 1-based and hold after the step.
struct ChapterChange {
  enum class Kind { inserted, removed, renamed, moved, content } kind;
  int position = 0;
  int to = 0;
};
using ChapterChanges = std::vector<ChapterChange>;

// A chapter's new text or name, for an operation over many chapters.
struct ChapterEdit {
  int position = 0;
  std::optional<std::string> content, name;
};

// The open book as the editor holds it, with every chapter operation and an
// undo history of operations (each keeps only the chapters it touched).
// Chapter numbers always equal positions; every operation that does
// something marks the book modified. An operation that cannot apply (a
// position out of range) changes nothing and returns no changes.
class Document {
 public:
  // The book whole: waits for a load first.
  Book& book() {
    settle();
    return book_;
  }
  const Book& book() const {
    settle();
    return book_;
  }
  int count() const { return static_cast<int>(book_.chapters.size()); }
  const Chapter& chapter(int position) const {
    settle();
    return book_.chapters[index(position)];
  }

  // A new or opened book: the history starts empty. An opened book may come
  // before its large contents are read, with the `load` that brings them;
  // whatever reads or changes its chapters waits for that (settle).
  void replace(Book book, std::unique_ptr<ContentLoad> load = nullptr);
  bool loading() const { return load_ != nullptr; }
  // The book as far as it is read, never waiting: its own items, the
  // chapters' names and kinds and the contents as small as a volume's.
  const Book& listing() const { return book_; }
  // The chapter at `position` with its content, for showing it: while
  // loading, that content is decoded here, before the rest.
  const Chapter& chapter_to_show(int position);
  // The load's contents in the book (waiting for it); its counts and
  // findings kept until taken.
  void settle() const;
  std::vector<WordCount> take_loaded_counts();
  // The read's findings with the chapters' (and which chapters cannot be
  // shown), once, after a load.
  std::optional<LoadedContents> take_loaded_findings();
  bool modified() const { return modified_; }
  void set_modified(bool modified) { modified_ = modified; }

  ChapterChanges add(std::string name);                   // at the end
  ChapterChanges insert(int position, std::string name);  // becomes `position`
  // Whole chapters at the end (导入文本), taken back as one.
  ChapterChanges append(std::vector<Chapter> chapters);
  ChapterChanges remove(int position);
  ChapterChanges rename(int position, std::string name);
  ChapterChanges move(int from, int to);  // the chapter ends at `to`
  // The chapter keeps `first`; a new chapter `name` holding `second`
  // follows it.
  ChapterChanges split(int position, std::string first, std::string second, std::string name);
  // The chapter takes `joined` (its text and the next one's) and the next
  // chapter goes.
  ChapterChanges merge(int position, std::string joined);
  // Many chapters' texts and names at once (全部替换), taken back as one.
  // Texts of chapters the editor does not write (other kinds, damaged) are
  // left alone.
  // `verb` names the operation for undo (UTF-8).
  ChapterChanges edit_chapters(std::vector<ChapterEdit> edits, const char* verb = "全部替换");
  // The chapter made again as one of its recorded versions (恢复版本):
  // its name and content, whatever its kind, taken back as one.
  ChapterChanges restore_version(int position, std::string name, std::string content);
  // A deleted chapter brought back at `position` (恢复章节).
  ChapterChanges bring_back(int position, Chapter chapter);

  // 分卷. A new volume `name` at `position`, carrying the volume mark.
  ChapterChanges insert_volume(int position, std::string name);
  // 设为分卷 (a chapter holding no text takes the mark) or 取消分卷 (the mark
  // goes). Nothing happens to a chapter with text or of another kind.
  ChapterChanges set_volume(int position, bool volume);
  // The chapters `first` to `last` moved together so that `first` ends at
  // `to` (a volume with its chapters); one step.
  ChapterChanges move_run(int first, int last, int to, const char* verb = "移动分卷");
  // The chapters `first` to `last` deleted together; one step.
  ChapterChanges remove_run(int first, int last, const char* verb = "删除分卷");
  // Renames laid onto the last operation (renumbering after a move), so
  // that one undo takes both back.
  ChapterChanges amend_last(std::vector<ChapterEdit> renames);

  // The name of what the next undo or redo takes back ("删除章节 第12章"),
  // empty when there is none.
  std::string undo_name() const;
  std::string redo_name() const;
  ChapterChanges undo();
  ChapterChanges redo();

 private:
  // A change of the chapter list that knows its own inverse.
  struct Step {
    enum class Kind { insert, remove, rename, move, content } kind = Kind::insert;
    int position = 0, to = 0;
    Chapter chapter;         // insert, remove: the chapter; content: the other content
    std::string name, text;  // rename: the other name
  };
  struct Operation {
    std::string name;
    std::vector<Step> steps;
  };

  static Step step_of(Step::Kind kind, int position, int to = 0) {
    Step step;
    step.kind = kind;
    step.position = position;
    step.to = to;
    return step;
  }
  static size_t index(int position) { return static_cast<size_t>(position - 1); }
  bool valid(int position) const { return position >= 1 && position <= count(); }
  ChapterChange apply(Step& step);  // leaves the inverse step in its place
  // Applies the steps and keeps their inverse as "verb chapter_name".
  ChapterChanges record(const char* verb, std::string chapter_name, std::vector<Step> steps);
  ChapterChanges replay(std::vector<Operation>& from, std::vector<Operation>& to);
  void renumber(int from);

  void install_load();

  Book book_;
  std::unique_ptr<ContentLoad> load_;
  std::optional<LoadedContents> loaded_;  // a load's counts and findings, until taken
  bool modified_ = false;
  std::vector<Operation> undo_, redo_;
};

}  // namespace folivra
