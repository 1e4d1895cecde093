#include "export/zip_archive.h"

#include <zlib.h>

#include <cstdint>

#include "book/le_bytes.h"
#include "book/task_pool.h"

namespace folivra {

namespace {

constexpr uint16_t kDosTime = 0;       // 00:00:00
constexpr uint16_t kDosDate = 0x5C21;  // 2026-01-01: a fixed date keeps exports repeatable
constexpr uint16_t kUtf8Names = 0x0800;

struct Packed {
  std::string bytes;  // stored or raw deflate
  uint32_t crc = 0;
  bool deflated = false;
};

Packed pack(const ZipEntry& entry) {
  Packed p;
  p.crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                      static_cast<uInt>(entry.data.size())));
  if (entry.deflate && !entry.data.empty()) {
    z_stream zs{};
    if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK) {
      p.bytes.resize(deflateBound(&zs, static_cast<uLong>(entry.data.size())));
      zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(entry.data.data()));
      zs.avail_in = static_cast<uInt>(entry.data.size());
      zs.next_out = reinterpret_cast<Bytef*>(p.bytes.data());
      zs.avail_out = static_cast<uInt>(p.bytes.size());
      const bool done = deflate(&zs, Z_FINISH) == Z_STREAM_END;
      p.bytes.resize(zs.total_out);
      deflateEnd(&zs);
      if (done && p.bytes.size() < entry.data.size()) {
        p.deflated = true;
        return p;
      }
    }
  }
  p.bytes = entry.data;
  return p;
}

void put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void put32(std::string& out, uint32_t v) { append_le32(out, v); }

}  // namespace

ZipWriter::ZipWriter(std::function<bool(std::string_view)> write) : write_(std::move(write)) {}

bool ZipWriter::add(const std::vector<ZipEntry>& entries) {
  if (!ok_) return false;
  std::vector<Packed> packed(entries.size());
  run_parallel(entries.size(), item_workers(entries.size()),
               [&](size_t i) { packed[i] = pack(entries[i]); });
  std::string out;
  for (size_t i = 0; i < entries.size(); ++i) {
    const ZipEntry& e = entries[i];
    const Packed& p = packed[i];
    if (written_ + out.size() + p.bytes.size() + 1024 > UINT32_MAX || e.data.size() > UINT32_MAX) {
      return ok_ = false;
    }
    const auto offset = static_cast<uint32_t>(written_ + out.size());
    const uint16_t method = p.deflated ? 8 : 0;
    // The header fields the local and the central record share.
    std::string common;
    put16(common, 20);  // version needed: 2.0
    put16(common, kUtf8Names);
    put16(common, method);
    put16(common, kDosTime);
    put16(common, kDosDate);
    put32(common, p.crc);
    put32(common, static_cast<uint32_t>(p.bytes.size()));
    put32(common, static_cast<uint32_t>(e.data.size()));
    put16(common, static_cast<uint16_t>(e.name.size()));
    put16(common, 0);  // extra field
    put32(out, 0x04034B50);
    out += common;
    out += e.name;
    out += p.bytes;
    put32(directory_, 0x02014B50);
    put16(directory_, 20);  // made by: MS-DOS, 2.0
    directory_ += common;
    put16(directory_, 0);  // comment
    put16(directory_, 0);  // disk
    put16(directory_, 0);  // internal attributes
    put32(directory_, 0);  // external attributes
    put32(directory_, offset);
    directory_ += e.name;
  }
  count_ += entries.size();
  written_ += out.size();
  return ok_ = ok_ && write_(out);
}

bool ZipWriter::finish() {
  if (!ok_ || count_ > 0xFFFF || written_ + directory_.size() + 22 > UINT32_MAX) return false;
  std::string out = directory_;
  put32(out, 0x06054B50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<uint16_t>(count_));
  put16(out, static_cast<uint16_t>(count_));
  put32(out, static_cast<uint32_t>(directory_.size()));
  put32(out, static_cast<uint32_t>(written_));
  put16(out, 0);
  return ok_ = write_(out);
}

std::string zip_archive(const std::vector<ZipEntry>& entries) {
  std::string out;
  ZipWriter zip([&](std::string_view bytes) { return out.append(bytes), true; });
  if (!zip.add(entries) || !zip.finish()) return {};
  return out;
}

}  // namespace folivra
