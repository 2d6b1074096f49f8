#include "forms/form_text_to_binary.h"

#include <sstream>

#include "forms/form_binary_writer.h"
#include "forms/form_errors.h"
#include "forms/form_parser.h"
#include "forms/resource_header.h"

namespace lexorin::forms {

namespace {

class TextToBinary {
  public:
    TextToBinary(std::istream& in, ByteSink& out) : parser_(in), writer_(out) {}

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
        return parser_.TokenSymbolIs("OBJECT") || parser_.TokenSymbolIs("INHERITED");
    }
    std::string DottedName();
    std::int32_t Order();
    void ConvertObject();
    void ConvertProperty();
    void ConvertValue();
    void ConvertString();
    void ConvertList();
    void ConvertSet();
    void ConvertBinary();
    void ConvertCollection();

    TParser parser_;
    TWriter writer_;
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
    std::uint8_t flags = parser_.TokenSymbolIs("INHERITED") ? kFlagInherited : 0;
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
    switch (parser_.Token()) {
        case TParser::Kind::Symbol:
            writer_.WriteIdent(DottedName());
            return;
        case TParser::Kind::String:
            ConvertString();
            return;
        case TParser::Kind::Integer:
            writer_.WriteInteger(parser_.TokenInt());
            parser_.NextToken();
            return;
        case TParser::Kind::Float:
            writer_.WriteFloat(parser_.TokenFloat());
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

void TextToBinary::ConvertString() {
    std::string text = parser_.TokenString();
    parser_.NextToken();
    while (parser_.TokenIs('+')) {
        parser_.NextToken();
        if (parser_.Token() != TParser::Kind::String) parser_.Error(messages::kStringExpected);
        text += parser_.TokenString();
        parser_.NextToken();
    }
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

void FormTextToBinary(std::istream& in, ByteSink& out) {
    TextToBinary(in, out).Convert();
}

void FormTextToResource(std::istream& in, ByteSink& out) {
    std::string stream;
    StringSink buffer(stream);
    std::string class_name = TextToBinary(in, buffer).Convert();
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
