#include "app/settings.h"

#include <windows.h>
#include <shlobj.h>

#include "app/ini_file.h"
#include "app/ini_values.h"
#include "book/file_io.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr DWORD kLargestRead = 10240;  // one read returns at most 10239 bytes

// True when a new file can be made in `folder`: the probe is gone again at once.
bool can_write_in(const std::wstring& folder) {
  const std::wstring probe =
      folder + L"\\.folivra-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

std::wstring roaming_folder() {
  PWSTR roaming = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) {
    folder = std::wstring(roaming) + L"\\Folivra";
  }
  CoTaskMemFree(roaming);
  return folder;
}

}  // namespace

std::wstring Settings::path_for(const std::wstring& program_folder,
                                const std::wstring& user_folder) {
  const std::wstring beside = program_folder + L"\\config.ini";
  // The installer marks the copies it installs: theirs live with the user.
  const bool installed = GetFileAttributesW((program_folder + L"\\" + kInstalledMark).c_str()) !=
                         INVALID_FILE_ATTRIBUTES;
  if (user_folder.empty() || (!installed && can_write_in(program_folder))) return beside;
  CreateDirectoryW(user_folder.c_str(), nullptr);
  return user_folder + L"\\config.ini";
}

std::wstring Settings::default_path() {
  wchar_t module[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
  const std::wstring path = module;
  return path_for(path.substr(0, path.find_last_of(L"\\/")), roaming_folder());
}

bool Settings::exists() const {
  return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file is read and written as GBK bytes whatever the Windows locale.
std::string Settings::read_text(const char* section, const std::string& key,
                                const std::string& fallback) const {
  std::string text;
  if (!read_whole_file(path_, text)) return fallback;
  std::string value = ini_lookup(text, section, key).value_or(fallback);
  if (value.size() >= kLargestRead) value.resize(kLargestRead - 1);
  return value;
}

int Settings::read_int(const char* section, const char* key, int fallback) const {
  return parse_ini_int(read_text(section, key, ini_int_text(fallback)));
}

bool Settings::read_bool(const char* section, const char* key, bool fallback) const {
  return parse_ini_bool(read_text(section, key, fallback ? "true" : std::string(kIniFalseDefault)));
}

void Settings::change(const std::function<std::string(const std::string&)>& edit) const {
  std::string text;
  if (exists() && !read_whole_file(path_, text)) return;  // never write over what cannot be read
  const std::string changed = edit(text);
  if (changed == text && exists()) return;
  // Written in place, as the profile functions do: settings change often
  // (every move of the window) and are not worth a flush to disk each time.
  const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, changed.data(), static_cast<DWORD>(changed.size()), &written, nullptr);
  CloseHandle(file);
}

void Settings::write_text(const char* section, const std::string& key,
                          const std::string& value) const {
  change([&](const std::string& text) { return ini_with(text, section, key, value); });
}

void Settings::write_int(const char* section, const char* key, int value) const {
  write_text(section, key, ini_int_text(value));
}

void Settings::write_bool(const char* section, const char* key, bool value) const {
  write_text(section, key, ini_bool_text(value));
}

void Settings::remove_section(const char* section) const {
  change([&](const std::string& text) { return ini_without_section(text, section); });
}

}  // namespace folivra
