#include "book/byte_reader.h"

#include <gtest/gtest.h>

#include "book/block_codec.h"
#include "book/le_bytes.h"

namespace folivra {
namespace {

TEST(ByteReader, ReadsAdvanceEvenPastTheEnd) {
  ByteReader in(std::string("abcdef", 6));
  EXPECT_EQ(in.length(), 6);
  EXPECT_EQ(in.read_bytes(4), "abcd");
  EXPECT_EQ(in.read_bytes(4), "ef") << "fewer bytes when the data ends";
  EXPECT_EQ(in.position(), 8) << "position grows by the count asked for";
  EXPECT_EQ(in.read_bytes(3), "");
  EXPECT_EQ(in.position(), 11);
  EXPECT_EQ(in.read_bytes(0), "");
  EXPECT_EQ(in.read_bytes(-5), "");
  EXPECT_EQ(in.position(), 11) << "a count of 0 or less reads and skips nothing";
}

TEST(ByteReader, NumbersAreLittleEndianAndMissingBytesAreZero) {
  std::string data;
  append_le32(data, 0xFFFFFFFE);
  append_double(data, 2.5);
  data += "\x01\x02";
  ByteReader in(data);
  EXPECT_EQ(in.read_int32(), -2);
  EXPECT_EQ(in.read_double(), 2.5);
  EXPECT_EQ(in.read_int32(), 0x0201);
  EXPECT_EQ(in.read_int32(), 0);
  EXPECT_EQ(in.read_double(), 0.0);
}

TEST(ByteReader, BoolTextAndDateTime) {
  std::string data;
  append_le32(data, 0x100);
  append_le32(data, 0);
  data += std::string("ab\0cd", 5);
  append_double(data, 1e9);
  ByteReader in(data);
  EXPECT_TRUE(in.read_bool());
  EXPECT_FALSE(in.read_bool());
  EXPECT_EQ(in.read_text(5), "ab");
  EXPECT_EQ(in.read_date_time(), 2958465.0);
}

TEST(ByteReader, DecompressesOnRequest) {
  const std::string block = compress_block("inside");
  ByteReader in(block + block);
  EXPECT_EQ(in.read_bytes(static_cast<int32_t>(block.size()), true), "inside");
  EXPECT_EQ(in.read_text(static_cast<int32_t>(block.size()), true), "inside");
}

TEST(ByteReader, CopyAndPosition) {
  ByteReader in(std::string("0123456789"));
  in.set_position(4);
  ByteReader copy = in.copy();
  EXPECT_EQ(copy.read_bytes(2), "45");
  EXPECT_EQ(in.position(), 4) << "the copy is independent";
  in.set_position(8);
  EXPECT_EQ(in.read_bytes(5), "89") << "no further than the end";
  EXPECT_EQ(copy.read_bytes(1), "6");
  in.release();
  EXPECT_EQ(in.length(), 0);
}

TEST(ByteReader, PositionSaturatesInsteadOfWrapping) {
  ByteReader in(std::string("abcd"));
  in.read_bytes(0x7FFFFFFF);
  in.read_bytes(0x7FFFFFFF);
  EXPECT_EQ(in.position(), 0x7FFFFFFF);
  EXPECT_EQ(in.read_bytes(2), "");
}

}  // namespace
}  // namespace folivra
