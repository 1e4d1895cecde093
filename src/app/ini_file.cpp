#include "app/ini_file.h"

#include <vector>

namespace folivra {

namespace {

struct Line {
  std::string_view text;  // without its line break
  size_t begin, end;      // of the whole line in the file, break included
};

std::vector<Line> lines_of(std::string_view text) {
  std::vector<Line> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t stop = text.find('\n', at);
    const size_t next = stop == std::string_view::npos ? text.size() : stop + 1;
    if (stop == std::string_view::npos) stop = text.size();
    size_t content_end = stop;
    if (content_end > at && text[content_end - 1] == '\r') --content_end;
    lines.push_back({text.substr(at, content_end - at), at, next});
    at = next;
  }
  return lines;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The section a line opens, if it is a section line.
std::optional<std::string_view> section_of(std::string_view line) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trimmed(line.substr(1, close - 1));
}

std::optional<std::string_view> key_of(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return trimmed(line.substr(0, eq));
}

// Where a section's lines are: from its header to the next header.
struct Span {
  size_t header = 0, first = 0, last = 0;  // indices into the lines; last is one past
  bool found = false;
};

Span find_section(const std::vector<Line>& lines, std::string_view section) {
  Span span;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = section_of(lines[i].text);
    if (!name) continue;
    if (span.found) {
      span.last = i;
      return span;
    }
    if (same_name(*name, section)) {
      span = {i, i + 1, lines.size(), true};
    }
  }
  return span;
}

}  // namespace

std::optional<std::string> ini_lookup(std::string_view text, std::string_view section,
                                      std::string_view key) {
  const std::vector<Line> lines = lines_of(text);
  const Span span = find_section(lines, section);
  if (!span.found) return std::nullopt;
  for (size_t i = span.first; i < span.last; ++i) {
    const auto name = key_of(lines[i].text);
    if (!name || !same_name(*name, key)) continue;
    std::string_view value = trimmed(lines[i].text.substr(lines[i].text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

std::string ini_with(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  const std::vector<Line> lines = lines_of(text);
  const Span span = find_section(lines, section);
  const std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
  std::string out(text);
  if (!span.found) {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    return out + "[" + std::string(section) + "]\r\n" + entry;
  }
  for (size_t i = span.first; i < span.last; ++i) {
    const auto name = key_of(lines[i].text);
    if (name && same_name(*name, key)) {
      return out.replace(lines[i].begin, lines[i].end - lines[i].begin, entry);
    }
  }
  // After the section's last line that holds anything.
  size_t after = span.header;
  for (size_t i = span.first; i < span.last; ++i) {
    if (!trimmed(lines[i].text).empty()) after = i;
  }
  const size_t at = lines[after].end;
  const bool needs_break = at == out.size() && !out.empty() && out.back() != '\n';
  return out.insert(at, (needs_break ? "\r\n" : "") + entry);
}

std::string ini_without_section(std::string_view text, std::string_view section) {
  const std::vector<Line> lines = lines_of(text);
  const Span span = find_section(lines, section);
  if (!span.found) return std::string(text);
  const size_t begin = lines[span.header].begin;
  const size_t end = span.last < lines.size() ? lines[span.last].begin : text.size();
  return std::string(text.substr(0, begin)) + std::string(text.substr(end));
}

}  // namespace folivra
