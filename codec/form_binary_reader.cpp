#include "codec/form_binary_reader.h"

#include <cstring>

#include "codec/form_errors.h"
#include "codec/form_value_text.h"

namespace lexorin::codec {

FormBinaryReader::FormBinaryReader(std::istream& in) : stream_(in), start_(in.tellg()), in_(in) {}

FormBinaryReader::~FormBinaryReader() {
    if (start_ == std::istream::pos_type(-1)) return;
    try {
        stream_.clear();
        stream_.seekg(start_ + static_cast<std::istream::off_type>(consumed_));
    } catch (const std::exception&) {
        // A stream told to throw must not end the program from a destructor; the position is
        // only a help for a report.
    }
}

std::uint8_t FormBinaryReader::Get() {
    const std::uint8_t byte = in_.get();
    ++consumed_;
    return byte;
}

void FormBinaryReader::Skip(std::size_t count) {
    in_.skip(count);
    consumed_ += count;
}

void FormBinaryReader::Read(char* dest, std::size_t count) {
    in_.read(dest, count);
    consumed_ += count;
}

std::size_t FormBinaryReader::ReadSome(char* dest, std::size_t count) {
    const std::size_t got = in_.read_some(dest, count);
    consumed_ += got;
    return got;
}

void FormBinaryReader::PropValueError() {
    throw EReadError(messages::kInvalidPropertyValue);
}

void FormBinaryReader::CheckValue(ValueType expected) {
    if (ReadValue() != expected) PropValueError();
}

void FormBinaryReader::ReadResHeader() {
    // A file too short for the header is no form either, so running out here is an invalid image.
    std::uint8_t head[3];
    for (auto& byte : head) {
        if (in_.at_end()) throw EInvalidImage(messages::kInvalidStreamFormat);
        byte = Get();
    }
    if (head[0] != 0xFF || head[1] != 10 || head[2] != 0)
        throw EInvalidImage(messages::kInvalidStreamFormat);
    // The name ends at its 0 byte, or at offset 79 where the 80-byte header area ends.
    std::size_t name_length = 0;
    while (name_length < 76 && Get() != 0) ++name_length;
    std::size_t consumed = 3 + name_length + (name_length < 76 ? 1 : 0);
    Skip(name_length + 10 - consumed);  // flags and size, which are not needed
}

void FormBinaryReader::ReadSignature() {
    char signature[4];
    Read(signature, 4);
    if (std::memcmp(signature, kSignature, 4) != 0)
        throw EReadError(messages::kInvalidStreamFormat);
}

FormBinaryReader::Prefix FormBinaryReader::ReadPrefix() {
    Prefix prefix;
    if (in_.peek() >= kPrefixMark) {
        prefix.flags = Get() & 0x0F;
        if (prefix.flags & kFlagChildPos) prefix.position = ReadInteger();
    }
    return prefix;
}

std::int32_t FormBinaryReader::ReadIntegerPayload(ValueType type) {
    unsigned char bytes[4];
    switch (type) {
        case ValueType::Int8:
            return static_cast<std::int8_t>(Get());
        case ValueType::Int16:
            Read(reinterpret_cast<char*>(bytes), 2);
            return static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
        case ValueType::Int32:
            Read(reinterpret_cast<char*>(bytes), 4);
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                             (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                             (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                             (static_cast<std::uint32_t>(bytes[3]) << 24));
        default:
            PropValueError();
    }
}

std::int32_t FormBinaryReader::ReadInteger() {
    ValueType type = ReadValue();
    if (type != ValueType::Int8 && type != ValueType::Int16 && type != ValueType::Int32)
        PropValueError();
    return ReadIntegerPayload(type);
}

std::uint32_t FormBinaryReader::ReadLength() {
    unsigned char bytes[4];
    Read(reinterpret_cast<char*>(bytes), 4);
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint64_t FormBinaryReader::ReadUInt64() {
    unsigned char bytes[8];
    Read(reinterpret_cast<char*>(bytes), 8);
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

std::u16string FormBinaryReader::ReadWidePayload() {
    // As for long strings, the text grows with the units actually there.
    std::uint32_t count = ReadLength();
    std::u16string units;
    unsigned char chunk[4096];
    while (units.size() < count) {
        std::size_t want = std::min<std::size_t>(sizeof chunk / 2, count - units.size());
        Read(reinterpret_cast<char*>(chunk), 2 * want);
        for (std::size_t i = 0; i < want; ++i)
            units += static_cast<char16_t>(chunk[2 * i] | (chunk[2 * i + 1] << 8));
    }
    if (!IsWellFormedUtf16(units)) PropValueError();
    return units;
}

std::u16string FormBinaryReader::ReadUtf8Payload() {
    std::uint32_t length = ReadLength();
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < length) {
        std::size_t want = std::min<std::size_t>(sizeof chunk, length - bytes.size());
        Read(chunk, want);
        bytes.append(chunk, want);
    }
    std::u16string units;
    if (!Utf8ToUtf16(bytes, units)) PropValueError();
    return units;
}

std::string FormBinaryReader::ReadStr() {
    std::size_t length = Get();
    std::string text(length, '\0');
    Read(text.data(), length);
    return text;
}

std::string FormBinaryReader::ReadString() {
    ValueType type = ReadValue();
    if (type == ValueType::String) return ReadStr();
    if (type != ValueType::LString) PropValueError();
    // Grows with the bytes actually there, so a huge declared length of a cut file fails with a
    // read error instead of a huge allocation.
    std::uint32_t length = ReadLength();
    std::string text;
    char chunk[4096];
    while (text.size() < length) {
        std::size_t want = std::min<std::size_t>(sizeof chunk, length - text.size());
        Read(chunk, want);
        text.append(chunk, want);
    }
    return text;
}

Extended80 FormBinaryReader::ReadExtendedPayload() {
    Extended80 value;
    Read(reinterpret_cast<char*>(value.data()), value.size());
    return value;
}

}  // namespace lexorin::codec
