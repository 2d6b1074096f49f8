#include "codec/form_text_to_binary.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <vector>

#include "codec/form_binary_writer.h"
#include "codec/form_errors.h"
#include "codec/form_parser.h"
#include "codec/form_value_text.h"
#include "codec/resource_header.h"

namespace lexorin::codec {

namespace {

class TextToBinary {
  public:
    TextToBinary(std::istream& in, ByteSink& out, const FormStreamCodes* codes,
                 const std::vector<std::size_t>* translated_lines = nullptr)
        : parser_(in), writer_(out), codes_(codes), translated_lines_(translated_lines) {}

    // Gives the root object's class name, which the resource header needs.
    std::string Convert() {
        writer_.WriteSignature();
        ConvertObject();
        writer_.Flush();
        return root_class_;
    }

  private:
    // Counts the nesting of objects, lists and collections for the time of one call.
    class Nested {
      public:
        explicit Nested(TextToBinary& owner) : owner_(owner) {
            if (++owner_.depth_ > kMaxNesting) owner_.parser_.Error(messages::kNestingTooDeep);
        }
        ~Nested() { --owner_.depth_; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

      private:
        TextToBinary& owner_;
    };

    bool AtObjectStart() const {
        return parser_.TokenSymbolIs("OBJECT") || parser_.TokenSymbolIs("INHERITED") ||
               parser_.TokenSymbolIs("INLINE");
    }
    // Whether the current token stands on a line the translated form writer wrote.
    bool OnTranslatedLine() const {
        if (!translated_lines_) return false;
        const auto line = static_cast<std::size_t>(parser_.SourceLine() - 1);
        return std::binary_search(translated_lines_->begin(), translated_lines_->end(), line);
    }
    // The code the value at this place had in the binary form, if recorded.
    std::optional<ValueType> RecordedCode() {
        if (!codes_ || next_value_ >= codes_->values.size()) {
            ++next_value_;
            return std::nullopt;
        }
        return codes_->values[next_value_++];
    }
    void ConvertFloat();
    std::string DottedName();
    std::int32_t Order();
    void ConvertObject();
    void ConvertProperty();
    void ConvertValue();
    void ConvertString(std::optional<ValueType> recorded);
    void ConvertList();
    void ConvertSet();
    void ConvertBinary();
    void ConvertCollection();

    FormParser parser_;
    FormBinaryWriter writer_;
    const FormStreamCodes* codes_;
    const std::vector<std::size_t>* translated_lines_;
    std::size_t next_object_ = 0;
    std::size_t next_value_ = 0;
    int depth_ = 0;
    std::string root_class_;
};

// A symbol and any ".symbol" parts after it, joined with ".".
std::string TextToBinary::DottedName() {
    parser_.CheckSymbol();
    std::string name = parser_.TokenString();
    parser_.NextToken();
    while (parser_.TokenIs('.')) {
        parser_.NextToken();
        parser_.CheckSymbol();
        name += '.';
        name += parser_.TokenString();
        parser_.NextToken();
    }
    return name;
}

// "[" integer "]", with the current token "[".
std::int32_t TextToBinary::Order() {
    parser_.NextToken();
    if (parser_.Token() != FormParser::Kind::Integer) parser_.Error(messages::kNumberExpected);
    std::int32_t order = parser_.TokenInt();
    parser_.NextToken();
    parser_.CheckToken(']');
    parser_.NextToken();
    return order;
}

void TextToBinary::ConvertObject() {
    Nested nested(*this);
    if (!AtObjectStart()) parser_.Error(FormatMessage(messages::kSymbolExpected, "OBJECT"));
    std::uint8_t flags = parser_.TokenSymbolIs("INHERITED") ? kFlagInherited
                         : parser_.TokenSymbolIs("INLINE")  ? kFlagInline
                                                            : 0;
    // "inherited" stands for an inherited frame too; the recorded flags tell.
    if (codes_ && next_object_ < codes_->object_flags.size() && (flags & kFlagInherited))
        flags |= codes_->object_flags[next_object_] & kFlagInline;
    ++next_object_;
    parser_.NextToken();
    parser_.CheckSymbol();
    std::string class_name = parser_.TokenString(), object_name;
    parser_.NextToken();
    if (parser_.TokenIs(':')) {
        parser_.NextToken();
        parser_.CheckSymbol();
        object_name = std::move(class_name);
        class_name = parser_.TokenString();
        parser_.NextToken();
    }
    std::int32_t position = 0;
    if (parser_.TokenIs('[')) {
        position = Order();
        // "[0]" is the default position and leaves no trace in the stream.
        if (position > 0) flags |= kFlagChildPos;
    }
    if (depth_ == 1) root_class_ = class_name;
    writer_.WritePrefix(flags, position);
    writer_.WriteStr(class_name);
    writer_.WriteStr(object_name);
    while (!parser_.TokenSymbolIs("END") && !AtObjectStart()) ConvertProperty();
    writer_.WriteListEnd();
    while (!parser_.TokenSymbolIs("END")) ConvertObject();
    writer_.WriteListEnd();
    parser_.NextToken();
}

void TextToBinary::ConvertProperty() {
    writer_.WriteStr(DottedName());
    parser_.CheckToken('=');
    parser_.NextToken();
    ConvertValue();
}

void TextToBinary::ConvertValue() {
    std::optional<ValueType> recorded = RecordedCode();
    switch (parser_.Token()) {
        case FormParser::Kind::Symbol:
            writer_.WriteIdent(DottedName());
            return;
        case FormParser::Kind::String:
            ConvertString(recorded);
            return;
        case FormParser::Kind::Integer:
            if (recorded == ValueType::Int64)
                writer_.WriteInt64(parser_.TokenInt64());
            else
                writer_.WriteInteger64(parser_.TokenInt64());
            parser_.NextToken();
            return;
        case FormParser::Kind::Float:
            ConvertFloat();
            parser_.NextToken();
            return;
        default:
            break;
    }
    if (parser_.TokenIs('(')) {
        ConvertList();
    } else if (parser_.TokenIs('[')) {
        ConvertSet();
    } else if (parser_.TokenIs('{')) {
        ConvertBinary();
    } else if (parser_.TokenIs('<')) {
        ConvertCollection();
    } else {
        parser_.Error(messages::kInvalidPropertyValue);
    }
}

void TextToBinary::ConvertFloat() {
    const std::string& text = parser_.TokenString();
    switch (parser_.FloatType()) {
        case 's':
            if (auto bits = TextToSingle(text)) return writer_.WriteSingle(*bits);
            break;
        case 'c':
            if (auto value = TextToCurrency(text)) return writer_.WriteCurrency(*value);
            break;
        case 'd':
            if (auto bits = TextToDouble(text)) return writer_.WriteDate(*bits);
            break;
        default:
            return writer_.WriteFloat(parser_.TokenFloat());
    }
    parser_.Error(FormatMessage(messages::kInvalidFloat, text));
}

// One piece of a string: a quoted run or "#" codes, or several of them written together.
struct StringPiece {
    bool translated = false;  // written by the translated form writer: characters, not bytes
    bool wide = false;        // holds a code above 255; then `units` holds it
    std::string bytes;
    std::u16string units;

    // The piece as UTF-16: quoted bytes and "#" codes up to 255 stand for U+0000-U+00FF.
    std::u16string Units() const {
        if (wide) return units;
        std::u16string widened;
        for (char byte : bytes) widened += static_cast<unsigned char>(byte);
        return widened;
    }
};

// An 8-bit string as code 6 or 12; one with a character above U+00FF as code 18. A string that
// was wide or UTF-8 in the binary form goes back into that code. A translation (a piece on a
// translated line) goes into an 8-bit string as UTF-8 bytes, which a program on a UTF-8 system
// prints as they are; the untranslated pieces keep their bytes.
void TextToBinary::ConvertString(std::optional<ValueType> recorded) {
    const int line = parser_.SourceLine();
    std::vector<StringPiece> pieces;
    for (bool first = true;; first = false) {
        if (!first) {
            parser_.NextToken();
            if (parser_.Token() != FormParser::Kind::String)
                parser_.Error(messages::kStringExpected);
        }
        StringPiece piece;
        piece.translated = OnTranslatedLine();
        piece.wide = parser_.TokenWide();
        if (piece.wide)
            piece.units = parser_.TokenWideString();
        else
            piece.bytes = parser_.TokenString();
        pieces.push_back(std::move(piece));
        parser_.NextToken();
        if (!parser_.TokenIs('+')) break;
    }
    const bool recorded_wide = recorded && IsStringCode(*recorded) &&
                               *recorded != ValueType::String && *recorded != ValueType::LString;
    const bool translated = std::any_of(pieces.begin(), pieces.end(),
                                        [](const StringPiece& p) { return p.translated; });
    const bool wide =
        std::any_of(pieces.begin(), pieces.end(), [](const StringPiece& p) { return p.wide; });
    // A surrogate half without its partner is checked on the whole string, since a pair may be
    // cut into two pieces; the failure names the line where the string starts.
    auto whole_units = [&] {
        std::u16string units;
        for (const StringPiece& piece : pieces) units += piece.Units();
        if (!IsWellFormedUtf16(units)) parser_.Error(messages::kInvalidString, line);
        return units;
    };
    if (recorded_wide || (wide && !translated)) {
        const std::u16string units = whole_units();
        if (recorded == ValueType::Utf8String)
            writer_.WriteUtf8String(units);
        else
            writer_.WriteWideString(
                units, recorded == ValueType::UString ? ValueType::UString : ValueType::WString);
        return;
    }
    if (translated) whole_units();
    // Runs of pieces that are characters become UTF-8 together, so that a surrogate pair cut
    // into two pieces stays one character.
    std::string text;
    std::u16string run;
    for (const StringPiece& piece : pieces) {
        if (piece.translated || piece.wide) {
            run += piece.Units();
            continue;
        }
        Utf16ToUtf8(run, text);
        run.clear();
        text += piece.bytes;
    }
    Utf16ToUtf8(run, text);
    writer_.WriteString(text);
}

void TextToBinary::ConvertList() {
    Nested nested(*this);
    parser_.NextToken();
    writer_.WriteListBegin();
    while (!parser_.TokenIs(')')) ConvertValue();
    writer_.WriteListEnd();
    parser_.NextToken();
}

void TextToBinary::ConvertSet() {
    parser_.NextToken();
    writer_.WriteValue(ValueType::Set);
    if (!parser_.TokenIs(']')) {
        for (;;) {
            parser_.CheckSymbol();
            writer_.WriteStr(parser_.TokenString());
            parser_.NextToken();
            if (parser_.TokenIs(']')) break;
            parser_.CheckToken(',');
            parser_.NextToken();
        }
    }
    writer_.WriteStr("");
    parser_.NextToken();
}

void TextToBinary::ConvertBinary() {
    std::string data;
    parser_.HexToBinary(data);
    writer_.WriteBinary(data);
    parser_.CheckToken('}');
    parser_.NextToken();
}

void TextToBinary::ConvertCollection() {
    Nested nested(*this);
    parser_.NextToken();
    writer_.WriteValue(ValueType::Collection);
    while (!parser_.TokenIs('>')) {
        parser_.CheckTokenSymbol("item");
        parser_.NextToken();
        if (parser_.TokenIs('[')) {
            std::int32_t order = Order();
            if (order != -1) writer_.WriteInteger(order);
        }
        writer_.WriteListBegin();
        while (!parser_.TokenSymbolIs("END")) ConvertProperty();
        writer_.WriteListEnd();
        parser_.NextToken();
    }
    writer_.WriteListEnd();
    parser_.NextToken();
}

}  // namespace

void FormTextToBinary(std::istream& in, ByteSink& out, const FormStreamCodes* codes) {
    TextToBinary(in, out, codes).Convert();
}

void FormTextToResource(std::istream& in, ByteSink& out, const FormStreamCodes* codes) {
    std::string stream;
    StringSink buffer(stream);
    std::string class_name = TextToBinary(in, buffer, codes).Convert();
    out.write(MakeResourceHeader(class_name, static_cast<std::uint32_t>(stream.size())));
    out.write(stream);
}

FormObjectStream TranslatedTextToBinary(std::string_view text, const FormStreamCodes& codes,
                                        const std::vector<std::size_t>& translated_lines) {
    std::istringstream in{std::string(text)};
    FormObjectStream stream;
    StringSink sink(stream.bytes);
    stream.root_class = TextToBinary(in, sink, &codes, &translated_lines).Convert();
    return stream;
}

std::string FormTextToBinary(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string binary;
    StringSink sink(binary);
    FormTextToBinary(in, sink);
    return binary;
}

std::string FormTextToResource(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string resource;
    StringSink sink(resource);
    FormTextToResource(in, sink);
    return resource;
}

}  // namespace lexorin::codec
