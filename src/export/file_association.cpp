#include "export/file_association.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "book/gbk_wide.h"

namespace folivra {

namespace {

void set_value(const std::string& key, const wchar_t* name, DWORD type, const void* data,
               DWORD size) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, gbk_to_wide(key).c_str(), 0, nullptr, 0, KEY_WRITE,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
}

void set_text(const std::string& key, const wchar_t* name, const std::string& text) {
  const std::wstring wide = path_text_to_wide(text);
  set_value(key, name, REG_SZ, wide.c_str(),
            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

// The default value of a key, or nothing when the key or value is missing.
std::optional<std::wstring> default_value(const std::wstring& key) {
  wchar_t buffer[2048] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

std::wstring associated_command(const std::string& extension) {
  std::string ext = extension;
  std::erase_if(ext, [](char c) { return c == '*' || c == '.'; });
  const std::wstring cls = default_value(L"." + gbk_to_wide(ext)).value_or(L"");
  if (cls.empty()) return {};
  std::wstring verb = default_value(cls + L"\\shell").value_or(L"");
  if (verb.empty()) verb = L"open";
  return default_value(cls + L"\\shell\\" + verb + L"\\command").value_or(L"");
}

}  // namespace

void register_file_type(const std::string& program_path, const std::string& extension,
                        const std::string& icon_path, const std::string& description) {
  const std::string& cls = extension;
  set_text(cls, nullptr, description);
  const DWORD edit_flags = 2;
  set_value(cls, L"EditFlags", REG_DWORD, &edit_flags, sizeof edit_flags);
  set_text(cls + "\\Shell\\Open\\Command", nullptr, "\"" + program_path + "\" \"%1\"");
  set_text(cls + "\\DefaultIcon", nullptr, icon_path + ",0");
  set_text("." + extension, nullptr, cls);
}

std::string associated_command_of(const std::string& extension) {
  return wide_to_path_text(associated_command(extension));
}

// Compared as the registry holds it: a path GBK cannot write is never
// mistaken for the one registered.
bool association_is_ours(const std::string& program_path) {
  std::wstring command = associated_command("zqb");
  std::erase(command, L'"');
  const size_t space = command.rfind(L' ');
  command = space == std::wstring::npos ? std::wstring() : command.substr(0, space);
  return command == path_text_to_wide(program_path);
}

}  // namespace folivra
