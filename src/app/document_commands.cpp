#include "app/document_commands.h"

#include <new>

#include "book/book_time.h"
#include "book/file_io.h"
#include "book/file_name.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "book/new_book.h"
#include "document/content_load.h"
#include "document/damage_report.h"
#include "editor/file_filter.h"
#include "export/plain_export.h"
#include "export/text_export.h"

namespace folivra {

namespace {

const std::string kNoHint = gbk_of("无");

}  // namespace

std::string with_book_extension(const std::string& path) {
  const bool has_extension = file_name_of(path, false) != file_name_of(path, true);
  return has_extension || file_name_of(path, true).empty() ? path : path + ".zqb";
}

bool DocumentCommands::confirm_discard() {
  if (!view_.is_modified()) return true;
  Message question;
  question.text = gbk_to_wide(view_.current_book().title) + L" 已被修改，是否保存?";
  question.caption = L"保存";
  question.icon = Icon::question;
  question.buttons = Buttons::yes_no_cancel;
  question.owned = true;
  switch (prompts_.show_message(question)) {
    case Answer::yes:
      return save_book();
    case Answer::no:
      return true;
    default:
      return false;
  }
}

void DocumentCommands::new_book_command() {
  if (!confirm_discard()) return;
  disk_path_.clear();
  view_.show_book(make_new_book(current_date_time()));
}

std::string DocumentCommands::chooser_folder() {
  const std::string& path = view_.current_book().file_path;
  return path.empty() ? view_.last_folder() : folder_of(path);
}

std::string DocumentCommands::choose_book_to_open() {
  OpenFileRequest request;
  request.initial_directory = chooser_folder();
  request.filter = std::wstring(kBookFilter);
  request.keep_directory = true;
  const std::string path = prompts_.open_file(request);
  if (!path.empty()) view_.remember_folder(folder_of(path));
  return path;
}

void DocumentCommands::open_book_command() {
  if (!confirm_discard()) return;
  const std::string path = choose_book_to_open();
  if (!path.empty()) open_book(path);
}

void DocumentCommands::open_recent_file(int slot) {
  if (!confirm_discard()) return;
  const auto& recent = view_.recent_files();
  if (slot < 1 || static_cast<size_t>(slot) > recent.size()) return;
  open_book(std::string(recent[static_cast<size_t>(slot - 1)]));
}

std::optional<ReadStatus> DocumentCommands::read_with_password(const std::filesystem::path& file,
                                                               const std::string& name, Book& book,
                                                               ReadReport& report,
                                                               PendingContents* pending) {
  // One read of the file serves both the look at its lock and the book itself;
  // a file that is no book is refused before it is read.
  std::string bytes;
  const ReadStatus read = read_book_file(file, bytes);
  if (read != ReadStatus::ok) return read;
  const BookLock lock = peek_book_lock(bytes);
  std::string password;
  if (!lock.check_value.empty()) {
    password = prompts_.ask_open_password(file_name_of(name, true), lock.check_value,
                                          lock.hint.empty() ? kNoHint : lock.hint);
    if (password.empty()) return std::nullopt;
  }
  if (pending) return parse_book_deferring(std::move(bytes), password, book, report, *pending);
  return parse_book(std::move(bytes), password, book, nullptr, &report);
}

void DocumentCommands::show_read_failure(ReadStatus status) {
  Message failure;
  switch (status) {
    case ReadStatus::format_error:
      failure.text = L"文件格式错误，请重新选择文件";
      break;
    case ReadStatus::password_error:
      failure.text = L"文件密码错误，请重新打开文件";
      break;
    default:
      failure.text = L"文件打开失败，请确定文件是否被占用";
      break;
  }
  prompts_.show_message(failure);
}

bool DocumentCommands::read_or_report(const std::filesystem::path& file, const std::string& path,
                                      Book& book, ReadReport& report, bool inserting,
                                      PendingContents* pending) {
  // Larger than any book file can be: said as such, not as a wrong format.
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(file, error);
  if (!error && size > kMaxBookFileSize) {
    Message failure;
    failure.text = path_text_to_wide(path) + L" 太大（" + std::to_wstring(size >> 20) +
                   L" MB），不是书籍文件：书籍文件最大 " + std::to_wstring(kMaxBookFileSize >> 20) +
                   L" MB。";
    prompts_.show_message(failure);
    return false;
  }
  std::optional<ReadStatus> status;
  try {
    status = read_with_password(file, path, book, report, pending);
  } catch (const std::bad_alloc&) {
    Message failure;
    failure.text = L"内存不足，无法打开 " + path_text_to_wide(path);
    prompts_.show_message(failure);
    return false;
  }
  if (status && *status != ReadStatus::ok) show_read_failure(*status);
  if (status != ReadStatus::ok) return false;
  if (!report.truncated) return true;
  Message question;
  question.text = path_text_to_wide(salvage_question(path, report, inserting));
  question.icon = Icon::question;
  question.buttons = Buttons::ok_cancel;
  question.owned = true;
  return prompts_.show_message(question) == Answer::ok;
}

void DocumentCommands::tell_damage(const Book& book, const ReadReport& report,
                                   const std::vector<char>* unshowable) {
  Message message;
  message.text = path_text_to_wide(damage_message(book, report, unshowable));
  if (message.text.empty()) return;
  message.icon = Icon::information;
  message.owned = true;
  prompts_.show_message(message);
}

void DocumentCommands::open_book(const std::string& given_path) {
  // A relative path would follow the current folder, which choosers move.
  const std::string path = absolute_gbk_path(given_path);
  // A book another window holds is edited there, never twice.
  if (view_.bring_forward_holder(path)) return;
  Book book;
  ReadReport report;
  // The tree first, from the names: the large contents follow on a worker.
  PendingContents pending;
  if (!read_or_report(path_from_gbk(path), path, book, report, false, &pending)) return;
  if (report.truncated) {
    // What was read is a new book: the damaged original is never written over.
    book.file_path.clear();
  } else {
    book.file_path = path;
    view_.add_recent_file(path);
  }
  const bool reading = !pending.empty() && view_.show_book_reading(book, pending, report);
  if (!reading) {
    if (!pending.empty()) {
      LoadedContents loaded = load_contents(pending, std::move(report));
      install_contents(book, std::move(loaded.chapters));
      report = std::move(loaded.report);
    }
    view_.show_book(std::move(book));
  }
  if (report.truncated) view_.set_modified(true);
  note_disk(view_.shown_book());
  if (!reading) tell_damage(view_.current_book(), report);
}

void DocumentCommands::note_disk(const Book& book) {
  disk_path_.clear();
  if (book.file_path.empty() || !book.stored_image) return;
  disk_path_ = book.file_path;
  disk_ = stamp_of(path_from_gbk(book.file_path), *book.stored_image);
}

bool DocumentCommands::disk_unchanged(const Book& book) const {
  return disk_path_.empty() || disk_path_ != book.file_path ||
         !std::filesystem::exists(path_from_gbk(book.file_path)) ||
         still_the_same(path_from_gbk(book.file_path), disk_);
}

bool DocumentCommands::may_overwrite_changed_file(bool& save_elsewhere) {
  save_elsewhere = false;
  const Book& book = view_.current_book();
  if (disk_unchanged(book)) return true;
  Message question;
  question.text = path_text_to_wide(book.file_path) +
                  L" 在打开之后已被其他程序修改。\r\n\r\n“是”仍然覆盖它，“否”另存为新文件，"
                  L"“取消”不保存。";
  question.caption = L"保存";
  question.icon = Icon::question;
  question.buttons = Buttons::yes_no_cancel;
  question.owned = true;
  const Answer answer = prompts_.show_message(question);
  save_elsewhere = answer == Answer::no;
  return answer == Answer::yes;
}

void DocumentCommands::check_disk() {
  const Book& book = view_.shown_book();
  if (disk_unchanged(book)) return;
  std::string bytes;
  const DiskStamp now = read_whole_file(path_from_gbk(book.file_path), bytes)
                            ? stamp_of(path_from_gbk(book.file_path), bytes)
                            : DiskStamp{};
  if (now == told_) return;
  told_ = now;
  Message message;
  message.caption = L"文件已修改";
  message.owned = true;
  if (view_.is_modified()) {
    message.text = path_text_to_wide(book.file_path) +
                   L" 已被其他程序修改。\r\n\r\n你未保存的修改仍在这里；保存时会先问是否覆盖它。";
    message.icon = Icon::information;
    prompts_.show_message(message);
    return;
  }
  message.text = path_text_to_wide(book.file_path) + L" 已被其他程序修改。\r\n\r\n要重新载入吗？";
  message.icon = Icon::question;
  message.buttons = Buttons::ok_cancel;
  if (prompts_.show_message(message) == Answer::ok) open_book(book.file_path);
}

std::string DocumentCommands::choose_book_path(const std::string& proposed_name) {
  SaveFileRequest request;
  request.initial_directory = chooser_folder();
  request.default_name = safe_file_name(proposed_name);
  request.filter = std::wstring(kBookFilter);
  request.default_extension = "zqb";
  request.keep_directory = true;
  const std::string path = prompts_.save_file(request);
  if (path.empty()) return path;
  view_.remember_folder(folder_of(path));
  return with_book_extension(path);
}

// What went wrong, as far as can be told: the old file is whole either way.
std::wstring DocumentCommands::save_failure_text(const Book& book) {
  const std::wstring path = path_text_to_wide(book.file_path);
  const std::wstring folder = path_text_to_wide(folder_of(book.file_path));
  const uint64_t size = book.stored_image ? book.stored_image->size() : 0;
  switch (why_not_written(path_from_gbk(book.file_path), size)) {
    case WriteProblem::read_only_file:
      return L"保存失败！ - 文件 " + path +
             L" 是只读的。\r\n请另存为其他文件，或去掉它的只读属性后再保存。";
    case WriteProblem::no_folder:
      return L"保存失败！ - 文件夹不存在：" + folder;
    case WriteProblem::folder_not_writable:
      return L"保存失败！ - 没有权限在文件夹 " + folder + L" 中写入文件。\r\n请另存到其他位置。";
    case WriteProblem::disk_full:
      return L"保存失败！ - 磁盘空间不足，无法写入 " + path +
             L"。\r\n原文件没有改动；请腾出空间或另存到其他磁盘。";
    case WriteProblem::unknown:
      break;
  }
  return L"保存失败！ - 写入文件 " + path + L" 失败。原文件没有改动。";
}

bool DocumentCommands::save_book() {
  if (!view_.is_modified()) {
    view_.set_modified(false);
    return true;
  }
  Book& book = view_.current_book();
  const bool named_now = book.file_path.empty();
  if (named_now) {
    // A new book's first save proposes its title as the name.
    const std::string path = choose_book_path(book.title);
    if (path.empty()) return false;
    book.file_path = path;
  }
  bool save_elsewhere = false;
  if (!named_now && !may_overwrite_changed_file(save_elsewhere)) {
    return save_elsewhere && save_book_as();
  }
  if (!view_.write_book_to(path_from_gbk(book.file_path), book)) {
    Message failure;
    failure.text = save_failure_text(book);
    failure.caption = L"保存";
    failure.owned = true;
    prompts_.show_message(failure);
    return false;
  }
  view_.set_modified(false);
  note_disk(book);
  view_.book_saved();
  // A book that got its name here is the latest, as an opened one.
  if (named_now) view_.add_recent_file(book.file_path);
  return true;
}

bool DocumentCommands::save_book_as() {
  const std::string path = choose_book_path(file_name_of(view_.current_book().file_path, false));
  if (path.empty()) return false;
  view_.current_book().file_path = path;
  view_.set_modified(true);
  if (!save_book()) return false;
  view_.add_recent_file(path);  // a book saved under a new name is the latest, as an opened one
  return true;
}

void DocumentCommands::close_book_command() {
  if (confirm_discard()) view_.close_book();
}

bool DocumentCommands::restore_copy(const std::filesystem::path& copy,
                                    const std::string& original_path) {
  Book book;
  ReadReport report;
  const std::string shown = original_path.empty() ? path_to_gbk(copy) : original_path;
  if (!read_or_report(copy, shown, book, report)) return false;
  // A copy that did not read whole is a new book, as any cut file is: what is
  // missing from it must never be saved over the original.
  book.file_path = report.clean() ? original_path : std::string();
  // The original as it is now is what the restored book will be saved over.
  std::string original;
  disk_path_.clear();
  if (!book.file_path.empty() && read_whole_file(path_from_gbk(original_path), original)) {
    disk_path_ = original_path;
    disk_ = stamp_of(path_from_gbk(original_path), original);
  }
  view_.show_book(book);
  view_.set_modified(true);
  tell_damage(book, report);
  return true;
}

void DocumentCommands::insert_book() {
  const std::string path = choose_book_to_open();
  if (path.empty()) return;
  Book other;
  ReadReport report;
  if (!read_or_report(path_from_gbk(path), path, other, report, true)) return;
  Book& book = view_.current_book();
  const int first = static_cast<int>(book.chapters.size()) + 1;
  for (Chapter& chapter : other.chapters) book.chapters.push_back(std::move(chapter));
  for (size_t i = static_cast<size_t>(first - 1); i < book.chapters.size(); ++i) {
    book.chapters[i].number = static_cast<int32_t>(i + 1);
  }
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
  view_.add_chapter_items(first);
  view_.set_modified(true);
  tell_damage(other, report);
}

void DocumentCommands::set_password_command() {
  Book& book = view_.current_book();
  const NewPassword answer = prompts_.ask_new_password(file_name_of(book.file_path, true),
                                                       book.password, book.password_hint);
  if (answer.password == book.password && answer.hint == book.password_hint) return;
  book.password = answer.password;
  book.password_hint = answer.hint;
  view_.set_modified(true);
}

}  // namespace folivra

namespace folivra {

namespace {

// A text file: beside the book, or where the user last chose one.
SaveFileRequest text_file_request(const std::string& folder, const std::wstring& title,
                                  const std::string& name) {
  SaveFileRequest request;
  request.initial_directory = folder;
  request.title = title;
  request.default_name = safe_file_name(name);
  request.filter = std::wstring(kTextFilter);
  request.default_extension = "txt";
  return request;
}

}  // namespace

void DocumentCommands::convert_to_text() {
  const Book& book = view_.current_book();
  const std::string path = prompts_.save_file(
      text_file_request(chooser_folder(), L"转换TXT格式", file_name_of(book.file_path, false)));
  if (path.empty()) return;
  view_.remember_folder(folder_of(path));

  // The text goes to a new file that takes the chosen name only when all of
  // it was written: a failure never leaves half a file under that name.
  ReplacingFile file(path_from_gbk(path));
  const bool written =
      file.open() &&
      export_book_text(book, [&](std::string_view bytes) { return file.write(bytes); }) &&
      file.commit();
  Message done;
  if (written) {
    done.caption = L"转换成功";
    done.text = L"转换成功 文件：" + path_text_to_wide(path);
    done.icon = Icon::information;
  } else {
    done.caption = L"转换失败";
    done.text = L"转换失败！ - 打开文件 " + path_text_to_wide(path) + L" 失败";
  }
  prompts_.show_message(done);
}

// The book as readable text for platforms and readers. UTF-8 with a BOM
// keeps every character and opens right in Notepad; zqb writes GBK too.
void DocumentCommands::export_plain_text() {
  const Book& book = view_.current_book();
  const std::string name =
      book.file_path.empty() ? book.title : file_name_of(book.file_path, false);
  const std::string path =
      prompts_.save_file(text_file_request(chooser_folder(), L"导出纯文本", name));
  if (path.empty()) return;
  view_.remember_folder(folder_of(path));
  Message done;
  if (replace_file_contents(path_from_gbk(path), book_plain_text(book, PlainEncoding::utf8_bom))) {
    done.caption = L"导出成功";
    done.text = L"导出成功 文件：" + path_text_to_wide(path);
    done.icon = Icon::information;
  } else {
    done.caption = L"导出失败";
    done.text = L"导出失败！ - 写入文件 " + path_text_to_wide(path) + L" 失败";
  }
  prompts_.show_message(done);
}

}  // namespace folivra
