#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folivra {

// Texts are GBK bytes without a NUL; byte strings may hold anything.
struct Chapter {
  int32_t number = 0;  // 1-based position, not stored in the file
  int32_t kind = 1;
  std::string name;
  std::string content;  // RTF
  // The stored item bytes of a name or content that could not be read back:
  // written again unchanged while the field itself stays empty.
  std::string kept_name, kept_content;
};

// The same for the book's own items.
struct KeptItems {
  std::string hint, title, author, book_type, intro, cover;
};

struct Book {
  std::string title;
  std::string author;
  std::string book_type;
  double time = 0.0;  // OLE Automation date, local time
  std::string intro;
  std::string cover;
  std::string remarks;
  int32_t chapter_count = 0;
  std::vector<Chapter> chapters;
  uint32_t flags = 0;  // bit 0: protected
  std::string password;
  std::string password_hint;
  double format_version = 0.0;
  std::string file_path;
  KeptItems kept;
};

inline constexpr uint32_t kFlagProtected = 1;

}  // namespace folivra
