#include "code/pascal_tokens.h"

namespace lexorin::code {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsIdentifierChar(char c) {
    return IsLetter(c) || IsDigit(c);
}

// The two-character symbols := .. <= >= <> += -= *= /=.
bool IsSymbolPair(char c, char next) {
    switch (c) {
        case ':':
        case '>':
        case '+':
        case '-':
        case '*':
        case '/':
            return next == '=';
        case '<':
            return next == '=' || next == '>';
        case '.':
            return next == '.';
        default:
            return false;
    }
}

// A template, so that the test is inlined into the loop that every identifier goes through.
template <typename Test>
size_t SkipWhile(std::string_view text, size_t i, Test test) {
    while (i < text.size() && test(text[i])) ++i;
    return i;
}

}  // namespace

bool NextToken(std::string_view piece, size_t& pos, PascalToken& token) {
    size_t i = pos;
    while (i < piece.size() && static_cast<unsigned char>(piece[i]) <= 32) ++i;
    if (i >= piece.size()) {
        pos = i;
        return false;
    }
    token = {PascalToken::Kind::Symbol, i, i + 1};
    const char c = piece[i];
    const char next = i + 1 < piece.size() ? piece[i + 1] : '\0';
    if (c == '\'') {
        // A doubled apostrophe stands for one and belongs to the literal.
        token.kind = PascalToken::Kind::Literal;
        size_t j = i + 1;
        token.terminated = false;
        while (j < piece.size()) {
            if (piece[j] != '\'') {
                ++j;
            } else if (j + 1 < piece.size() && piece[j + 1] == '\'') {
                j += 2;
            } else {
                ++j;
                token.terminated = true;
                break;
            }
        }
        token.end = j;
    } else if (c == '/' && next == '/') {
        token.kind = PascalToken::Kind::Comment;
        token.end = piece.size();
    } else if (IsLetter(c) || (c == '&' && IsLetter(next))) {
        token.kind = PascalToken::Kind::Identifier;
        token.end = SkipWhile(piece, i + 1, IsIdentifierChar);
    } else if (c == '#') {
        token.kind = PascalToken::Kind::CharCode;
        token.end =
            next == '$' ? SkipWhile(piece, i + 2, IsHexDigit) : SkipWhile(piece, i + 1, IsDigit);
    } else if (IsDigit(c) || (c == '$' && IsHexDigit(next)) || (c == '%' && IsDigit(next)) ||
               (c == '&' && IsDigit(next))) {
        token.kind = PascalToken::Kind::Number;
        size_t j = SkipWhile(piece, i + 1, IsHexDigit);
        // A fraction, but not the .. of a range.
        if (j + 1 < piece.size() && piece[j] == '.' && IsDigit(piece[j + 1]))
            j = SkipWhile(piece, j + 1, IsHexDigit);
        if (j < piece.size() && (piece[j] == '+' || piece[j] == '-') &&
            (piece[j - 1] == 'e' || piece[j - 1] == 'E') && c != '$')
            j = SkipWhile(piece, j + 1, IsDigit);
        token.end = j;
    } else if (IsSymbolPair(c, next)) {
        token.end = i + 2;
    }
    pos = token.end;
    return true;
}

}  // namespace lexorin::code
