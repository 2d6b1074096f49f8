#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "codec/byte_streams.h"
#include "codec/extended80.h"
#include "codec/form_stream_format.h"

namespace lexorin::codec {

// Reads the pieces of a binary form stream through a 4096-byte buffer. Every read past the end
// raises EReadError "Stream-Read-Fehler"; a value of the wrong kind raises EReadError
// "Ungültiger Wert der Eigenschaft". Like the run-time's reader it hands back what it read
// ahead when it goes: the stream then stands right after the last byte it took, after a
// failure too, so that the caller can tell where reading stopped.
class FormBinaryReader {
  public:
    explicit FormBinaryReader(std::istream& in);
    ~FormBinaryReader();
    FormBinaryReader(const FormBinaryReader&) = delete;
    FormBinaryReader& operator=(const FormBinaryReader&) = delete;

    // The 16-bit resource header: 0xFF, type word 10, the upper-cased class name ended by a 0
    // byte, flags word, size dword. Only the first byte and the type are checked (EInvalidImage
    // "Ungültiges Stream-Format"); at most 79 bytes are searched for the name's end.
    void ReadResHeader();
    // The four bytes "TPF0", else EReadError "Ungültiges Stream-Format".
    void ReadSignature();

    struct Prefix {
        std::uint8_t flags = 0;
        std::int32_t position = 0;  // meaningful with kFlagChildPos
    };
    Prefix ReadPrefix();

    ValueType NextValue() { return static_cast<ValueType>(in_.peek()); }
    ValueType ReadValue() { return static_cast<ValueType>(Get()); }
    bool EndOfList() { return NextValue() == ValueType::Null; }
    void ReadListBegin() { CheckValue(ValueType::List); }
    void ReadListEnd() { CheckValue(ValueType::Null); }

    std::int32_t ReadInteger();
    // Codes 6 and 12.
    std::string ReadString();

    // Payloads once the type code is known.
    std::string ReadStr();  // short string: length byte + bytes
    std::int32_t ReadIntegerPayload(ValueType type);
    Extended80 ReadExtendedPayload();
    std::uint32_t ReadLength();  // the 4-byte length of binary data and long strings
    std::uint32_t ReadUInt32() { return ReadLength(); }
    std::uint64_t ReadUInt64();  // the 8 bytes of codes 16, 17 and 19
    // The payload of codes 18 and 21 (count of units, units) and of code 20 (length, UTF-8)
    // as UTF-16. A surrogate half without its partner, or code 20 bytes that are no UTF-8, fail
    // with "Ungültiger Wert der Eigenschaft".
    std::u16string ReadWidePayload();
    std::u16string ReadUtf8Payload();
    std::uint8_t ReadByte() { return Get(); }
    std::uint8_t PeekByte() { return in_.peek(); }
    std::size_t ReadSome(char* dest, std::size_t count);
    void Read(char* dest, std::size_t count);

    [[noreturn]] static void PropValueError();

  private:
    void CheckValue(ValueType expected);
    // Every byte taken from in_ goes through these, so that consumed_ counts it.
    std::uint8_t Get();
    void Skip(std::size_t count);

    std::istream& stream_;
    std::istream::pos_type start_;  // -1 for a stream that cannot tell its position
    std::uint64_t consumed_ = 0;    // bytes taken; a failed read takes none
    BufferedInput in_;
};

}  // namespace lexorin::codec
