#include "store/filter_expression.h"

#include "base/errors.h"
#include "base/text_utils.h"

namespace lexorin::store {

namespace {

class FilterParser {
  public:
    FilterParser(const std::string& text, const TableSchema& schema)
        : text_(text), schema_(schema) {}

    std::vector<Comparison> parse() {
        std::vector<Comparison> result;
        skip_blanks();
        if (at_end()) return result;
        for (;;) {
            result.push_back(comparison());
            skip_blanks();
            if (at_end()) break;
            if (!take_word("and")) fail("\"and\" expected");
        }
        return result;
    }

  private:
    bool at_end() const { return pos_ >= text_.size(); }
    void skip_blanks() {
        while (!at_end() && static_cast<unsigned char>(text_[pos_]) <= 32) ++pos_;
    }
    [[noreturn]] void fail(const std::string& why) const {
        throw StoreError("Invalid filter expression '" + text_ + "': " + why);
    }

    bool take_word(const char* word) {
        std::string_view w(word);
        if (!equal_no_case(std::string_view(text_).substr(pos_, w.size()), w)) return false;
        size_t after = pos_ + w.size();
        if (after < text_.size() && static_cast<unsigned char>(text_[after]) > 32) return false;
        pos_ = after;
        return true;
    }

    static bool is_operator_char(char c) { return c == '=' || c == '<' || c == '>'; }

    Comparison comparison() {
        Comparison c;
        size_t start = pos_;
        while (!at_end() && !is_operator_char(text_[pos_])) ++pos_;
        std::string name = trim(std::string_view(text_).substr(start, pos_ - start));
        if (name.empty()) fail("field name expected");
        for (size_t i = 0; i < schema_.fields.size(); ++i)
            if (equal_no_case(schema_.fields[i].name, name)) c.field = static_cast<int>(i);
        if (c.field < 0) fail("unknown field " + name);

        start = pos_;
        while (!at_end() && is_operator_char(text_[pos_])) ++pos_;
        c.op = text_.substr(start, pos_ - start);
        if (c.op != "=" && c.op != "<>" && c.op != "<" && c.op != ">" && c.op != "<=" &&
            c.op != ">=")
            fail("unknown operator " + c.op);

        skip_blanks();
        if (!at_end() && text_[pos_] == '\'') {
            c.text = true;
            ++pos_;
            for (;;) {
                if (at_end()) fail("unterminated text");
                char ch = text_[pos_++];
                if (ch == '\'') {
                    if (!at_end() && text_[pos_] == '\'') {
                        c.value += '\'';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                c.value += ch;
            }
        } else {
            start = pos_;
            while (!at_end() && static_cast<unsigned char>(text_[pos_]) > 32) ++pos_;
            c.value = text_.substr(start, pos_ - start);
        }
        return c;
    }

    const std::string& text_;
    const TableSchema& schema_;
    size_t pos_ = 0;
};

}  // namespace

std::vector<Comparison> parse_filter(const std::string& expression, const TableSchema& schema) {
    return FilterParser(expression, schema).parse();
}

}  // namespace lexorin::store
