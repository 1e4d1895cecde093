#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace folivra {

// Where an item's block sits in the book's stored image, and a fingerprint
// of the plain bytes it decodes to, so that a save can write the block again
// instead of encoding the same bytes anew.
struct StoredItem {
  uint64_t image = 0;  // which image: the book's stored_image_id, 0 for none
  uint32_t offset = 0, length = 0;
  uint32_t plain_size = 0;
  uint64_t plain_fingerprint = 0;
};

// Texts are GBK bytes without a NUL; byte strings may hold anything.
struct Chapter {
  int32_t number = 0;  // 1-based position, not stored in the file
  int32_t kind = 1;
  std::string name;
  std::string content;  // RTF
  // The stored item bytes of a name or content that could not be read back:
  // written again unchanged while the field itself stays empty.
  std::string kept_name, kept_content;
  StoredItem stored_name, stored_content;
  // Read without its content, which a load still brings: the content is
  // empty meanwhile and the chapter is never written.
  bool content_pending = false;
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
  // The file image the stored items point into, and the password its
  // blocks were encrypted with.
  std::shared_ptr<const std::string> stored_image;
  uint64_t stored_image_id = 0;  // unique to each image, never 0
  std::string stored_password;
  StoredItem stored_cover;
};

inline constexpr uint32_t kFlagProtected = 1;

}  // namespace folivra
