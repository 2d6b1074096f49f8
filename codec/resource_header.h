#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lexorin::codec {

// The 16-bit resource header in front of a binary form file (all numbers little-endian):
//   0      0xFF
//   1..2   resource type 10
//   3..    the root's class name upper-cased (a-z only), then a 0 byte
//   n+4    memory flags 0x1030
//   n+6    size of the object stream that follows
// n + 10 bytes for a name of n; names are cut to 70 characters, the room of the 80-byte area
// the header is built in.
std::string MakeResourceHeader(std::string_view class_name, std::uint32_t stream_size);

}  // namespace lexorin::codec
