#include "code/pascal_context.h"

#include <array>
#include <iterator>
#include <numeric>

namespace lexorin::code {

namespace {

// The words the context follows. Everything else is an ordinary identifier.
enum class Word {
    Other,
    Asm,
    Begin,
    Case,
    Class,
    Const,
    Constructor,
    Destructor,
    Else,
    End,
    Finalization,
    Function,
    If,
    Implementation,
    Initialization,
    Interface,
    Label,
    Of,
    Operator,
    Otherwise,
    Procedure,
    Resourcestring,
    Threadvar,
    Try,
    Type,
    Uses,
    Var,
    Directive,      // a routine directive that takes a text: external, deprecated, ...
    WeakDirective,  // name, public, export: directives only among other directives
    Section,        // another word that opens a declaration section: exports
};

struct KnownWord {
    std::string_view lower;
    Word word;
};

constexpr KnownWord kKnownWords[] = {
    {"asm", Word::Asm},
    {"begin", Word::Begin},
    {"case", Word::Case},
    {"class", Word::Class},
    {"const", Word::Const},
    {"constructor", Word::Constructor},
    {"destructor", Word::Destructor},
    {"else", Word::Else},
    {"end", Word::End},
    {"finalization", Word::Finalization},
    {"function", Word::Function},
    {"if", Word::If},
    {"implementation", Word::Implementation},
    {"initialization", Word::Initialization},
    {"interface", Word::Interface},
    {"label", Word::Label},
    {"of", Word::Of},
    {"operator", Word::Operator},
    {"otherwise", Word::Otherwise},
    {"procedure", Word::Procedure},
    {"resourcestring", Word::Resourcestring},
    {"threadvar", Word::Threadvar},
    {"try", Word::Try},
    {"type", Word::Type},
    {"uses", Word::Uses},
    {"var", Word::Var},
    {"external", Word::Directive},
    {"name", Word::WeakDirective},
    {"deprecated", Word::Directive},
    {"message", Word::Directive},
    {"alias", Word::Directive},
    {"public", Word::WeakDirective},
    {"export", Word::WeakDirective},
    {"exports", Word::Section},
};

// The known words of each length, longest 14 (implementation, initialization, resourcestring):
// every identifier of a unit is looked up, most of them among none or a few candidates.
constexpr size_t kLongestWord = 14;
struct WordsOfLength {
    std::array<KnownWord, std::size(kKnownWords)> words{};
    size_t count = 0;
};
constexpr std::array<WordsOfLength, kLongestWord + 1> WordsByLength() {
    std::array<WordsOfLength, kLongestWord + 1> table{};
    for (const KnownWord& known : kKnownWords) {
        WordsOfLength& bucket = table[known.lower.size()];
        bucket.words[bucket.count++] = known;
    }
    return table;
}
constexpr std::array<WordsOfLength, kLongestWord + 1> kWordsByLength = WordsByLength();

char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Case-insensitive lookup; an identifier escaped with & is never a keyword.
Word WordOf(std::string_view word) {
    if (word.size() < 2 || word.size() > kLongestWord || word.front() == '&') return Word::Other;
    const WordsOfLength& candidates = kWordsByLength[word.size()];
    const char first = LowerChar(word.front());
    for (size_t k = 0; k < candidates.count; ++k) {
        const std::string_view known = candidates.words[k].lower;
        if (known.front() != first) continue;
        size_t i = 1;
        while (i < word.size() && LowerChar(word[i]) == known[i]) ++i;
        if (i == word.size()) return candidates.words[k].word;
    }
    return Word::Other;
}

}  // namespace

const char* ContextName(LiteralContext context) {
    switch (context) {
        case LiteralContext::Expression:
            return "expression";
        case LiteralContext::ConstSection:
            return "const section";
        case LiteralContext::ResourcestringSection:
            return "resourcestring section";
        case LiteralContext::InitialisedVariable:
            return "initialised variable";
        case LiteralContext::DefaultParameter:
            return "default parameter";
        case LiteralContext::RoutineDirective:
            return "routine directive";
        case LiteralContext::CaseLabel:
            return "case label";
        case LiteralContext::Attribute:
            return "attribute";
        case LiteralContext::AsmBlock:
            return "asm block";
        case LiteralContext::Declaration:
            return "other declaration";
        case LiteralContext::Restored:
            return "restored by the user";
        case LiteralContext::Count:
            break;
    }
    return "";
}

void AddCounts(ContextCounts& total, const ContextCounts& more) {
    for (size_t i = 0; i < total.size(); ++i) total[i] += more[i];
}

int TotalLeftAlone(const ContextCounts& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0) -
           counts[static_cast<size_t>(LiteralContext::Expression)];
}

LiteralContext PascalContext::LiteralHere() const {
    if (InStatements()) {
        const Frame& top = frames_.back();
        if (top.block == Block::Asm) return LiteralContext::AsmBlock;
        if (top.block == Block::Case && top.case_state == CaseState::Label)
            return LiteralContext::CaseLabel;
        if (inline_const_) return LiteralContext::ConstSection;
        return LiteralContext::Expression;
    }
    if (attribute_depth_ >= 0) return LiteralContext::Attribute;
    if (heading_ && depth_ > 0) return LiteralContext::DefaultParameter;
    if (after_directive_) return LiteralContext::RoutineDirective;
    switch (section_) {
        case Section::Const:
            return LiteralContext::ConstSection;
        case Section::Resourcestring:
            return LiteralContext::ResourcestringSection;
        case Section::Var:
            return LiteralContext::InitialisedVariable;
        default:
            return LiteralContext::Declaration;
    }
}

void PascalContext::Feed(const PascalToken& token, std::string_view piece) {
    const std::string_view text = piece.substr(token.begin, token.end - token.begin);
    switch (token.kind) {
        case PascalToken::Kind::Identifier:
            FeedWord(text);
            break;
        case PascalToken::Kind::Symbol:
            FeedSymbol(text);
            break;
        case PascalToken::Kind::Comment:
            return;
        default:
            routine_word_ = false;
            declaration_start_ = false;
            break;
    }
}

void PascalContext::EnterStatements(Block block) {
    frames_.push_back({block, CaseState::Selector, depth_});
    heading_ = false;
    after_directive_ = false;
    attribute_depth_ = -1;
}

void PascalContext::LeaveStatements() {
    frames_.clear();
    section_ = Section::None;
    heading_ = false;
    after_directive_ = false;
    attribute_depth_ = -1;
    declaration_start_ = true;
    inline_const_ = false;
    depth_ = 0;
}

void PascalContext::FeedWord(std::string_view text) {
    const Word word = WordOf(text);
    const bool was_declaration_start = declaration_start_;
    declaration_start_ = false;

    // Words that start a unit part hold wherever the tracking thinks it is.
    switch (word) {
        case Word::Implementation:
            LeaveStatements();
            return;
        case Word::Interface:
            // The unit part, not an interface type, which follows an equals sign.
            if (InStatements() || (depth_ == 0 && was_declaration_start)) {
                LeaveStatements();
                return;
            }
            break;
        case Word::Initialization:
        case Word::Finalization:
            LeaveStatements();
            EnterStatements(Block::Begin);
            return;
        default:
            break;
    }

    if (InStatements()) {
        Frame& top = frames_.back();
        if (top.block == Block::Asm) {
            if (word == Word::End) {
                frames_.pop_back();
                if (frames_.empty()) LeaveStatements();
            }
            return;
        }
        if (routine_word_) {
            // procedure or function followed by a name is a heading, not an anonymous method:
            // the statement part ended without the tracking seeing it.
            routine_word_ = false;
            if (word == Word::Other) {
                LeaveStatements();
                heading_ = true;
                return;
            }
        }
        switch (word) {
            case Word::Begin:
            case Word::Try:
                EnterStatements(Block::Begin);
                break;
            case Word::Case:
                EnterStatements(Block::Case);
                break;
            case Word::Asm:
                EnterStatements(Block::Asm);
                break;
            case Word::End:
                frames_.pop_back();
                if (frames_.empty()) LeaveStatements();
                break;
            case Word::Of:
                if (top.block == Block::Case && top.case_state == CaseState::Selector)
                    top.case_state = CaseState::Label;
                break;
            case Word::If:
                ++top.open_ifs;
                break;
            case Word::Else:
                // In a branch, an else belongs to the innermost if still without one.
                if (top.block == Block::Case && top.case_state == CaseState::Branch &&
                    top.open_ifs > 0) {
                    --top.open_ifs;
                    break;
                }
                [[fallthrough]];
            case Word::Otherwise:
                if (top.block == Block::Case &&
                    (top.case_state == CaseState::Label || top.case_state == CaseState::Branch))
                    top.case_state = CaseState::Else;
                break;
            case Word::Const:
                inline_const_ = true;  // an inline constant declaration, up to its ;
                break;
            case Word::Procedure:
            case Word::Function:
                routine_word_ = true;
                break;
            case Word::Constructor:
            case Word::Destructor:
            case Word::Type:
            case Word::Resourcestring:
            case Word::Threadvar:
                // Declarations: the statement part must have ended unseen.
                LeaveStatements();
                FeedWord(text);
                break;
            default:
                break;
        }
        return;
    }

    // Declarations. Section and routine words count outside brackets only: const and var
    // also mark parameters.
    if (depth_ > 0) return;
    switch (word) {
        case Word::Begin:
        case Word::Try:
            EnterStatements(Block::Begin);
            break;
        case Word::Asm:
            EnterStatements(Block::Asm);
            break;
        case Word::Const:
            section_ = Section::Const;
            declaration_start_ = true;
            break;
        case Word::Resourcestring:
            section_ = Section::Resourcestring;
            declaration_start_ = true;
            break;
        case Word::Var:
        case Word::Threadvar:
            section_ = Section::Var;
            declaration_start_ = true;
            break;
        case Word::Type:
            section_ = Section::Type;
            declaration_start_ = true;
            break;
        case Word::Uses:
            section_ = Section::Uses;
            break;
        case Word::Label:
        case Word::Section:
            section_ = Section::Other;
            declaration_start_ = true;
            break;
        case Word::Procedure:
        case Word::Function:
        case Word::Constructor:
        case Word::Destructor:
        case Word::Operator:
            heading_ = true;
            after_directive_ = false;
            break;
        case Word::Directive:
            after_directive_ = true;
            break;
        case Word::WeakDirective:
            if (after_directive_ || was_declaration_start) after_directive_ = true;
            break;
        case Word::Class:
            // "class procedure", "class var": the class word keeps the declaration start.
            declaration_start_ = was_declaration_start;
            break;
        default:
            break;
    }
}

void PascalContext::FeedSymbol(std::string_view symbol) {
    routine_word_ = false;
    const char c = symbol.front();
    if (InStatements() && frames_.back().block == Block::Asm) return;
    const bool was_declaration_start = declaration_start_;
    declaration_start_ = false;
    if (symbol.size() == 1 && (c == '(' || c == '[')) {
        if (c == '[' && !InStatements() && was_declaration_start && attribute_depth_ < 0)
            attribute_depth_ = depth_;
        ++depth_;
        return;
    }
    if (symbol.size() == 1 && (c == ')' || c == ']')) {
        if (depth_ > 0) --depth_;
        if (c == ']' && attribute_depth_ == depth_) {
            attribute_depth_ = -1;
            declaration_start_ = true;  // the declaration the attribute belongs to follows
        }
        return;
    }
    if (symbol == ";") {
        if (InStatements()) {
            inline_const_ = false;
            Frame& top = frames_.back();
            top.open_ifs = 0;
            if (top.block == Block::Case && top.case_state == CaseState::Branch &&
                depth_ == top.depth)
                top.case_state = CaseState::Label;
            return;
        }
        if (depth_ == 0) {
            heading_ = false;
            after_directive_ = false;
            // Directives follow a heading after its semicolon; the next declaration ends them.
            declaration_start_ = true;
        }
        return;
    }
    if (symbol == ":" && InStatements()) {
        Frame& top = frames_.back();
        if (top.block == Block::Case && top.case_state == CaseState::Label && depth_ == top.depth)
            top.case_state = CaseState::Branch;
    }
}

}  // namespace lexorin::code
