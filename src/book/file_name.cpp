#include "book/file_name.h"

#include <filesystem>
#include <system_error>

#include "book/gbk.h"

namespace folivra {

namespace {

// Steps over one character, two bytes for a GBK lead byte with a partner.
size_t next_char(std::string_view s, size_t i) {
  return is_gbk_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? i + 2 : i + 1;
}

bool is_separator(char c) { return c == '\\' || c == '/' || c == ':'; }

std::string_view last_component(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i = next_char(path, i)) {
    const bool followed = i + 1 < path.size() && path[i + 1] != '\\' && path[i + 1] != '/';
    if (is_separator(path[i]) && followed) start = i + 1;
  }
  return path.substr(start);
}

// Offset of the extension's dot, or the length when there is none; a space
// or backslash after a dot means the dot does not start an extension.
size_t extension_start(std::string_view name) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < name.size(); i = next_char(name, i)) {
    if (name[i] == '\\' || name[i] == ' ') {
      dot = std::string_view::npos;
    } else if (name[i] == '.') {
      dot = i;
    }
  }
  return dot == std::string_view::npos ? name.size() : dot;
}

}  // namespace

std::string file_name_of(std::string_view path, bool with_extension) {
  const std::string_view name = last_component(path);
  if (name.empty()) return {};
  // A '\' that is the second byte of a GBK character does not end the name.
  size_t last = 0;
  for (size_t i = 0; i < name.size(); i = next_char(name, i)) last = i;
  if (name[last] == '\\') return {};
  return std::string(with_extension ? name : name.substr(0, extension_start(name)));
}

std::string folder_of(std::string_view path) {
  std::string folder(path.substr(0, path.size() - file_name_of(path, true).size()));
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

std::string safe_file_name(std::string_view title) {
  std::string name;
  for (size_t i = 0; i < title.size();) {
    const size_t next = next_char(title, i);
    const unsigned char c = static_cast<unsigned char>(title[i]);
    const bool forbidden =
        next == i + 1 && (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) !=
                                          std::string_view::npos);
    if (forbidden) {
      name += '_';
    } else {
      name.append(title.substr(i, next - i));
    }
    i = next;
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

}  // namespace folivra

namespace folivra {

std::string absolute_gbk_path(std::string_view gbk) {
  if (gbk.empty()) return {};
  std::error_code error;
  const std::filesystem::path full =
      std::filesystem::absolute(path_from_gbk(gbk), error).lexically_normal();
  if (error) return std::string(gbk);
  // A current folder GBK cannot name would give a path to nowhere: keep the given one.
  std::string back = path_to_gbk(full);
  return path_from_gbk(back) == full ? back : std::string(gbk);
}

}  // namespace folivra
