#include <iconv.h>

#include <cerrno>

#include "book/gbk.h"

namespace folivra {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; on a bad sequence calls `on_bad` with the bytes
  // left, which returns how many to skip (0: give up).
  template <typename OnBad>
  bool run(std::string_view in, std::string& out, OnBad on_bad) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buffer[4096];
    while (src_left > 0) {
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      const size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
      const size_t skip = on_bad(out, std::string_view(src, src_left));
      if (skip == 0) return false;
      src += skip;
      src_left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
  Converter converter("UTF-8", "CP936");
  std::string out;
  converter.run(gbk, out, [](std::string& text, std::string_view rest) -> size_t {
    text += "\xEF\xBF\xBD";
    return rest.size() >= 2 && is_gbk_lead_byte(static_cast<unsigned char>(rest[0])) ? 2 : 1;
  });
  return out;
}

std::optional<std::string> utf8_to_gbk(std::string_view utf8) {
  Converter converter("CP936", "UTF-8");
  std::string out;
  if (!converter.run(utf8, out, [](std::string&, std::string_view) -> size_t { return 0; })) {
    return std::nullopt;
  }
  return out;
}

}  // namespace folivra
