#pragma once

#include <cstdint>

namespace lexorin::forms {

// The type code in front of every value of a form's object stream.
enum class ValueType : std::uint8_t {
    Null = 0,  // end of a list
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,  // 10-byte float
    String = 6,    // length byte + bytes
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,  // 4-byte length + bytes
    Set = 11,
    LString = 12,  // 4-byte length + bytes
    Nil = 13,
    Collection = 14,
};

// Flags of an object's prefix byte (0xF0 + flags), written only when one is set.
inline constexpr std::uint8_t kFlagInherited = 1;
inline constexpr std::uint8_t kFlagChildPos = 2;
inline constexpr std::uint8_t kPrefixMark = 0xF0;

inline constexpr char kSignature[] = "TPF0";

// Objects, lists and collections nest in the stream and in the text; real forms stay far below
// this depth, and refusing deeper ones keeps a hostile file from exhausting the stack.
inline constexpr int kMaxNesting = 400;

}  // namespace lexorin::forms
