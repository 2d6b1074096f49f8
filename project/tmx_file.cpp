#include "project/tmx_file.h"

#include <fstream>
#include <sstream>

#include "base/code_page.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"

namespace lexorin::project {

namespace {

// ---- writing ----

// Text for element content (`attribute`: for a quoted attribute value too).
std::string escaped(std::string_view text, bool attribute = false) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += attribute ? "&quot;" : "\"";
                break;
            default:
                if (byte < 0x20 && (c != '\n' || attribute) && c != '\t')
                    out += "&#" + std::to_string(byte) + ";";
                else
                    out += c;
        }
    }
    return out;
}

// ---- reading ----

// A parsed element: its attributes, its child elements and its character data.
struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;
    std::string text;
    int line = 0;

    const std::string* attribute(std::string_view key) const {
        for (const auto& [k, v] : attributes)
            if (k == key) return &v;
        return nullptr;
    }
};

class Parser {
  public:
    Parser(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    Element document() {
        if (starts(std::string_view("\xEF\xBB\xBF"))) pos_ += 3;
        if (starts(std::string_view("\xFE\xFF")) || starts(std::string_view("\xFF\xFE")))
            fail("the file is UTF-16; only UTF-8 TMX files are read");
        check_utf8();
        misc(true);
        if (at_end() || text_[pos_] != '<') fail("no root element");
        Element root = element();
        misc(false);
        if (!at_end()) fail("text after the root element </" + root.name + ">");
        return root;
    }

    [[noreturn]] void fail(const std::string& why, int line = 0) const {
        throw Error(name_ + ", line " + std::to_string(line ? line : line_) + ": " + why);
    }

  private:
    // The whole text must be UTF-8: a file in another encoding would give garbled strings.
    void check_utf8() const {
        int line = 1;
        for (size_t pos = 0; pos < text_.size();) {
            if (text_[pos] == '\n') ++line;
            if (static_cast<unsigned char>(text_[pos]) < 0x80) {
                ++pos;
                continue;
            }
            try {
                decode_utf8(text_, pos);
            } catch (const Error& e) {
                fail(std::string("the text is not UTF-8 (") + e.what() + ")", line);
            }
        }
    }

    bool at_end() const { return pos_ >= text_.size(); }
    bool starts(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

    void advance(size_t n) {
        for (size_t i = 0; i < n && pos_ < text_.size(); ++i)
            if (text_[pos_++] == '\n') ++line_;
    }

    void skip_blanks() {
        while (!at_end() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                             text_[pos_] == '\n'))
            advance(1);
    }

    // Advances past `end`, which must come.
    void skip_past(std::string_view end, const std::string& what) {
        const int start = line_;
        const size_t found = text_.find(end, pos_);
        if (found == std::string_view::npos) fail(what + " is not closed", start);
        advance(found + end.size() - pos_);
    }

    // Comments, processing instructions, the XML declaration and (before the root) a DOCTYPE.
    void misc(bool prolog) {
        for (;;) {
            skip_blanks();
            if (starts("<?xml ") || starts("<?xml?")) {
                declaration();
            } else if (starts("<?")) {
                skip_past("?>", "a processing instruction");
            } else if (starts("<!--")) {
                skip_past("-->", "a comment");
            } else if (prolog && starts("<!DOCTYPE")) {
                doctype();
            } else {
                return;
            }
        }
    }

    void declaration() {
        const size_t start = pos_;
        skip_past("?>", "the XML declaration");
        const std::string head(text_.substr(start, pos_ - start));
        const size_t at = head.find("encoding");
        if (at == std::string::npos) return;
        const size_t quote = head.find_first_of("\"'", at);
        if (quote == std::string::npos) fail("the XML declaration is malformed");
        const size_t close = head.find(head[quote], quote + 1);
        if (close == std::string::npos) fail("the XML declaration is malformed");
        const std::string encoding = upper_case(head.substr(quote + 1, close - quote - 1));
        if (encoding != "UTF-8" && encoding != "UTF8")
            fail("the file is encoded in " + head.substr(quote + 1, close - quote - 1) +
                 "; only UTF-8 TMX files are read");
    }

    void doctype() {
        const int start = line_;
        int depth = 0;
        while (!at_end()) {
            const char c = text_[pos_];
            advance(1);
            if (c == '[') ++depth;
            if (c == ']') --depth;
            if (c == '>' && depth <= 0) return;
        }
        fail("the DOCTYPE is not closed", start);
    }

    static bool name_char(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
               c == ':' || static_cast<unsigned char>(c) >= 0x80;
    }

    std::string name() {
        const size_t start = pos_;
        while (!at_end() && name_char(text_[pos_])) advance(1);
        if (pos_ == start)
            fail("a name is missing after '" + std::string(1, text_[pos_ - 1]) + "'");
        return std::string(text_.substr(start, pos_ - start));
    }

    // One entity or character reference at '&', appended to `out`.
    void reference(std::string& out) {
        const size_t end = text_.find(';', pos_);
        if (end == std::string_view::npos || end - pos_ > 12)
            fail("a '&' that starts no entity (write &amp;)");
        const std::string_view ref = text_.substr(pos_ + 1, end - pos_ - 1);
        if (ref == "lt")
            out += '<';
        else if (ref == "gt")
            out += '>';
        else if (ref == "amp")
            out += '&';
        else if (ref == "quot")
            out += '"';
        else if (ref == "apos")
            out += '\'';
        else if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            const std::string digits(ref.substr(hex ? 2 : 1));
            const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
            if (digits.empty() || digits.size() > 7 ||
                digits.find_first_not_of(allowed) != std::string::npos)
                fail("the character reference &" + std::string(ref) + "; is malformed");
            const unsigned long code = std::stoul(digits, nullptr, hex ? 16 : 10);
            if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                fail("the character reference &" + std::string(ref) + "; names no character");
            append_utf8(out, static_cast<char32_t>(code));
        } else {
            fail("the entity &" + std::string(ref) + "; is not one of XML's own");
        }
        advance(end + 1 - pos_);
    }

    // Character data up to the next '<', line ends normalized to LF as XML has them.
    void character_data(std::string& out) {
        while (!at_end() && text_[pos_] != '<') {
            const char c = text_[pos_];
            if (c == '&') {
                reference(out);
            } else if (c == '\r') {
                out += '\n';
                advance(starts("\r\n") ? 2 : 1);
            } else {
                out += c;
                advance(1);
            }
        }
    }

    std::string attribute_value() {
        if (at_end() || (text_[pos_] != '"' && text_[pos_] != '\''))
            fail("an attribute value is not quoted");
        const char quote = text_[pos_];
        const int start = line_;
        advance(1);
        std::string value;
        while (!at_end() && text_[pos_] != quote) {
            const char c = text_[pos_];
            if (c == '<') fail("a '<' in an attribute value");
            if (c == '&') {
                reference(value);
                continue;
            }
            value += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
            advance(1);
        }
        if (at_end()) fail("an attribute value is not closed", start);
        advance(1);
        return value;
    }

    Element element() {
        Element e;
        e.line = line_;
        advance(1);  // '<'
        e.name = name();
        for (;;) {
            const bool blank = !at_end() && std::isspace(static_cast<unsigned char>(text_[pos_]));
            skip_blanks();
            if (at_end()) fail("the tag <" + e.name + "> is not closed", e.line);
            if (starts("/>")) {
                advance(2);
                return e;
            }
            if (text_[pos_] == '>') {
                advance(1);
                break;
            }
            if (!blank) fail("the attributes of <" + e.name + "> are not separated by blanks");
            std::string key = name();
            skip_blanks();
            if (at_end() || text_[pos_] != '=') fail("the attribute " + key + " has no value");
            advance(1);
            skip_blanks();
            for (const auto& [k, v] : e.attributes)
                if (k == key) fail("the attribute " + key + " is given twice");
            e.attributes.emplace_back(std::move(key), attribute_value());
        }
        for (;;) {
            character_data(e.text);
            if (at_end()) fail("the element <" + e.name + "> is not closed", e.line);
            if (starts("</")) {
                advance(2);
                const std::string closing = name();
                skip_blanks();
                if (at_end() || text_[pos_] != '>')
                    fail("the end tag </" + closing + "> is malformed");
                advance(1);
                if (closing != e.name)
                    fail("</" + closing + "> closes <" + e.name + ">, opened on line " +
                         std::to_string(e.line));
                return e;
            }
            if (starts("<![CDATA["))
                fail("CDATA sections are not supported; write the text escaped");
            if (starts("<!--")) {
                skip_past("-->", "a comment");
            } else if (starts("<?")) {
                skip_past("?>", "a processing instruction");
            } else if (starts("<!")) {
                fail("a declaration inside an element");
            } else {
                e.children.push_back(element());
            }
        }
    }

    std::string_view text_;
    const std::string& name_;
    size_t pos_ = 0;
    int line_ = 1;
};

bool blank_text(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

TmxUnit unit_of(const Element& tu, const Parser& parser) {
    TmxUnit unit;
    if (const auto* changed = tu.attribute("changedate"))
        unit.changed = *changed;
    else if (const auto* created = tu.attribute("creationdate"))
        unit.changed = *created;
    for (const Element& child : tu.children) {
        if (child.name == "prop") {
            const auto* type = child.attribute("type");
            if (!type) parser.fail("a <prop> without its type", child.line);
            unit.props.emplace_back(*type, child.text);
        } else if (child.name == "tuv") {
            const auto* language = child.attribute("xml:lang");
            if (!language) language = child.attribute("lang");  // TMX 1.1 and 1.2
            if (!language || trim(*language).empty())
                parser.fail("a <tuv> without its xml:lang", child.line);
            const Element* seg = nullptr;
            for (const Element& part : child.children)
                if (part.name == "seg") {
                    if (seg) parser.fail("a <tuv> with two <seg>s", part.line);
                    seg = &part;
                }
            if (!seg) parser.fail("a <tuv> without its <seg>", child.line);
            if (!seg->children.empty() && unit.skipped.empty())
                unit.skipped = "line " + std::to_string(seg->line) + ": the <seg> holds <" +
                               seg->children.front().name + ">, markup Lexorin does not keep";
            unit.variants.push_back({*language, seg->text});
        } else if (child.name != "note") {
            parser.fail("a <" + child.name + "> inside a <tu>", child.line);
        }
    }
    return unit;
}

}  // namespace

std::string TmxText(const TmxDocument& document, const std::string& tool_version) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\">\n"
        "  <header creationtool=\"Lexorin\" creationtoolversion=\"" +
        escaped(tool_version, true) +
        "\" datatype=\"plaintext\" segtype=\"sentence\" adminlang=\"en\" srclang=\"" +
        escaped(document.source_language, true) + "\" o-tmf=\"Lexorin\"/>\n  <body>\n";
    for (const TmxUnit& unit : document.units) {
        out += "    <tu";
        if (!unit.changed.empty()) out += " changedate=\"" + escaped(unit.changed, true) + "\"";
        out += ">\n";
        for (const auto& [type, value] : unit.props)
            out +=
                "      <prop type=\"" + escaped(type, true) + "\">" + escaped(value) + "</prop>\n";
        for (const TmxVariant& variant : unit.variants)
            out += "      <tuv xml:lang=\"" + escaped(variant.language, true) + "\"><seg>" +
                   escaped(variant.text) + "</seg></tuv>\n";
        out += "    </tu>\n";
    }
    return out + "  </body>\n</tmx>\n";
}

void WriteTmx(const std::string& path, const TmxDocument& document,
              const std::string& tool_version) {
    write_file_atomically(path, TmxText(document, tool_version));
}

TmxDocument ParseTmx(std::string_view text, const std::string& name) {
    Parser parser(text, name);
    const Element root = parser.document();
    if (root.name != "tmx")
        parser.fail("the root element is <" + root.name + ">, not <tmx>", root.line);
    TmxDocument document;
    const Element* header = nullptr;
    const Element* body = nullptr;
    for (const Element& child : root.children) {
        if (child.name == "header" && !header)
            header = &child;
        else if (child.name == "body" && !body)
            body = &child;
        else
            parser.fail("an unexpected <" + child.name + "> in <tmx>", child.line);
    }
    if (!header) parser.fail("the <tmx> has no <header>", root.line);
    if (!body) parser.fail("the <tmx> has no <body>", root.line);
    if (!blank_text(root.text)) parser.fail("text outside the header and body", root.line);
    if (const auto* source = header->attribute("srclang"); source && *source != "*all*")
        document.source_language = trim(*source);
    for (const Element& tu : body->children) {
        if (tu.name != "tu") parser.fail("a <" + tu.name + "> in the <body>, not a <tu>", tu.line);
        document.units.push_back(unit_of(tu, parser));
    }
    // Text inside <body>, <tu> and <tuv> is only layout.
    if (!blank_text(body->text)) parser.fail("text between the <tu> elements", body->line);
    return document;
}

TmxDocument ReadTmx(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("The TMX file " + path + " cannot be read.");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw Error("The TMX file " + path + " cannot be read.");
    return ParseTmx(bytes.str(), "The TMX file " + path);
}

}  // namespace lexorin::project
