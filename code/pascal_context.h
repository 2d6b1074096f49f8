#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "code/pascal_tokens.h"

// Where in a Pascal unit a string literal stands. A reference ''+s_N+'' to a resource string
// is an expression, not a constant: it compiles where a statement computes a value and nowhere
// a constant is required. Every literal outside a statement part (const and resourcestring
// sections, typed constants, initialised variables, default parameters, routine directives,
// attributes) and every case label must therefore stay as it is, as must the text of asm blocks.
namespace lexorin::code {

enum class LiteralContext {
    Expression,             // inside a statement part: may be replaced
    ConstSection,           // a const section, typed constants and inline constants included
    ResourcestringSection,  // a resourcestring section
    InitialisedVariable,    // var X: string = 'x';
    DefaultParameter,       // a default value in a routine heading
    RoutineDirective,       // external 'lib' name 'f', deprecated 'msg', message 'x', ...
    CaseLabel,              // a label of a case statement
    Attribute,              // [Attr('x')]
    AsmBlock,               // the text of an asm block
    Declaration,            // any other declaration (type sections, uses ... in 'file')
    Restored,               // a literal the user gave back; its row is kept as ignored
    Count
};

// The words the scan report uses for each context, e.g. "case label".
const char* ContextName(LiteralContext context);

// How many literals were left alone in each context.
using ContextCounts = std::array<int, static_cast<size_t>(LiteralContext::Count)>;
void AddCounts(ContextCounts& total, const ContextCounts& more);
int TotalLeftAlone(const ContextCounts& counts);

// Follows a unit's tokens across lines and knows, for each literal, in which context it stands.
// The tracking is syntactic and forgiving: a declaration keyword met where a statement part
// seemed to go on (as when conditional compilation doubles a `begin`) brings it back to
// declarations, so that an error leans toward leaving literals alone.
class PascalContext {
  public:
    // The context of a literal that is the next token.
    LiteralContext LiteralHere() const;
    // Advances over one token of `piece`.
    void Feed(const PascalToken& token, std::string_view piece);

  private:
    enum class Section { None, Const, Resourcestring, Var, Type, Uses, Other };
    enum class Block { Begin, Case, Asm };
    enum class CaseState { Selector, Label, Branch, Else };
    struct Frame {
        Block block;
        CaseState case_state = CaseState::Selector;
        int depth = 0;     // bracket depth at which the frame opened
        int open_ifs = 0;  // ifs of the current statement still without their else
    };

    void FeedWord(std::string_view word);
    void FeedSymbol(std::string_view symbol);
    void EnterStatements(Block block);
    void LeaveStatements();
    bool InStatements() const { return !frames_.empty(); }

    std::vector<Frame> frames_;  // open blocks of the statement part; empty = declarations
    Section section_ = Section::None;
    int depth_ = 0;                  // ( and [ nesting
    bool heading_ = false;           // inside a routine heading, up to its ;
    bool after_directive_ = false;   // the last word was a routine directive taking a text
    int attribute_depth_ = -1;       // bracket depth of an open attribute, -1 = none
    bool declaration_start_ = true;  // the next token begins a declaration
    bool inline_const_ = false;      // a const declaration inside a statement part, up to its ;
    bool routine_word_ = false;      // procedure/function just met inside a statement part
};

}  // namespace lexorin::code
