#include "codec/form_binary_writer.h"

#include "base/text_utils.h"
#include "codec/form_value_text.h"

namespace lexorin::codec {

void FormBinaryWriter::WritePrefix(std::uint8_t flags, std::int32_t position) {
    if (flags == 0) return;
    out_.put(static_cast<char>(kPrefixMark | flags));
    if (flags & kFlagChildPos) WriteInteger(position);
}

void FormBinaryWriter::WriteStr(std::string_view text) {
    if (text.size() > 255) text = text.substr(0, 255);
    out_.put(static_cast<char>(text.size()));
    out_.write(text);
}

void FormBinaryWriter::WriteInteger(std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    if (value >= -128 && value <= 127) {
        WriteValue(ValueType::Int8);
        out_.put(static_cast<char>(bits));
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(ValueType::Int16);
        out_.put(static_cast<char>(bits));
        out_.put(static_cast<char>(bits >> 8));
    } else {
        WriteValue(ValueType::Int32);
        WriteLength(bits);
    }
}

void FormBinaryWriter::WriteLength(std::uint32_t length) {
    for (int i = 0; i < 4; ++i) out_.put(static_cast<char>(length >> (8 * i)));
}

void FormBinaryWriter::WriteString(std::string_view text) {
    if (text.size() <= 255) {
        WriteValue(ValueType::String);
        WriteStr(text);
    } else {
        WriteValue(ValueType::LString);
        WriteLength(static_cast<std::uint32_t>(text.size()));
        out_.write(text);
    }
}

void FormBinaryWriter::WriteIdent(std::string_view ident) {
    if (equal_no_case(ident, "False")) {
        WriteValue(ValueType::False);
    } else if (equal_no_case(ident, "True")) {
        WriteValue(ValueType::True);
    } else if (equal_no_case(ident, "nil")) {
        WriteValue(ValueType::Nil);
    } else {
        WriteValue(ValueType::Ident);
        WriteStr(ident);
    }
}

void FormBinaryWriter::WriteFloat(const Extended80& value) {
    WriteValue(ValueType::Extended);
    out_.write(std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
}

void FormBinaryWriter::WriteBinary(std::string_view bytes) {
    WriteValue(ValueType::Binary);
    WriteLength(static_cast<std::uint32_t>(bytes.size()));
    out_.write(bytes);
}

void FormBinaryWriter::WriteUInt64(std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out_.put(static_cast<char>(value >> (8 * i)));
}

void FormBinaryWriter::WriteInteger64(std::int64_t value) {
    if (value >= INT32_MIN && value <= INT32_MAX)
        WriteInteger(static_cast<std::int32_t>(value));
    else
        WriteInt64(value);
}

void FormBinaryWriter::WriteInt64(std::int64_t value) {
    WriteValue(ValueType::Int64);
    WriteUInt64(static_cast<std::uint64_t>(value));
}

void FormBinaryWriter::WriteSingle(std::uint32_t bits) {
    WriteValue(ValueType::Single);
    WriteLength(bits);
}

void FormBinaryWriter::WriteCurrency(std::int64_t ten_thousandths) {
    WriteValue(ValueType::Currency);
    WriteUInt64(static_cast<std::uint64_t>(ten_thousandths));
}

void FormBinaryWriter::WriteDate(std::uint64_t bits) {
    WriteValue(ValueType::Date);
    WriteUInt64(bits);
}

void FormBinaryWriter::WriteWideString(std::u16string_view units, ValueType type) {
    WriteValue(type);
    WriteLength(static_cast<std::uint32_t>(units.size()));
    for (char16_t unit : units) {
        out_.put(static_cast<char>(unit & 0xFF));
        out_.put(static_cast<char>(unit >> 8));
    }
}

void FormBinaryWriter::WriteUtf8String(std::u16string_view units) {
    std::string bytes;
    Utf16ToUtf8(units, bytes);
    WriteValue(ValueType::Utf8String);
    WriteLength(static_cast<std::uint32_t>(bytes.size()));
    out_.write(bytes);
}

}  // namespace lexorin::codec
