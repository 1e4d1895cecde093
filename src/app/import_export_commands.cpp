// "导入文本…", "导出 EPUB…" and "设置封面…": books in from text, out as EPUB,
// and a cover of the user's own.
#include <algorithm>
#include <map>

#include "app/document_commands.h"
#include "book/book_time.h"
#include "book/file_io.h"
#include "book/file_name.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "export/epub_export.h"
#include "text/novel_import.h"
#include "text/rtf_check.h"
#include "text/word_count.h"

namespace folivra {

namespace {

constexpr size_t kMaxPicture = 64u << 20;
constexpr TextEncoding kEncodings[] = {TextEncoding::gb18030, TextEncoding::utf8,
                                       TextEncoding::utf8_bom, TextEncoding::utf16le,
                                       TextEncoding::utf16be};

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string narrow(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// JPEG, PNG, BMP or GIF, by their first bytes.
bool is_picture(std::string_view bytes) {
  return bytes.starts_with("\xFF\xD8\xFF") || bytes.starts_with("\x89PNG\r\n\x1A\n") ||
         bytes.starts_with("BM") || bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a");
}

Message note(const wchar_t* caption, std::wstring text, Icon icon) {
  Message m;
  m.caption = caption;
  m.text = std::move(text);
  m.icon = icon;
  return m;
}

std::wstring rule_problem(RuleOutcome outcome) {
  return outcome == RuleOutcome::invalid ? L"规则不是有效的正则表达式" : L"规则表达式过于复杂";
}

ImportPreview preview_of(const ChapterSplit& found, const std::wstring& file_title) {
  ImportPreview preview;
  if (found.outcome != RuleOutcome::split) {
    preview.rule_problem = rule_problem(found.outcome);
    return preview;
  }
  preview.unwrapped = found.unwrapped;
  preview.contents_kept = found.contents_kept;
  preview.volumes = found.volumes;
  preview.title = found.title.empty() ? file_title : wide(found.title);
  preview.author = wide(found.author);
  for (const TextChapter& chapter : found.chapters) {
    ImportPreviewRow row;
    row.name = wide(chapter.name);
    std::u16string all;
    for (const std::u16string& line : chapter.lines) {
      if (row.first_line.empty() && !line.empty()) row.first_line = wide(line.substr(0, 40));
      all += line;
      all += u'\r';
    }
    row.words = count_words(std::u16string_view(all)).words;
    preview.rows.push_back(std::move(row));
  }
  return preview;
}

}  // namespace

void DocumentCommands::export_epub() {
  const Book& book = view_.current_book();
  if (book.chapters.size() > kMaxEpubChapters) {
    prompts_.show_message(note(L"导出 EPUB",
                               L"这本书有 " + std::to_wstring(book.chapters.size()) +
                                   L" 章，一个 EPUB 最多能放 " + std::to_wstring(kMaxEpubChapters) +
                                   L" 章。",
                               Icon::error));
    return;
  }
  SaveFileRequest request;
  request.initial_directory = chooser_folder();
  request.title = L"导出 EPUB";
  request.default_name =
      safe_file_name(book.file_path.empty() ? book.title : file_name_of(book.file_path, false));
  request.filter = L"EPUB 电子书(*.epub)|*.epub";
  request.default_extension = "epub";
  const std::string target = prompts_.save_file(request);
  if (target.empty()) return;
  view_.remember_folder(folder_of(target));
  const std::string bytes = book_epub(book);
  if (!bytes.empty() && replace_file_contents(path_from_gbk(target), bytes)) {
    prompts_.show_message(
        note(L"导出成功", L"导出成功 文件：" + path_text_to_wide(target), Icon::information));
  } else {
    prompts_.show_message(note(L"导出失败",
                               L"导出失败！ - 写入文件 " + path_text_to_wide(target) + L" 失败",
                               Icon::error));
  }
}

void DocumentCommands::set_cover_command() {
  OpenFileRequest request;
  request.initial_directory = chooser_folder();
  request.title = L"设置封面";
  request.filter = L"图片文件(*.jpg;*.jpeg;*.png;*.bmp;*.gif)|*.jpg;*.jpeg;*.png;*.bmp;*.gif";
  const std::string path = prompts_.open_file(request);
  if (path.empty()) return;
  view_.remember_folder(folder_of(path));
  std::string bytes;
  const FileCheck check = read_file_checked(path_from_gbk(path), "", kMaxPicture, bytes);
  if (check != FileCheck::ok || !is_picture(bytes)) {
    prompts_.show_message(note(
        L"设置封面", path_text_to_wide(path) + L" 不是可用的图片文件（JPEG、PNG、BMP 或 GIF）。",
        Icon::error));
    return;
  }
  // Kept as the user's bytes, however large: the page shows it fitted.
  view_.set_cover(std::move(bytes));
}

void DocumentCommands::import_text() {
  OpenFileRequest open;
  open.initial_directory = chooser_folder();
  open.title = L"导入文本";
  open.filter = L"文本文件(*.txt)|*.txt|所有文件(*.*)|*.*";
  const std::string path = prompts_.open_file(open);
  if (path.empty()) return;
  view_.remember_folder(folder_of(path));
  std::string bytes;
  const FileCheck read = read_file_checked(path_from_gbk(path), "", kMaxNovelBytes, bytes);
  if (read != FileCheck::ok || looks_binary(bytes, detect_encoding(bytes))) {
    const std::wstring why =
        read == FileCheck::too_large
            ? L" 太大，无法导入（最大 " + std::to_wstring(kMaxNovelBytes >> 20) + L" MB）。"
        : read == FileCheck::ok ? L" 不是文本文件。"
                                : L" 无法读取。";
    prompts_.show_message(note(L"导入文本", path_text_to_wide(path) + why, Icon::error));
    return;
  }
  // Each encoding is decoded once, each rule split once per encoding.
  std::map<int, std::u16string> texts;
  const auto text_in = [&](int e) -> const std::u16string& {
    auto at = texts.find(e);
    if (at == texts.end()) at = texts.emplace(e, decode_text(bytes, kEncodings[e])).first;
    return at->second;
  };
  TextImportRequest request;
  request.file_name = gbk_to_wide(file_name_of(path, true));
  for (TextEncoding e : kEncodings) request.encodings.push_back(gbk_to_wide(encoding_name(e)));
  const TextEncoding detected = detect_encoding(bytes);
  request.encoding = static_cast<int>(
      std::find(std::begin(kEncodings), std::end(kEncodings), detected) - std::begin(kEncodings));
  request.rule = wide(default_heading_rule());
  request.can_append = !view_.current_book().file_path.empty() || view_.is_modified() ||
                       !view_.current_book().chapters.empty();
  const std::wstring file_title = gbk_to_wide(file_name_of(path, false));
  request.preview = [&](int e, const std::wstring& rule) {
    return preview_of(split_chapters(text_in(e), narrow(rule)), file_title);
  };
  const TextImportChoice choice = prompts_.choose_text_import(request);
  if (!choice.accepted) return;
  const ChapterSplit found = split_chapters(text_in(choice.encoding), narrow(choice.rule));
  if (found.outcome != RuleOutcome::split) {
    prompts_.show_message(note(L"导入文本", rule_problem(found.outcome), Icon::error));
    return;
  }
  ImportedChapters imported = chapters_of(found.chapters, view_.editor_font_for_text());
  Book probe;
  probe.chapters = std::move(imported.chapters);
  const bool fits = book_reads_back(probe);
  imported.chapters = std::move(probe.chapters);
  if (!fits) {
    prompts_.show_message(
        note(L"导入文本", path_text_to_wide(path) + L" 的文字太多，一个书籍文件装不下；没有导入。",
             Icon::error));
    return;
  }
  if (choice.append && request.can_append) {
    view_.append_chapters(std::move(imported.chapters));
  } else {
    if (!confirm_discard()) return;
    Book book;
    // As the dialog left them, or where a choice says nothing of them, as
    // the text says.
    const ImportPreview said = preview_of(found, file_title);
    const bool chosen = !choice.title.empty();
    book.title = gbk_field(narrow(chosen ? choice.title : said.title), &imported.names_replaced);
    book.author = gbk_field(narrow(chosen ? choice.author : said.author), &imported.names_replaced);
    book.time = current_date_time();
    book.chapters = std::move(imported.chapters);
    book.chapter_count = static_cast<int32_t>(book.chapters.size());
    view_.show_book(std::move(book));
    view_.set_modified(true);
  }
  if (imported.lines_split) {
    prompts_.show_message(note(L"导入文本",
                               L"有 " + std::to_wstring(imported.lines_split) + L" 段长于 " +
                                   std::to_wstring(kMaxControlParagraph) +
                                   L" 个字符，编辑器无法一次显示，已在句末分为多段。",
                               Icon::information));
  }
  if (imported.names_replaced) {
    prompts_.show_message(note(L"导入文本",
                               L"章节名中有 " + std::to_wstring(imported.names_replaced) +
                                   L" 个字符无法以 GBK 保存，已替换为“?”。",
                               Icon::information));
  }
}

}  // namespace folivra
