#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A 32-bit resource file (.res), as compilers for Windows and Free Pascal on every platform link
// it. The translated form is one: the form's object stream as an RCDATA resource named after the
// root's class, which is where the Classes unit of Delphi and Free Pascal looks for a form.
//
// The file is a row of entries, each starting on a 4-byte boundary (numbers little-endian):
//   0   DataSize         4 bytes, the size of the data
//   4   HeaderSize       4 bytes, from the entry's start to its data
//   8   type, then name  each either FFFF and a 16-bit number, or a UTF-16 string ended by
//                        a 0 unit; the name padded to a 4-byte boundary
//       DataVersion      4 bytes
//       MemoryFlags      2 bytes
//       LanguageId       2 bytes
//       Version          4 bytes
//       Characteristics  4 bytes
//   HeaderSize           the data, padded to a 4-byte boundary
// The first entry is empty (sizes 0 and 32, type and name both the number 0): it tells a 32-bit
// file from the older 16-bit layout.
namespace lexorin::codec {

inline constexpr std::uint16_t kResourceTypeRcData = 10;

// A resource's type or name: a number, or a text (held here as 8-bit, one byte per UTF-16 unit
// below 256; a unit above 255 makes the reader refuse the file).
struct ResourceId {
    bool is_number = true;
    std::uint16_t number = 0;
    std::string text;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t memory_flags = 0;
    std::uint16_t language = 0;
    std::string data;
};

// The resource file holding one form: the empty first entry, then the object stream (beginning
// with "TPF0") as RCDATA named after the root's class name upper-cased (a-z raised), memory flags
// 0x1030 (moveable, pure, discardable, as form resources have them), language 0.
std::string FormResourceFile(std::string_view class_name, std::string_view stream);

// Whether a file beginning with these bytes is a 32-bit resource file: its first 16 bytes are
// those of the empty first entry.
bool LooksLikeResourceFile(std::string_view first_bytes);

// Every entry after the empty first one. Raises lexorin::Error naming what is wrong for bytes
// that are no 32-bit resource file or end inside an entry.
std::vector<Resource> ReadResourceFile(std::string_view bytes);

// The object stream of the first RCDATA resource whose data begins with "TPF0". Raises
// lexorin::Error as ReadResourceFile does, or when the file holds no such resource.
std::string FormStreamOfResourceFile(std::string_view bytes);

}  // namespace lexorin::codec
