#include "export/epub_export.h"

#include <cstdio>

#include "book/book_time.h"
#include "book/fingerprint.h"
#include "book/gbk.h"
#include "book/task_pool.h"
#include "export/zip_archive.h"
#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/volumes.h"
#include "text/text_rtf.h"

namespace folivra {

namespace {

// One character as XML text: the markup characters escaped, and what XML
// cannot hold at all (control characters, lone surrogates) left out.
void append_xml(std::string& out, char32_t cp) {
  switch (cp) {
    case '&':
      out += "&amp;";
      return;
    case '<':
      out += "&lt;";
      return;
    case '>':
      out += "&gt;";
      return;
    case '"':
      out += "&quot;";
      return;
  }
  if ((cp < 0x20 && cp != '\t') || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF ||
      cp > 0x10FFFF) {
    return;
  }
  append_utf8(out, cp);
}

std::string xml_text(std::string_view gbk) {
  std::string out;
  for (const char16_t unit : gbk_to_utf16(gbk)) append_xml(out, unit);
  return out;
}

// The paragraphs of a chapter as XHTML, the runs of bold, italic and
// underline as <b>, <i> and <u>, added to `out`.
void append_paragraphs(std::string& out, std::string_view content) {
  out += "<p>";
  uint8_t open = 0;  // the style the open tags give
  char16_t high = 0;
  const auto close_runs = [&] {
    if (open & kUnderline) out += "</u>";
    if (open & kItalic) out += "</i>";
    if (open & kBold) out += "</b>";
    open = 0;
  };
  bool starting = true;  // the paragraph's own indent is left to the stylesheet
  for_each_text_character(content, [&](const TextCharacter& c) {
    if (c.kind == TextCharacter::Kind::line_break) {
      if (c.width == 2 && starting) return;  // a table row's marks make no paragraph
      if (high) append_xml(out, 0xFFFD);
      high = 0;
      close_runs();
      out += "</p>\n<p>";
      starting = true;
      return;
    }
    if (starting && (c.unit == u' ' || c.unit == u'\t' || c.unit == 0x3000)) return;
    starting = false;
    if (c.style != open) {
      close_runs();
      if (c.style & kBold) out += "<b>";
      if (c.style & kItalic) out += "<i>";
      if (c.style & kUnderline) out += "<u>";
      open = c.style;
    }
    char32_t cp = c.unit;
    // \uN writes a character beyond the BMP as its two surrogates.
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (high) append_xml(out, 0xFFFD);
      high = static_cast<char16_t>(cp);
      return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF && high) {
      cp = 0x10000 + ((char32_t{high} - 0xD800) << 10) + (cp - 0xDC00);
    } else if (high || (cp >= 0xDC00 && cp <= 0xDFFF)) {
      append_xml(out, 0xFFFD);  // a lone surrogate
      if (cp >= 0xDC00 && cp <= 0xDFFF) cp = 0xFFFD;
    }
    high = 0;
    append_xml(out, cp);
  });
  if (high) append_xml(out, 0xFFFD);
  close_runs();
  out += "</p>\n";
}

const char* kStyle =
    "body { margin: 0 1em; line-height: 1.6; }\n"
    "h1, h2 { text-align: center; font-weight: bold; }\n"
    "p { text-indent: 2em; margin: 0; }\n";

std::string page_head(const std::string& title, bool nav = false) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n") +
         "<html xmlns=\"http://www.w3.org/1999/xhtml\"" +
         (nav ? " xmlns:epub=\"http://www.idpf.org/2007/ops\"" : "") +
         " xml:lang=\"zh\" lang=\"zh\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>" + title +
         "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/>\n</head>\n"
         "<body>\n";
}
constexpr std::string_view kPageTail = "</body>\n</html>\n";

std::string page(const std::string& title, const std::string& body, bool nav = false) {
  return page_head(title, nav) + body + std::string(kPageTail);
}

// A chapter's page, written in place: its text may be a large part of the book.
std::string chapter_page(const std::string& name, std::string_view content) {
  std::string xhtml = page_head(name);
  xhtml.reserve(xhtml.size() + 2 * name.size() + content.size() + 64);
  xhtml += "<h2>" + name + "</h2>\n";
  append_paragraphs(xhtml, content);
  xhtml += kPageTail;
  return xhtml;
}

const char* cover_type(std::string_view cover) {
  if (cover.starts_with("\xFF\xD8\xFF")) return "image/jpeg";
  if (cover.starts_with("\x89PNG\r\n\x1A\n")) return "image/png";
  if (cover.starts_with("GIF87a") || cover.starts_with("GIF89a")) return "image/gif";
  return nullptr;
}

std::string file_of(size_t i) {
  char name[32];
  std::snprintf(name, sizeof name, "c%05zu.xhtml", i + 1);
  return name;
}

// A name-based identifier in the form of a UUID, the same for the same book.
std::string identifier(const Book& book) {
  const uint64_t a = fingerprint(book.title + '\n' + book.author);
  const uint64_t b = fingerprint(book.title + '\t' + book.intro + '\t' + std::to_string(book.time));
  char id[48];
  std::snprintf(id, sizeof id, "%08x-%04x-5%03x-%04x-%012llx", static_cast<unsigned>(a >> 32),
                static_cast<unsigned>(a >> 16 & 0xFFFF), static_cast<unsigned>(a & 0xFFF),
                static_cast<unsigned>(0x8000 | (b >> 48 & 0x3FFF)),
                static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
  return id;
}

// The book's time as dcterms:modified wants it (its local time, taken as it is).
std::string modified(double time) {
  CalendarTime t = calendar_from_date_time(time);
  if (t.year < 1000) t = {2026, 1, 1, 0, 0, 0};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

EpubWriter::EpubWriter(std::function<bool(std::string_view)> write) : zip_(std::move(write)) {}

bool EpubWriter::begin() {
  return zip_.add({{"mimetype", "application/epub+zip", false},
                   {"META-INF/container.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<container version=\"1.0\" "
                    "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                    "<rootfiles><rootfile full-path=\"OEBPS/content.opf\" "
                    "media-type=\"application/oebps-package+xml\"/></rootfiles>\n</container>\n"},
                   {"OEBPS/style.css", kStyle}});
}

bool EpubWriter::add_chapters(std::span<const Chapter> chapters) {
  const size_t first = names_.size();
  if (first + chapters.size() > kMaxEpubChapters) return false;
  for (size_t i = 0; i < chapters.size(); ++i) {
    std::string name = xml_text(chapters[i].name);
    if (name.find_first_not_of(" \t") == std::string::npos) {
      name = "第 " + std::to_string(first + i + 1) + " 章";
    }
    names_.push_back(std::move(name));
    volumes_.push_back(is_volume(chapters[i]));
  }
  std::vector<ZipEntry> pages(chapters.size());
  run_parallel(chapters.size(), item_workers(chapters.size()), [&](size_t i) {
    const std::string& name = names_[first + i];
    pages[i] = {"OEBPS/" + file_of(first + i), chapter_page(name, chapters[i].content)};
  });
  return zip_.add(pages);
}

bool EpubWriter::finish(const Book& book) {
  const std::string title = book.title.empty() ? gbk_of("无题") : book.title;
  const std::string title_xml = xml_text(title);
  std::vector<ZipEntry> entries;
  std::string manifest, spine, toc;
  const char* image = cover_type(book.cover);
  std::string metadata = "<dc:identifier id=\"id\">urn:uuid:" + identifier(book) +
                         "</dc:identifier>\n<dc:title>" + title_xml +
                         "</dc:title>\n<dc:language>zh</dc:language>\n";
  if (!book.author.empty()) metadata += "<dc:creator>" + xml_text(book.author) + "</dc:creator>\n";
  std::string description;
  for (const std::string& line : plain_lines(book.intro)) {
    for (const char16_t unit : utf8_to_utf16(line)) append_xml(description, unit);
    description += ' ';
  }
  if (description.find_first_not_of(' ') != std::string::npos) {
    metadata +=
        "<dc:description>" + description.substr(0, description.size() - 1) + "</dc:description>\n";
  }
  metadata += "<meta property=\"dcterms:modified\">" + modified(book.time) + "</meta>\n";
  if (image) {
    const std::string subtype = std::string(image).substr(6);
    const std::string ext = subtype == "jpeg" ? "jpg" : subtype;
    manifest += "<item id=\"cover\" href=\"cover." + ext + "\" media-type=\"" + image +
                "\" properties=\"cover-image\"/>\n";
    metadata += "<meta name=\"cover\" content=\"cover\"/>\n";
    entries.push_back({"OEBPS/cover." + ext, book.cover, false});
  }
  manifest +=
      "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
      "properties=\"nav\"/>\n<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>\n";
  bool in_volume = false;  // a volume's list of chapters is open in the contents
  for (size_t i = 0; i < names_.size(); ++i) {
    const std::string file = file_of(i);
    const std::string id = file.substr(0, 6);
    manifest +=
        "<item id=\"" + id + "\" href=\"" + file + "\" media-type=\"application/xhtml+xml\"/>\n";
    spine += "<itemref idref=\"" + id + "\"/>\n";
    if (volumes_[i] && in_volume) toc += "</ol>\n</li>\n";
    if (volumes_[i]) in_volume = false;
    toc += "<li><a href=\"" + file + "\">" + names_[i] + "</a>";
    // A volume's chapters are a list within its item (none: no list).
    if (volumes_[i] && i + 1 < names_.size() && !volumes_[i + 1]) {
      toc += "\n<ol>\n";
      in_volume = true;
    } else {
      toc += "</li>\n";
    }
  }
  if (in_volume) toc += "</ol>\n</li>\n";
  if (names_.empty()) {
    // A spine needs one page: the book's title.
    manifest += "<item id=\"title\" href=\"title.xhtml\" media-type=\"application/xhtml+xml\"/>\n";
    spine += "<itemref idref=\"title\"/>\n";
    toc += "<li><a href=\"title.xhtml\">" + title_xml + "</a></li>\n";
    entries.push_back({"OEBPS/title.xhtml", page(title_xml, "<h1>" + title_xml + "</h1>\n")});
  }
  entries.push_back({"OEBPS/content.opf",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
                     "unique-identifier=\"id\" xml:lang=\"zh\">\n"
                     "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n" +
                         metadata + "</metadata>\n<manifest>\n" + manifest +
                         "</manifest>\n<spine>\n" + spine + "</spine>\n</package>\n"});
  entries.push_back(
      {"OEBPS/nav.xhtml", page(title_xml,
                               "<nav epub:type=\"toc\" id=\"toc\">\n<h1>" + title_xml +
                                   "</h1>\n<ol>\n" + toc + "</ol>\n</nav>\n",
                               true)});
  return zip_.add(entries) && zip_.finish();
}

std::string book_epub(const Book& book) {
  std::string out;
  EpubWriter epub([&](std::string_view bytes) { return out.append(bytes), true; });
  if (!epub.begin() || !epub.add_chapters(book.chapters) || !epub.finish(book)) return {};
  return out;
}

}  // namespace folivra
