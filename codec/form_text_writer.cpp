#include "codec/form_text_writer.h"

#include <sstream>

#include "codec/form_binary_reader.h"
#include "codec/form_errors.h"
#include "codec/form_value_text.h"

namespace lexorin::codec {

namespace {

// Strings are cut into pieces of this many bytes (a "#" code counts as one).
constexpr std::uint64_t kPieceLength = 64;
// Binary data of this many bytes or more goes on lines of its own, this many bytes a line.
constexpr std::uint32_t kHexLineBytes = 32;

class BinaryToText {
  public:
    BinaryToText(std::istream& in, ByteSink& out, FormStreamCodes* codes)
        : reader_(in), out_(out), codes_(codes) {}

    void Convert() {
        reader_.ReadSignature();
        ConvertObject();
        out_.flush();
    }
    void ConvertResource() {
        reader_.ReadResHeader();
        Convert();
    }

  private:
    void Indent() {
        for (int i = 0; i < level_; ++i) out_.write("  ");
    }
    void NewLine() {
        out_.write("\r\n");
        Indent();
    }
    void Deeper() {
        if (++level_ > kMaxNesting) throw EReadError(messages::kNestingTooDeep);
    }

    void ConvertObject();
    void ConvertProperty();
    void ConvertValue();
    void ConvertList();
    void ConvertString(std::uint64_t length);
    void ConvertWideString(const std::u16string& units);
    void ConvertBinary();
    void ConvertSet();
    void ConvertCollection();

    FormBinaryReader reader_;
    BufferedOutput out_;
    FormStreamCodes* codes_;
    int level_ = 0;
};

void BinaryToText::ConvertObject() {
    FormBinaryReader::Prefix prefix = reader_.ReadPrefix();
    std::string class_name = reader_.ReadStr();
    std::string object_name = reader_.ReadStr();
    if (codes_) codes_->object_flags.push_back(prefix.flags);
    Indent();
    // With both flags set the text says "inherited", as Free Pascal writes it.
    out_.write((prefix.flags & kFlagInherited) ? "inherited "
               : (prefix.flags & kFlagInline)  ? "inline "
                                               : "object ");
    if (!object_name.empty()) {
        out_.write(object_name);
        out_.write(": ");
    }
    out_.write(class_name);
    if (prefix.flags & kFlagChildPos) {
        out_.write(" [");
        out_.write(std::to_string(prefix.position));
        out_.write("]");
    }
    out_.write("\r\n");
    Deeper();
    while (!reader_.EndOfList()) ConvertProperty();
    reader_.ReadListEnd();
    while (!reader_.EndOfList()) ConvertObject();
    reader_.ReadListEnd();
    --level_;
    Indent();
    out_.write("end\r\n");
}

void BinaryToText::ConvertProperty() {
    Indent();
    out_.write(reader_.ReadStr());
    out_.write(" = ");
    ConvertValue();
    out_.write("\r\n");
}

void BinaryToText::ConvertValue() {
    ValueType type = reader_.ReadValue();
    if (codes_) codes_->values.push_back(type);
    switch (type) {
        case ValueType::List:
            ConvertList();
            break;
        case ValueType::Int8:
        case ValueType::Int16:
        case ValueType::Int32:
            out_.write(std::to_string(reader_.ReadIntegerPayload(type)));
            break;
        case ValueType::Extended:
            out_.write(ExtendedToText(reader_.ReadExtendedPayload()));
            break;
        case ValueType::String:
            ConvertString(reader_.ReadByte());
            break;
        case ValueType::LString:
            ConvertString(reader_.ReadLength());
            break;
        case ValueType::Ident:
            out_.write(reader_.ReadStr());
            break;
        case ValueType::False:
            out_.write("False");
            break;
        case ValueType::True:
            out_.write("True");
            break;
        case ValueType::Nil:
            out_.write("nil");
            break;
        case ValueType::Binary:
            ConvertBinary();
            break;
        case ValueType::Set:
            ConvertSet();
            break;
        case ValueType::Collection:
            ConvertCollection();
            break;
        case ValueType::Int64:
            out_.write(std::to_string(static_cast<std::int64_t>(reader_.ReadUInt64())));
            break;
        // The suffix tells the text parser which code to write back.
        case ValueType::Single:
            out_.write(SingleToText(reader_.ReadUInt32()));
            out_.put('s');
            break;
        case ValueType::Currency:
            out_.write(CurrencyToText(static_cast<std::int64_t>(reader_.ReadUInt64())));
            out_.put('c');
            break;
        case ValueType::Date:
            out_.write(DoubleToText(reader_.ReadUInt64()));
            out_.put('d');
            break;
        case ValueType::WString:
        case ValueType::UString:
            ConvertWideString(reader_.ReadWidePayload());
            break;
        case ValueType::Utf8String:
            ConvertWideString(reader_.ReadUtf8Payload());
            break;
        default:
            // An end-of-list byte or an unknown code where a value belongs: the text would not
            // read back, and the rest of the stream cannot be trusted.
            FormBinaryReader::PropValueError();
    }
}

void BinaryToText::ConvertList() {
    out_.write("(");
    Deeper();
    while (!reader_.EndOfList()) {
        NewLine();
        ConvertValue();
    }
    reader_.ReadListEnd();
    --level_;
    out_.write(")");
}

// Quoted runs of printable bytes, "#" codes for control bytes and quotes, and pieces of at most
// 64 bytes joined by " +" line ends. Read byte by byte, so a long string is never held whole.
void BinaryToText::ConvertString(std::uint64_t length) {
    if (length == 0) {
        out_.write("''");
        return;
    }
    Deeper();
    if (length > kPieceLength) NewLine();
    std::uint64_t i = 1, line_start = 1;  // positions in the string, counted from 1
    auto printable = [](std::uint8_t c) { return c >= 32 && c != '\''; };
    while (i <= length) {
        std::uint8_t c = reader_.ReadByte();
        ++i;
        if (!printable(c)) {
            out_.put('#');
            out_.write(std::to_string(c));
        } else {
            out_.put('\'');
            out_.put(static_cast<char>(c));
            while (i <= length && i - line_start < kPieceLength && printable(reader_.PeekByte())) {
                out_.put(static_cast<char>(reader_.ReadByte()));
                ++i;
            }
            out_.put('\'');
        }
        if (i - line_start >= kPieceLength && i <= length) {
            out_.write(" +");
            NewLine();
            line_start = i;
        }
    }
    --level_;
}

// Free Pascal's layout for wide strings: printable ASCII in quoted runs with a quote doubled,
// every other UTF-16 unit as "#" and its number (a pair for a character beyond U+FFFF). Beyond
// that layout, and as for 8-bit strings, a string of more than 64 units is cut into pieces of
// at most 64 on lines ending in " +" (never inside a pair), so that no line grows with the
// string.
void BinaryToText::ConvertWideString(const std::u16string& units) {
    const std::size_t length = units.size();
    if (length == 0) {
        out_.write("''");
        return;
    }
    Deeper();
    if (length > kPieceLength) NewLine();
    auto printable = [](char16_t c) { return c >= 32 && c <= 126; };
    std::size_t i = 0, line_start = 0;
    while (i < length) {
        if (!printable(units[i])) {
            out_.put('#');
            out_.write(std::to_string(static_cast<unsigned>(units[i])));
            ++i;
        } else {
            out_.put('\'');
            while (i < length && i - line_start < kPieceLength && printable(units[i])) {
                if (units[i] == '\'') out_.put('\'');
                out_.put(static_cast<char>(units[i]));
                ++i;
            }
            out_.put('\'');
        }
        bool inside_pair = i < length && units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (i - line_start >= kPieceLength && i < length && !inside_pair) {
            out_.write(" +");
            NewLine();
            line_start = i;
        }
    }
    --level_;
}

void BinaryToText::ConvertBinary() {
    std::uint32_t count = reader_.ReadLength();
    bool multi_line = count >= kHexLineBytes;
    out_.write("{");
    Deeper();
    char chunk[kHexLineBytes];
    while (count > 0) {
        if (multi_line) NewLine();
        std::uint32_t take = std::min(count, kHexLineBytes);
        reader_.Read(chunk, take);
        out_.write(BytesToHex(std::string_view(chunk, take)));
        count -= take;
    }
    --level_;
    out_.write("}");
}

void BinaryToText::ConvertSet() {
    out_.write("[");
    bool first = true;
    for (;;) {
        std::string name = reader_.ReadStr();
        if (name.empty()) break;
        if (!first) out_.write(", ");
        out_.write(name);
        first = false;
    }
    out_.write("]");
}

void BinaryToText::ConvertCollection() {
    out_.write("<");
    Deeper();
    while (!reader_.EndOfList()) {
        NewLine();
        out_.write("item");
        ValueType next = reader_.NextValue();
        if (next == ValueType::Int8 || next == ValueType::Int16 || next == ValueType::Int32) {
            out_.write(" [");
            out_.write(std::to_string(reader_.ReadInteger()));
            out_.write("]");
        }
        reader_.ReadListBegin();
        out_.write("\r\n");
        Deeper();
        while (!reader_.EndOfList()) ConvertProperty();
        reader_.ReadListEnd();
        --level_;
        Indent();
        out_.write("end");
    }
    reader_.ReadListEnd();
    --level_;
    out_.write(">");
}

}  // namespace

void FormBinaryToText(std::istream& in, ByteSink& out, FormStreamCodes* codes) {
    BinaryToText(in, out, codes).Convert();
}

void FormResourceToText(std::istream& in, ByteSink& out, FormStreamCodes* codes) {
    BinaryToText converter(in, out, codes);
    // The header is read through the converter's own buffer, which then goes on with the stream.
    converter.ConvertResource();
}

std::string FormBinaryToText(std::string_view binary) {
    std::istringstream in{std::string(binary)};
    std::string text;
    StringSink sink(text);
    FormBinaryToText(in, sink);
    return text;
}

std::string FormResourceToText(std::string_view resource) {
    std::istringstream in{std::string(resource)};
    std::string text;
    StringSink sink(text);
    FormResourceToText(in, sink);
    return text;
}

std::string BytesToHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char byte : bytes) {
        auto b = static_cast<unsigned char>(byte);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

}  // namespace lexorin::codec
