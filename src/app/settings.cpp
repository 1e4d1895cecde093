#include "app/settings.h"

#include <windows.h>

#include "app/ini_values.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr DWORD kLargestRead = 10240;  // one read returns at most 10239 bytes

std::wstring wide(std::string_view gbk) { return gbk_to_wide(gbk); }

}  // namespace

std::wstring Settings::default_path() {
  wchar_t module[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
  std::wstring path = module;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"config.ini";
}

bool Settings::exists() const {
  return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Settings::read_text(const char* section, const std::string& key,
                                const std::string& fallback) const {
  std::wstring buffer(kLargestRead, L'\0');
  const DWORD n =
      GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(fallback).c_str(),
                               buffer.data(), kLargestRead, path_.c_str());
  buffer.resize(n);
  return wide_to_gbk_lossy(buffer);
}

int Settings::read_int(const char* section, const char* key, int fallback) const {
  return parse_ini_int(read_text(section, key, ini_int_text(fallback)));
}

bool Settings::read_bool(const char* section, const char* key, bool fallback) const {
  return parse_ini_bool(read_text(section, key, fallback ? "true" : std::string(kIniFalseDefault)));
}

void Settings::write_text(const char* section, const std::string& key,
                          const std::string& value) const {
  WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(),
                             path_.c_str());
}

void Settings::write_int(const char* section, const char* key, int value) const {
  write_text(section, key, ini_int_text(value));
}

void Settings::write_bool(const char* section, const char* key, bool value) const {
  write_text(section, key, ini_bool_text(value));
}

void Settings::remove_section(const char* section) const {
  WritePrivateProfileStringW(wide(section).c_str(), nullptr, nullptr, path_.c_str());
}

}  // namespace folivra
