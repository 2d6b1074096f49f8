#include "forms/form_binary_writer.h"

#include "app/text_utils.h"

namespace lexorin::forms {

void TWriter::WritePrefix(std::uint8_t flags, std::int32_t position) {
    if (flags == 0) return;
    out_.put(static_cast<char>(kPrefixMark | flags));
    if (flags & kFlagChildPos) WriteInteger(position);
}

void TWriter::WriteStr(std::string_view text) {
    if (text.size() > 255) text = text.substr(0, 255);
    out_.put(static_cast<char>(text.size()));
    out_.write(text);
}

void TWriter::WriteInteger(std::int32_t value) {
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

void TWriter::WriteLength(std::uint32_t length) {
    for (int i = 0; i < 4; ++i) out_.put(static_cast<char>(length >> (8 * i)));
}

void TWriter::WriteString(std::string_view text) {
    if (text.size() <= 255) {
        WriteValue(ValueType::String);
        WriteStr(text);
    } else {
        WriteValue(ValueType::LString);
        WriteLength(static_cast<std::uint32_t>(text.size()));
        out_.write(text);
    }
}

void TWriter::WriteIdent(std::string_view ident) {
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

void TWriter::WriteFloat(const Extended80& value) {
    WriteValue(ValueType::Extended);
    out_.write(std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
}

void TWriter::WriteBinary(std::string_view bytes) {
    WriteValue(ValueType::Binary);
    WriteLength(static_cast<std::uint32_t>(bytes.size()));
    out_.write(bytes);
}

}  // namespace lexorin::forms
