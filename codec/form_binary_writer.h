#pragma once

#include <cstdint>
#include <string_view>

#include "codec/byte_streams.h"
#include "codec/extended80.h"
#include "codec/form_stream_format.h"

namespace lexorin::codec {

// Writes the pieces of a binary form stream, each value in its smallest type code, through a
// 4096-byte buffer. Call Flush() at the end.
class FormBinaryWriter {
  public:
    explicit FormBinaryWriter(ByteSink& sink) : out_(sink) {}

    void WriteSignature() { out_.write(std::string_view(kSignature, 4)); }
    // Nothing when no flag is set; the position follows only with kFlagChildPos.
    void WritePrefix(std::uint8_t flags, std::int32_t position);
    void WriteValue(ValueType type) { out_.put(static_cast<char>(type)); }
    void WriteListBegin() { WriteValue(ValueType::List); }
    void WriteListEnd() { WriteValue(ValueType::Null); }

    // A short string, cut to 255 bytes.
    void WriteStr(std::string_view text);
    void WriteInteger(std::int32_t value);
    void WriteString(std::string_view text);  // code 6 up to 255 bytes, else 12
    void WriteIdent(std::string_view ident);  // "False", "True", "nil" (any case) by their codes
    void WriteFloat(const Extended80& value);
    void WriteBinary(std::string_view bytes);
    // Codes 2-4 for a value that fits 32 bits, else code 19.
    void WriteInteger64(std::int64_t value);
    // Code 19 whatever the value, for a value that came as code 19.
    void WriteInt64(std::int64_t value);
    void WriteSingle(std::uint32_t bits);
    void WriteCurrency(std::int64_t ten_thousandths);
    void WriteDate(std::uint64_t bits);
    // Code 18 or 21: the count of UTF-16 units, then the units.
    void WriteWideString(std::u16string_view units, ValueType type);
    // Code 20: the length of the UTF-8 bytes, then the bytes (the units must be well-formed).
    void WriteUtf8String(std::u16string_view units);

    void Flush() { out_.flush(); }

  private:
    void WriteLength(std::uint32_t length);
    void WriteUInt64(std::uint64_t value);

    BufferedOutput out_;
};

}  // namespace lexorin::codec
