#include "document/damage_report.h"

#include "book/task_pool.h"

#include <vector>

#include "book/gbk.h"
#include "document/chapter_look.h"

namespace folivra {

namespace {

constexpr size_t kMostLines = 15;

const char* field_text(ItemField field) {
  switch (field) {
    case ItemField::hint:
      return "密码提示";
    case ItemField::title:
      return "书名";
    case ItemField::author:
      return "作者";
    case ItemField::book_type:
      return "类型";
    case ItemField::intro:
      return "简介";
    case ItemField::cover:
      return "封面";
    case ItemField::name:
      return "章节名";
    case ItemField::content:
      return "内容";
  }
  return "";
}

std::string chapter_label(const Book& book, int32_t position) {
  std::string label = gbk_of("第 ") + std::to_string(position) + gbk_of(" 章");
  const size_t index = static_cast<size_t>(position - 1);
  if (index < book.chapters.size() && !book.chapters[index].name.empty()) {
    label += gbk_of("《") + book.chapters[index].name + gbk_of("》");
  }
  return label;
}

}  // namespace

std::string damage_message(const Book& book, const ReadReport& report,
                           const std::vector<char>* unshowable) {
  std::vector<std::string> lines;
  for (const DamagedItem& item : report.damaged) {
    std::string line = item.chapter ? chapter_label(book, item.chapter) + gbk_of("的") : "";
    line += gbk_of(field_text(item.field));
    if (item.over_budget) line += gbk_of("（数据过大）");
    lines.push_back(line);
  }
  // Every chapter's RTF is walked: on all cores.
  const size_t n = book.chapters.size();
  std::vector<char> damaged(n);
  if (unshowable && unshowable->size() == n) {
    damaged = *unshowable;
  } else {
    run_parallel(n, item_workers(n), [&](size_t i) {
      damaged[i] = book.chapters[i].kept_content.empty() && chapter_damaged(book.chapters[i]);
    });
  }
  for (size_t i = 0; i < n; ++i) {
    if (damaged[i]) {
      lines.push_back(chapter_label(book, static_cast<int32_t>(i + 1)) +
                      gbk_of("的内容（格式无法显示）"));
    }
  }
  if (lines.empty()) return {};
  std::string text =
      gbk_of("这本书有 ") + std::to_string(lines.size()) + gbk_of(" 处内容已损坏，无法显示：\r\n");
  for (size_t i = 0; i < lines.size() && i < kMostLines; ++i) text += "    " + lines[i] + "\r\n";
  if (lines.size() > kMostLines) {
    text += gbk_of("    ……等 ") + std::to_string(lines.size()) + gbk_of(" 处\r\n");
  }
  text += gbk_of("\r\n这些内容保存时会按原样写回文件，不会丢失。");
  return text;
}

std::string salvage_question(const std::string& path, const ReadReport& report, bool inserting) {
  std::string text = gbk_of("文件 ") + path + gbk_of(" 不完整，");
  if (report.chapters_declared > 0) {
    text += gbk_of("只能读出 ") + std::to_string(report.chapters_read) + gbk_of(" 章（共 ") +
            std::to_string(report.chapters_declared) + gbk_of(" 章）。");
  } else {
    text += gbk_of("书籍信息没有读完，也没有读出章节。");
  }
  text += inserting ? gbk_of("\r\n\r\n要插入能读出的章节吗？")
                    : gbk_of(
                          "\r\n\r\n要打开能读出的部分吗？打开后这本书没有文件名，"
                          "保存时请另选文件名，原文件不会被改动。");
  return text;
}

}  // namespace folivra
