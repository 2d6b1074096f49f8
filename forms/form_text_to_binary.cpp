#include "forms/form_text_to_binary.h"

#include <optional>
#include <sstream>

#include "forms/form_binary_writer.h"
#include "forms/form_errors.h"
#include "forms/form_parser.h"
#include "forms/form_value_text.h"
#include "forms/resource_header.h"

namespace lexorin::forms {

namespace {

class TextToBinary {
  public:
    TextToBinary(std::istream& in, ByteSink& out, const FormStreamCodes* codes)
        : parser_(in), writer_(out), codes_(codes) {}

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

    TParser parser_;
    TWriter writer_;
    const FormStreamCodes* codes_;
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
    if (parser_.Token() != TParser::Kind::Integer) parser_.Error(messages::kNumberExpected);
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
        case TParser::Kind::Symbol:
            writer_.WriteIdent(DottedName());
            return;
        case TParser::Kind::String:
            ConvertString(recorded);
            return;
        case TParser::Kind::Integer:
            if (recorded == ValueType::Int64)
                writer_.WriteInt64(parser_.TokenInt64());
            else
                writer_.WriteInteger64(parser_.TokenInt64());
            parser_.NextToken();
            return;
        case TParser::Kind::Float:
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

// An 8-bit string as code 6 or 12; one with a character above U+00FF as code 18. A string that
// was wide or UTF-8 in the binary form goes back into that code.
void TextToBinary::ConvertString(std::optional<ValueType> recorded) {
    const int line = parser_.SourceLine();
    std::string text;
    std::u16string units;
    bool wide = false;
    for (bool first = true;; first = false) {
        if (!first) {
            parser_.NextToken();
            if (parser_.Token() != TParser::Kind::String) parser_.Error(messages::kStringExpected);
        }
        if (parser_.TokenWide() && !wide) {
            wide = true;
            for (char byte : text) units += static_cast<unsigned char>(byte);
        }
        if (wide && parser_.TokenWide()) {
            units += parser_.TokenWideString();
        } else if (wide) {
            for (char byte : parser_.TokenString()) units += static_cast<unsigned char>(byte);
        } else {
            text += parser_.TokenString();
        }
        parser_.NextToken();
        if (!parser_.TokenIs('+')) break;
    }
    bool recorded_wide = recorded && IsStringCode(*recorded) && *recorded != ValueType::String &&
                         *recorded != ValueType::LString;
    if (!wide && !recorded_wide) return writer_.WriteString(text);
    if (!wide)
        for (char byte : text) units += static_cast<unsigned char>(byte);
    // A surrogate half without its partner, checked on the whole string since a pair may be cut
    // into two pieces; the failure names the line where the string starts.
    if (!IsWellFormedUtf16(units)) parser_.Error(messages::kInvalidString, line);
    if (recorded == ValueType::Utf8String)
        writer_.WriteUtf8String(units);
    else
        writer_.WriteWideString(
            units, recorded == ValueType::UString ? ValueType::UString : ValueType::WString);
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

}  // namespace lexorin::forms
