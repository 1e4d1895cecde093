#include "cli/book_json.h"

#include <limits>
#include <set>

#include "book/book_time.h"
#include "book/gbk.h"
#include "cli/base64.h"

namespace folivra {

using nlohmann::json;

json chapter_json(const Chapter& chapter) {
  return {{"kind", chapter.kind},
          {"name", gbk_to_utf8(chapter.name)},
          {"content", base64_encode(chapter.content)}};
}

json book_information_json(const Book& book) {
  return {
      {"format_version", book.format_version},
      {"flags", book.flags},
      {"password_hint", gbk_to_utf8(book.password_hint)},
      {"title", gbk_to_utf8(book.title)},
      {"author", gbk_to_utf8(book.author)},
      {"book_type", gbk_to_utf8(book.book_type)},
      {"intro", gbk_to_utf8(book.intro)},
      {"time", book.time},
      {"time_text", format_book_time(book.time)},
      {"cover", base64_encode(book.cover)},
  };
}

namespace {

// Reads one optional field of `object` into `out`, recording the first error.
class FieldReader {
 public:
  FieldReader(const json& object, std::string prefix, std::string& error)
      : object_(object), prefix_(std::move(prefix)), error_(error) {}

  void text(const char* key, std::string& out) {
    const json* value = find(key);
    if (!value) return;
    if (!value->is_string()) return fail(key, "must be a string");
    auto gbk = utf8_to_gbk(value->get_ref<const std::string&>());
    if (!gbk) return fail(key, "holds a character that GBK cannot represent");
    if (gbk->find('\0') != std::string::npos) return fail(key, "must not contain NUL");
    out = std::move(*gbk);
  }

  void bytes(const char* key, std::string& out) {
    const json* value = find(key);
    if (!value) return;
    auto decoded =
        value->is_string() ? base64_decode(value->get_ref<const std::string&>()) : std::nullopt;
    if (!decoded) return fail(key, "must be base64 text");
    out = std::move(*decoded);
  }

  template <typename Int>
  void integer(const char* key, Int& out) {
    const json* value = find(key);
    if (!value) return;
    if (!value->is_number_integer()) return fail(key, "must be a whole number");
    const auto wide = value->get<long long>();
    if (wide < static_cast<long long>(std::numeric_limits<Int>::min()) ||
        wide > static_cast<long long>(std::numeric_limits<Int>::max())) {
      return fail(key, "is out of range");
    }
    out = static_cast<Int>(wide);
  }

  void fail(const char* key, const char* why) {
    if (error_.empty()) error_ = prefix_ + key + " " + why;
  }

 private:
  const json* find(const char* key) {
    auto it = object_.find(key);
    return it == object_.end() || it->is_null() ? nullptr : &*it;
  }

  const json& object_;
  std::string prefix_;
  std::string& error_;
};

bool check_keys(const json& object, const std::set<std::string>& allowed, const std::string& where,
                std::string& error) {
  if (!object.is_object()) {
    error = where + " must be a JSON object";
    return false;
  }
  for (const auto& [key, value] : object.items()) {
    if (!allowed.count(key)) {
      error = where + " has an unknown key \"" + key + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace

bool book_from_json(const json& spec, Book& book, std::string& error) {
  // format_version, time and time_text are accepted so that dump output
  // builds again; the writer stamps its own version and time.
  static const std::set<std::string> kBookKeys = {
      "format_version", "flags", "password_hint", "title", "author",   "book_type",
      "intro",          "time",  "time_text",     "cover", "chapters", "password"};
  static const std::set<std::string> kChapterKeys = {"kind", "name", "content"};
  if (!check_keys(spec, kBookKeys, "the book", error)) return false;

  FieldReader fields(spec, "", error);
  fields.integer("flags", book.flags);
  fields.text("password", book.password);
  fields.text("password_hint", book.password_hint);
  fields.text("title", book.title);
  fields.text("author", book.author);
  fields.text("book_type", book.book_type);
  fields.text("intro", book.intro);
  fields.bytes("cover", book.cover);
  if (!error.empty()) return false;

  auto chapters = spec.find("chapters");
  if (chapters == spec.end() || chapters->is_null()) return true;
  if (!chapters->is_array()) {
    error = "chapters must be a list";
    return false;
  }
  for (size_t i = 0; i < chapters->size(); ++i) {
    const std::string where = "chapters[" + std::to_string(i) + "]";
    if (!check_keys((*chapters)[i], kChapterKeys, where, error)) return false;
    Chapter chapter;
    FieldReader chapter_fields((*chapters)[i], where + ".", error);
    chapter_fields.integer("kind", chapter.kind);
    chapter_fields.text("name", chapter.name);
    chapter_fields.bytes("content", chapter.content);
    if (!error.empty()) return false;
    book.chapters.push_back(std::move(chapter));
  }
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
  return true;
}

}  // namespace folivra
