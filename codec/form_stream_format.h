#pragma once

#include <cstdint>

namespace lexorin::codec {

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
    // The codes later Delphi and Free Pascal versions write. 21 is Free Pascal's UnicodeString;
    // Delphi's 64-bit compilers use the same number for an 8-byte double, which a reader cannot
    // tell apart, so 21 is read the way the Classes unit reads it.
    Single = 15,      // 4-byte IEEE float
    Currency = 16,    // 8-byte integer, the value times 10000
    Date = 17,        // 8-byte IEEE double (days since 1899-12-30)
    WString = 18,     // 4-byte count of UTF-16 units + the units
    Int64 = 19,       // 8 bytes, signed
    Utf8String = 20,  // 4-byte length + UTF-8 bytes
    UString = 21,     // as WString
};

inline bool IsStringCode(ValueType type) {
    return type == ValueType::String || type == ValueType::LString || type == ValueType::WString ||
           type == ValueType::Utf8String || type == ValueType::UString;
}

// Flags of an object's prefix byte (0xF0 + flags), written only when one is set.
inline constexpr std::uint8_t kFlagInherited = 1;
inline constexpr std::uint8_t kFlagChildPos = 2;
// An embedded frame ("inline" in the text form); beside kFlagInherited the text form shows
// "inherited" only, as Free Pascal writes it.
inline constexpr std::uint8_t kFlagInline = 4;
inline constexpr std::uint8_t kPrefixMark = 0xF0;

inline constexpr char kSignature[] = "TPF0";

// Objects, lists and collections nest in the stream and in the text; real forms stay far below
// this depth, and refusing deeper ones keeps a hostile file from exhausting the stack.
inline constexpr int kMaxNesting = 400;

}  // namespace lexorin::codec
