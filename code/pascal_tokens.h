#pragma once

#include <cstddef>
#include <string_view>

// The tokens of a code piece (the text between comments, see comment_split.h), by Pascal's own
// lexical rules: what the context tracking (pascal_context.h) walks over.
namespace lexorin::code {

struct PascalToken {
    enum class Kind {
        Identifier,  // keywords included
        Literal,     // '...' with doubled apostrophes inside; an unterminated one runs to the end
        CharCode,    // #13, #$0D
        Number,
        Symbol,  // one or two characters: := .. <= >= <> and single ones
        Comment  // a // comment: the rest of the piece
    };
    Kind kind;
    size_t begin;
    size_t end;              // one past the last character
    bool terminated = true;  // a literal with its closing apostrophe
};

// Reads the token that starts at or after `pos` (blanks skipped); false at the end of the piece.
bool NextToken(std::string_view piece, size_t& pos, PascalToken& token);

}  // namespace lexorin::code
