#include "shell/file_association.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr const wchar_t* kUserClasses = L"Software\\Classes\\";

struct Place {
  HKEY root;
  std::wstring prefix;
};

Place place_of(Registration where) {
  return where == Registration::all_users ? Place{HKEY_CLASSES_ROOT, L""}
                                          : Place{HKEY_CURRENT_USER, kUserClasses};
}

bool set_value(const Place& place, const std::string& key, const wchar_t* name, DWORD type,
               const void* data, DWORD size) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(place.root, (place.prefix + gbk_to_wide(key)).c_str(), 0, nullptr, 0,
                      KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool ok =
      RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return ok;
}

bool set_text(const Place& place, const std::string& key, const wchar_t* name,
              const std::string& text) {
  const std::wstring wide = path_text_to_wide(text);
  return set_value(place, key, name, REG_SZ, wide.c_str(),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

// The default value of a key, or nothing when the key or value is missing:
// the user's classes first, then the machine's, as Windows merges them.
std::optional<std::wstring> default_value(const std::wstring& key) {
  for (const Place& place :
       {place_of(Registration::current_user), place_of(Registration::all_users)}) {
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(place.root, (place.prefix + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     buffer, &size) == ERROR_SUCCESS) {
      return std::wstring(buffer);
    }
  }
  return std::nullopt;
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

bool register_file_type(const std::string& program_path, const std::string& extension,
                        const std::string& icon_path, const std::string& description,
                        Registration where) {
  const Place place = place_of(where);
  const std::string& cls = extension;
  const DWORD edit_flags = 2;
  bool ok = set_text(place, cls, nullptr, description);
  ok = set_value(place, cls, L"EditFlags", REG_DWORD, &edit_flags, sizeof edit_flags) && ok;
  ok =
      set_text(place, cls + "\\Shell\\Open\\Command", nullptr, "\"" + program_path + "\" \"%1\"") &&
      ok;
  ok = set_text(place, cls + "\\DefaultIcon", nullptr, icon_path + ",0") && ok;
  return set_text(place, "." + extension, nullptr, cls) && ok;
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
